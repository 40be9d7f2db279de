// Encoders against known rows: exact bytes for both bit senses, module patterns, and the texts
// each symbology must refuse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "barcode/barcode.h"

namespace {

using Codificador = int (*)(std::string_view, LinhaCodigo&, Marca);

// The first n modules of a row as "1" (bar) and "0" (space) characters.
std::string Padrao(const LinhaCodigo& linha, int n, Marca marca) {
    std::string s;
    for (int k = 0; k < n; ++k) {
        const bool bit = linha[static_cast<std::size_t>(k / 8)] & (0x80u >> (k % 8));
        s += bit == (marca == Marca::Barras) ? '1' : '0';
    }
    return s;
}

std::vector<unsigned char> Bytes(const LinhaCodigo& linha, std::size_t n) {
    return {linha.begin(), linha.begin() + static_cast<std::ptrdiff_t>(n)};
}

bool ZeradaDesde(const LinhaCodigo& linha, std::size_t inicio) {
    for (std::size_t i = inicio; i < linha.size(); ++i)
        if (linha[i] != 0) return false;
    return true;
}

struct Exemplo {
    const char* nome;
    Codificador codifica;
    const char* texto;
    int modulos;
    std::vector<unsigned char> barras;   // bit set for bars
    std::vector<unsigned char> espacos;  // bit set for spaces
};

const Exemplo exemplos[] = {
    {"i25 5", i25, "5", 27, {0xa8, 0xb8, 0xeb, 0xa0}, {0x57, 0x47, 0x14, 0x40}},
    {"code128c 1234",
     code128c,
     "1234",
     57,
     {0xd3, 0x96, 0x72, 0x2c, 0x49, 0xec, 0x75, 0x80},
     {0x2c, 0x69, 0x8d, 0xd3, 0xb6, 0x13, 0x8a, 0x00}},
    {"code39 A",
     code39,
     "A",
     42,
     {0x96, 0xd3, 0x52, 0xc9, 0x6d, 0x00},
     {0x69, 0x2c, 0xad, 0x36, 0x92, 0xc0}},
};

TEST(CodigoBarras, LinhasConhecidasNosDoisSentidos) {
    for (const auto& e : exemplos) {
        SCOPED_TRACE(e.nome);
        for (Marca marca : {Marca::Barras, Marca::Espacos}) {
            const auto& esperado = marca == Marca::Barras ? e.barras : e.espacos;
            LinhaCodigo linha;
            linha.fill(0x5a);  // the encoder must clear what a previous use left
            ASSERT_EQ(e.codifica(e.texto, linha, marca), e.modulos);
            EXPECT_EQ(Bytes(linha, esperado.size()), esperado);
            EXPECT_TRUE(ZeradaDesde(linha, esperado.size()));
        }
    }
}

struct CasoPadrao {
    const char* nome;
    Codificador codifica;
    const char* texto;
    std::string padrao;
};

const CasoPadrao padroes[] = {
    {"i25 5", i25, "5", "101010001011100011101011101"},
    {"i25 05", i25, "05", "101010001011100011101011101"},
    {"i25 vazio", i25, "", "101011101"},
    // start, check value 2 (105 modulo 103), stop
    {"code128c vazio", code128c, "",
     "11010011100"
     "11001100110"
     "1100011101011"},
    // start, 00, check value 2, stop
    {"code128c 00", code128c, "00",
     "11010011100"
     "11011001100"
     "11001100110"
     "1100011101011"},
    // start, 12, switch to set B (100), digit 3 in set B (19), check value 65, stop
    {"code128c 123", code128c, "123",
     "11010011100"
     "10110011100"
     "10111101110"
     "11001011100"
     "10010110000"
     "1100011101011"},
    // start, 99, check value 101, stop
    {"code128c 99", code128c, "99",
     "11010011100"
     "10111011110"
     "11101011110"
     "1100011101011"},
    // start, 00, 50, check value 102, stop
    {"code128c 0050", code128c, "0050",
     "11010011100"
     "11011001100"
     "11000101110"
     "11110101110"
     "1100011101011"},
    {"code39 vazio", code39, "",
     "100101101101"
     "00"
     "100101101101"
     "00"},
    {"code39 A", code39, "A", "100101101101001101010010110010010110110100"},
    // a star inside the text is one more character
    {"code39 *", code39, "*",
     "10010110110100"
     "10010110110100"
     "10010110110100"},
    {"code39 -", code39, "-",
     "10010110110100"
     "10010101101100"
     "10010110110100"},
    {"code39 %", code39, "%",
     "10010110110100"
     "10100100100100"
     "10010110110100"},
};

TEST(CodigoBarras, PadroesDeModulos) {
    for (const auto& c : padroes) {
        SCOPED_TRACE(c.nome);
        LinhaCodigo linha;
        const int n = c.codifica(c.texto, linha, Marca::Barras);
        ASSERT_EQ(n, static_cast<int>(c.padrao.size()));
        EXPECT_EQ(Padrao(linha, n, Marca::Barras), c.padrao);
        EXPECT_TRUE(ZeradaDesde(linha, static_cast<std::size_t>(n + 7) / 8));
    }
}

TEST(CodigoBarras, SentidosComplementaresAteOUltimoModulo) {
    const struct {
        Codificador codifica;
        std::string texto;
    } casos[] = {
        {i25, "0123456789"},
        {code128c, "987654321"},
        {code39, "XYZ-.$/+%"},
        {code39, ""},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.texto);
        LinhaCodigo barras, espacos;
        const int n = c.codifica(c.texto, barras, Marca::Barras);
        ASSERT_EQ(c.codifica(c.texto, espacos, Marca::Espacos), n);
        EXPECT_EQ(Padrao(barras, n, Marca::Barras), Padrao(espacos, n, Marca::Espacos));
        for (int k = 0; k < static_cast<int>(kLinhaCodigo) * 8; ++k) {
            const auto byte = static_cast<std::size_t>(k / 8);
            const unsigned mascara = 0x80u >> (k % 8);
            const bool b = barras[byte] & mascara, e = espacos[byte] & mascara;
            if (k < n) {
                ASSERT_NE(b, e) << "module " << k;
            } else {
                ASSERT_FALSE(b || e) << "bit " << k << " after the last module";
            }
        }
    }
}

