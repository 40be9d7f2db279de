// What a host that asks is told of each drawing (aviso_tinta): the box it inked, from the page's
// points (y upwards from its bottom edge) to inches from its top left corner, y downwards.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "device/dispositivo.h"
#include "pdf/fontes.h"
#include "pdf/pdf.h"

namespace {

// Glyph boxes come in thousandths of the font size.
constexpr double kMilesimosEm = 1000.0;

}  // namespace

void AvisaTinta(double x1, double y1, double x2, double y2, double margem) {
    if (aviso_tinta == nullptr) return;
    const double altura = PaginaEfetiva().altura;
    const double esquerda = std::min(x1, x2) - margem, direita = std::max(x1, x2) + margem;
    const double baixo = std::min(y1, y2) - margem, alto = std::max(y1, y2) + margem;
    aviso_tinta(esquerda / kPontosPorPolegada, (altura - alto) / kPontosPorPolegada,
                (direita - esquerda) / kPontosPorPolegada, (alto - baixo) / kPontosPorPolegada);
}

void AvisaTexto(std::size_t fonte, int tamanho, double X, double Y, bool girado,
                const std::vector<std::uint16_t>& glifos) {
    if (aviso_tinta == nullptr || glifos.empty()) return;
    const CaixaGlifos c = CaixaDosGlifos(fonte, glifos);
    const double escala = tamanho / kMilesimosEm;
    // Turned a quarter turn counter-clockwise, the text's x runs up the page and its y to the
    // left.
    if (girado)
        AvisaTinta(X - c.y1 * escala, Y + c.x0 * escala, X - c.y0 * escala, Y + c.x1 * escala);
    else
        AvisaTinta(X + c.x0 * escala, Y + c.y0 * escala, X + c.x1 * escala, Y + c.y1 * escala);
}
