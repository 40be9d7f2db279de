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

void AncoraPadroes() {
    if (!HaDeslocamento()) return;
    std::fprintf(saida, "\x1b*p%dX\x1b*p%dY\x1b*p0R",
                 LimitaInt(DeslocamentoEmPontos(deslocamento.x)),
                 LimitaInt(DeslocamentoEmPontos(deslocamento.y)));
}
