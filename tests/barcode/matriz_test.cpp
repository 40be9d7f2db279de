// The matrix code encoder: the smallest symbol that holds a text, nothing for a text too long for
// the largest one, and the module in whole dots that fits a side. Decoders read the symbols from
// the programs' printed pages (tests/driver/codmatriz_test.cpp).
#include "barcode/matriz.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Matriz, MenorSimboloQueCabeOTexto) {
    struct Caso {
        const char* nome;
        TipoMatriz tipo;
        std::string texto;
        int lado;  // modules a side; 0 when the type cannot hold the text
    };
    const Caso casos[] = {
        {"qr version 1", TipoMatriz::qrcode_m, "HELLO", 21},
        {"qr H no maior simbolo", TipoMatriz::qrcode_h, std::string(1273, 'a'), 177},
        {"qr H longo demais", TipoMatriz::qrcode_h, std::string(1274, 'a'), 0},
        {"datamatrix quadrado", TipoMatriz::datamatrix, "20071015001234", 14},
        {"datamatrix no maior simbolo", TipoMatriz::datamatrix, std::string(1556, '\xe9'), 144},
        {"datamatrix longo demais", TipoMatriz::datamatrix, std::string(1557, '\xe9'), 0},
        {"vazio", TipoMatriz::qrcode_m, "", 0},
    };
    for (const Caso& c : casos) {
        const auto simbolo = CodificaMatriz(c.tipo, c.texto, false);
        EXPECT_EQ(simbolo ? simbolo->largura : 0, c.lado) << c.nome;
        EXPECT_EQ(simbolo ? simbolo->altura : 0, c.lado) << c.nome;
        if (simbolo) {
            EXPECT_EQ(simbolo->linhas.size(), std::size_t(c.lado) * ((c.lado + 7) / 8));
        }
    }
}

TEST(Matriz, ModuloEmPontosInteirosQueCabeNoLado) {
    struct Caso {
        float lado;
        int modulos;
        int modulo;
    };
    const Caso casos[] = {
        {1.0f, 21, 14},    // 300 dots: 14 x 21 = 294
        {0.07f, 21, 1},    // 21 dots
        {0.069f, 21, 0},   // 20 dots: not one a module
        {1e30f, 21, 257},  // at most 18 inches a side
        {-1.0f, 21, 0},   {1.0f, 0, 0},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(ModuloMatriz(c.lado, c.modulos), c.modulo) << c.lado << " " << c.modulos;
}

}  // namespace