struct CasoLimite {
    const char* nome;
    Codificador codifica;
    std::string texto;
    int modulos;  // -1: refused
};

const CasoLimite limites[] = {
    {"i25 letra", i25, "12a4", -1},
    {"i25 branco", i25, "12 4", -1},
    {"i25 sinal", i25, "-12", -1},
    {"i25 224 digitos", i25, std::string(224, '7'), 9 * 224 + 9},
    {"i25 223 digitos ganham o zero", i25, std::string(223, '7'), 9 * 224 + 9},
    {"i25 225 digitos", i25, std::string(225, '7'), -1},
    {"i25 226 digitos", i25, std::string(226, '7'), -1},
    {"code128c letra", code128c, "12A4", -1},
    {"code128c byte nulo", code128c,
     std::string("12\0"
                 "4",
                 4),
     -1},
    {"code128c 254 digitos", code128c, std::string(254, '3'), 11 * 127 + 35},
    {"code128c 253 digitos", code128c, std::string(253, '3'), 11 * 126 + 22 + 35},
    {"code128c 255 digitos", code128c, std::string(255, '3'), -1},
    {"code39 minuscula", code39, "abc", -1},
    {"code39 branco", code39, "A B", -1},
    {"code39 fora do conjunto", code39, "A:B", -1},
    {"code39 byte alto", code39, "A\xc7", -1},
    {"code39 143 caracteres", code39, std::string(143, 'Z'), 14 * 145},
    {"code39 144 caracteres", code39, std::string(144, 'Z'), -1},
};

TEST(CodigoBarras, TextosRecusadosELimites) {
    for (const auto& c : limites) {
        SCOPED_TRACE(c.nome);
        for (Marca marca : {Marca::Barras, Marca::Espacos}) {
            LinhaCodigo linha;
            linha.fill(0xff);
            EXPECT_EQ(c.codifica(c.texto, linha, marca), c.modulos);
            const std::size_t usados =
                c.modulos < 0 ? 0 : static_cast<std::size_t>(c.modulos + 7) / 8;
            EXPECT_TRUE(ZeradaDesde(linha, usados));
        }
    }
}

}  // namespace
