#include "util/numeros.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <string>

namespace {

TEST(Numeros, LeInteiroComoAtoi) {
    struct Caso {
        std::string texto;
        int esperado;
    };
    const Caso casos[] = {
        {"42", 42},
        {"  -12x", -12},
        {"+7", 7},
        {"\t\n 5", 5},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"3.9", 3},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MIN},          // the low 32 bits of the long, as atoi keeps them
        {"99999999999999999999999", -1},  // saturated long, then its low 32 bits
        {std::string("1\0002", 3), 1},
    };
    for (const Caso& caso : casos)
        EXPECT_EQ(LeInteiro(caso.texto), caso.esperado) << "[" << caso.texto << "]";
}

TEST(Numeros, LeCoordenadaEstreitaELimita) {
    struct Caso {
        std::string texto;
        float esperado;
    };
    const Caso casos[] = {
        {"1.55", 1.55f},  {" -2.5cm", -2.5f}, {".5", 0.5f},         {"abc", 0.0f},
        {"", 0.0f},       {"1e400", FLT_MAX}, {"-1e400", -FLT_MAX}, {"1e39", FLT_MAX},
        {"inf", FLT_MAX}, {"nan", 0.0f},      {"1e-50", 0.0f},
    };
    for (const Caso& caso : casos)
        EXPECT_EQ(LeCoordenada(caso.texto), caso.esperado) << "[" << caso.texto << "]";
}

TEST(Numeros, TruncaParaZeroDentroDoInt) {
    struct Caso {
        double valor;
        int esperado;
    };
    const Caso casos[] = {
        {1.9, 1},
        {-1.9, -1},
        {0.0, 0},
        {2147483647.5, INT_MAX},
        {-2147483648.7, INT_MIN},
        {3e9, INT_MAX},
        {-3e9, INT_MIN},
        {HUGE_VAL, INT_MAX},
        {-HUGE_VAL, INT_MIN},
        {NAN, 0},
        // With the origin 36 decipoints and x = 1.55 the PostScript x is 107: float inputs
        // widened to double, no rounding back to float in between.
        {(static_cast<double>(1.55f) - static_cast<double>(36.0f / 720.0f)) * 72.0, 107},
    };
    for (const Caso& caso : casos)
        EXPECT_EQ(Trunca(caso.valor), caso.esperado) << caso.valor;
}

}  // namespace
