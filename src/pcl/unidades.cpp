// Form units (inches, float) to PCL dots.
#include <climits>

#include "device/dispositivo.h"
#include "pcl/pcl.h"
#include "util/numeros.h"

int PontosX(float x) {
    return Trunca(static_cast<double>(x) * kPontosPolegada - margemx);
}

int PontosY(float y) {
    return Trunca(static_cast<double>(y) * kPontosPolegada - margemy);
}

int Pontos(float medida) {
    return Trunca(static_cast<double>(medida) * kPontosPolegada);
}

int LimitaInt(long long valor) {
    if (valor > INT_MAX) return INT_MAX;
    if (valor < INT_MIN) return INT_MIN;
    return static_cast<int>(valor);
}
