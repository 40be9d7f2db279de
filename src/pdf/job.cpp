// The PDF job: the page of each batch, the fixed objects of every page, paper size, rotation and
// the coordinate rule.
#include <algorithm>
#include <string_view>

#include "device/dispositivo.h"
#include "interp/interp.h"
#include "pdf/pdf.h"
#include "util/numeros.h"

OpcoesPDF opcoes_pdf;

namespace {

// Page sizes in points, portrait, as morvel's page device sets them: width then height.
constexpr double kCartaLargura = 612, kCartaAltura = 792;
constexpr double kA4Largura = 595, kA4Altura = 842;

// Page heights the coordinate rule turns y by, in inches: letter and A4, and their landscape
// short sides.
constexpr float kAlturaCarta = 11.0f;
constexpr float kAlturaA4 = 11.7f;
constexpr float kAlturaCartaPaisagem = 8.5f;
constexpr float kAlturaA4Paisagem = 8.26f;

// A turned back side is printed 156 dots lower (kept for the contract; nothing here reads it).
constexpr int kMargemVersoInvertido = 156;
constexpr int kMargemX = 72;

}  // namespace

PaginaPDF PaginaEfetiva() {
    const bool carta = tam_papel == kAlturaCarta;
    const double largura = carta ? kCartaLargura : kA4Largura;
    const double altura = carta ? kCartaAltura : kA4Altura;
    if (orientacao == 'l') {
        const float curta = carta ? kAlturaCartaPaisagem : kAlturaA4Paisagem;
        return {altura, largura, curta, ytop, xtop};
    }
    return {largura, altura, tam_papel, xtop, ytop};
}

int LimitaPontos(long long valor) {
    return static_cast<int>(std::clamp<long long>(valor, -kLimitePontos, kLimitePontos));
}

int PontoX(double x) {
    const PaginaPDF p = PaginaEfetiva();
    return LimitaPontos(Trunca((x - static_cast<double>(p.xtop)) * kPontosPolegadaPDF));
}

int PontoY(double y) {
    const PaginaPDF p = PaginaEfetiva();
    return LimitaPontos(
        Trunca((static_cast<double>(p.altura_forma) - (y - static_cast<double>(p.ytop))) *
               kPontosPolegadaPDF));
}

// Tray and duplex have no meaning in a file: a batch only sets the size of its pages, which
// each side takes when it starts.
void InicializaImp() {
    margemx = kMargemX;
    EsqueceFormas();
}

void DefineMacros(char lado) {
    if ((lado == 0 || lado == 'f') && TemObjsff()) {
        margemy = 0;
        DesenhaForma('f', InterpretaFixFrente);
    }
    if ((lado == 0 || lado == 'v') && TemObjsfv()) {
        if (tipo_verso == 'i') margemy = kMargemVersoInvertido;
        ReiniciaFonte();
        DesenhaForma('v', InterpretaFixVerso);
    }
}

void TamanhoPapel(const char* nome) {
    if (nome == nullptr) return;
    const std::string_view n(nome);
    if (n == "CARTA") tam_papel = kAlturaCarta;
    if (n == "A4") tam_papel = kAlturaA4;
}

void Rotacao(int angulo) {
    rotacao0 = angulo;
    rotacao = angulo;
}

void Rotacao2(int angulo) {
    Rotacao(angulo);
}
