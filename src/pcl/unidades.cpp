// Form units (inches, float) to PCL dots.
#include <climits>
#include <cmath>
#include <cstdio>

#include "device/dispositivo.h"
#include "pcl/pcl.h"
#include "util/numeros.h"

namespace {

// The side's shift in whole dots, added after the position is truncated: every drawing of the
// side then moves by the same number of dots, whatever its own rounding.
long long DeslocamentoEmPontos(double polegadas) {
    return std::llround(polegadas * kPontosPolegada);
}

// The shade and hatch patterns repeat every this many dots: a reference point moved by a whole
// number of cells lays the same dots.
constexpr long long kCelulaDoPadrao = 16;

// A reference at `pontos` from the origin, written as the same point of its pattern cell
// within the page: a position with a sign would be a move from wherever the cursor stands, and
// a point left of or above the page would be held at its edge.
int NaCelulaDoPadrao(long long pontos) {
    return static_cast<int>((pontos % kCelulaDoPadrao + kCelulaDoPadrao) % kCelulaDoPadrao);
}

}  // namespace

int PontosX(float x) {
    return LimitaInt(Trunca(static_cast<double>(x) * kPontosPolegada - margemx) +
                     DeslocamentoEmPontos(deslocamento.x));
}

int PontosY(float y) {
    return LimitaInt(Trunca(static_cast<double>(y) * kPontosPolegada - margemy) +
                     DeslocamentoEmPontos(deslocamento.y));
}

int Pontos(float medida) {
    return Trunca(static_cast<double>(medida) * kPontosPolegada);
}

int LimitaInt(long long valor) {
    if (valor > INT_MAX) return INT_MAX;
    if (valor < INT_MIN) return INT_MIN;
    return static_cast<int>(valor);
}

void AncoraPadroes(bool virado) {
    if (!HaDeslocamento()) return;
    const int sentido = virado ? -1 : 1;
    std::fprintf(saida, "\x1b*p%dX\x1b*p%dY\x1b*p0R",
                 NaCelulaDoPadrao(sentido * DeslocamentoEmPontos(deslocamento.x)),
                 NaCelulaDoPadrao(sentido * DeslocamentoEmPontos(deslocamento.y)));
}
