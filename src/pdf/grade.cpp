// The form designer's proof: a light grid under the form, a line every tenth of an inch of the
// form's own positions (ORIGEM moves it with the form), whole inches darker and numbered along
// the top and left edges, so that every position of a format can be read off a printed proof.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "pdf/conteudo.h"
#include "pdf/fontes.h"
#include "pdf/pdf.h"

namespace {

constexpr int kDecimosPolegada = 10;
// Greys and widths in points: the tenths barely there, the inches plain but lighter than the
// form's own black lines.
constexpr double kCinzaDecimo = 0.85, kCinzaPolegada = 0.55;
constexpr double kLarguraDecimo = 0.2, kLarguraPolegada = 0.5;
// The inch numbers: small sans letters just inside the page's top and left edges.
constexpr int kTamanhoNumero = 6;
constexpr double kMargemNumero = 2;
// The sans family's plain font.
constexpr std::size_t kFonteNumeros = 0;

float Decimos(int k) {
    return static_cast<float>(k) / static_cast<float>(kDecimosPolegada);
}

// The tenths of an inch of the form that fall on the page, in one direction: the first and
// the last, from the form position of the page's edges.
struct Faixa {
    int primeiro, ultimo;
};
Faixa FaixaDecimos(double inicio, double polegadas) {
    return {static_cast<int>(std::ceil(inicio * kDecimosPolegada)),
            static_cast<int>(std::floor((inicio + polegadas) * kDecimosPolegada))};
}

void Numero(Conteudo& c, double X, double Y, int polegada) {
    std::vector<std::uint16_t> glifos;
    Glifos(kFonteNumeros, std::to_string(polegada), glifos, c.glifos);
    if (!glifos.empty()) c.Texto(kFonteNumeros, kTamanhoNumero, X, Y, false, glifos);
}

}  // namespace

void DesenhaGrade(Conteudo& c) {
    const PaginaPontos p = PaginaEfetiva();
    const Faixa xs = FaixaDecimos(p.xtop, p.largura / kPontosPorPolegada);
    // The page's top edge is at form y = ytop + (altura_forma - altura / 72).
    const double topo = static_cast<float>(p.ytop) + p.altura_forma - p.altura / kPontosPorPolegada;
    const Faixa ys = FaixaDecimos(topo, p.altura / kPontosPorPolegada);
    c.Salva();
    for (const bool polegada : {false, true}) {
        c.Traco(polegada ? kCinzaPolegada : kCinzaDecimo);
        c.Largura(polegada ? kLarguraPolegada : kLarguraDecimo);
        for (int k = xs.primeiro; k <= xs.ultimo; ++k) {
            if ((k % kDecimosPolegada == 0) != polegada) continue;
            const int X = PontoX(Decimos(k));
            c << X << " 0 m " << X << ' ';
            c.Real(p.altura) << " l\n";
        }
        for (int k = ys.primeiro; k <= ys.ultimo; ++k) {
            if ((k % kDecimosPolegada == 0) != polegada) continue;
            const int Y = PontoY(Decimos(k));
            c << "0 " << Y << " m ";
            c.Real(p.largura) << ' ' << Y << " l\n";
        }
        c << "S\n";
    }
    c.Preenchimento(kCinzaPolegada);
    for (int k = xs.primeiro; k <= xs.ultimo; ++k)
        if (k % kDecimosPolegada == 0 && k != 0)
            Numero(c, PontoX(Decimos(k)) + kMargemNumero, p.altura - kMargemNumero - kTamanhoNumero,
                   k / kDecimosPolegada);
    for (int k = ys.primeiro; k <= ys.ultimo; ++k)
        if (k % kDecimosPolegada == 0 && k != 0)
            Numero(c, kMargemNumero, PontoY(Decimos(k)) - kMargemNumero - kTamanhoNumero,
                   k / kDecimosPolegada);
    c.Restaura();
}
