#include "pontos/pontos.h"

#include <algorithm>

#include "device/dispositivo.h"
#include "util/numeros.h"

namespace {

// The baseline of a turned text lies a quarter inch beside the given y.
constexpr double kDeslocaGiro = 18.0;
// The centre of the form's width, in inches, about which a centred text is placed.
constexpr double kCentroForma = 4.25;
// A full turn, in degrees, and the half turn below which a text's angle is kept.
constexpr int kVolta = 360;
constexpr int kMeiaVolta = 180;

// The angle within one turn (0 to 359), then folded below 180.
void DobraRotacao() {
    int r = rotacao % kVolta;
    if (r < 0) r += kVolta;
    if (r >= kMeiaVolta) r -= kMeiaVolta;
    rotacao = r;
}

int AnguloPedido() {
    const int r = rotacao0 % kVolta;
    return r < 0 ? r + kVolta : r;
}

}  // namespace

PaginaPontos PaginaEfetiva() {
    const bool carta = tam_papel == kAlturaCarta;
    const double largura = carta ? kCartaLargura : kA4Largura;
    const double altura = carta ? kCartaAltura : kA4Altura;
    const double dx = deslocamento.x, dy = deslocamento.y;
    if (orientacao == 'l') {
        const float curta = carta ? kAlturaCartaPaisagem : kAlturaA4Paisagem;
        return {altura, largura, curta, ytop - dx, xtop - dy};
    }
    return {largura, altura, tam_papel, xtop - dx, ytop - dy};
}

int LimitaPontos(long long valor) {
    return static_cast<int>(std::clamp<long long>(valor, -kLimitePontos, kLimitePontos));
}

int PontoX(double x) {
    const PaginaPontos p = PaginaEfetiva();
    return LimitaPontos(Trunca((x - static_cast<double>(p.xtop)) * kPontosPorPolegada));
}

int PontoY(double y) {
    const PaginaPontos p = PaginaEfetiva();
    return LimitaPontos(
        Trunca((static_cast<double>(p.altura_forma) - (y - static_cast<double>(p.ytop))) *
               kPontosPorPolegada));
}

Caixa ConverteCaixa(float x, float y, float largura, float altura) {
    return {PontoX(x), PontoY(y), PontoX(static_cast<double>(x) + static_cast<double>(largura)),
            PontoY(static_cast<double>(y) + static_cast<double>(altura))};
}

PosicaoTexto PosicionaTexto(float x, float y) {
    DobraRotacao();
    const PaginaPontos p = PaginaEfetiva();
    const bool centrar = x == -1.0f;
    const double fx = (centrar ? kCentroForma : static_cast<double>(x)) - p.xtop;
    const double fy = static_cast<double>(y) - p.ytop;
    const int pedido = AnguloPedido();
    if (rotacao == 90 && (pedido == 90 || pedido == 270)) {
        const double desloca = pedido == 90 ? kDeslocaGiro : -kDeslocaGiro;
        return {LimitaPontos(Trunca(fy * kPontosPorPolegada + desloca)),
                LimitaPontos(Trunca(fx * kPontosPorPolegada)), true};
    }
    return {LimitaPontos(Trunca(fx * kPontosPorPolegada)), PontoY(y), false};
}

std::string_view SemBrancosNasPontas(std::string_view texto) {
    const std::size_t inicio = texto.find_first_not_of(' ');
    if (inicio == std::string_view::npos) return {};
    return texto.substr(inicio, texto.find_last_not_of(' ') - inicio + 1);
}
