#include "util/numeros.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

int LeInteiro(std::string_view texto) {
    const std::string copia(texto);
    errno = 0;
    const long valor = std::strtol(copia.c_str(), nullptr, 10);
    // atoi keeps the low 32 bits of what strtol gives; the conversion is modular in C++20.
    return static_cast<int>(valor);
}

float LeCoordenada(std::string_view texto) {
    const std::string copia(texto);
    const double valor = std::strtod(copia.c_str(), nullptr);
    if (std::isnan(valor)) return 0.0f;
    if (valor > FLT_MAX) return FLT_MAX;
    if (valor < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(valor);
}

int Trunca(double valor) {
    if (std::isnan(valor)) return 0;
    if (valor >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (valor <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(valor);
}
