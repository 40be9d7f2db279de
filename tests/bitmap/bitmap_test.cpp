// Reading one-bit bitmap files: row order per printer language, row lengths, and files that
// must be refused without reading outside them.
#include "bitmap/bitmap.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>

#include "support/ferramentas.h"

namespace {

// What the test writer puts in a file; the defaults make a valid one-bit bitmap.
struct Bmp {
    std::string assinatura = "BM";
    std::int32_t largura = 32;
    std::int32_t altura = 2;
    std::uint16_t bits = 1;
    std::uint32_t compressao = 0;
    std::uint32_t taminfo = 40;
    std::optional<std::uint32_t> tamarquivo;  // default: the real size
    std::optional<std::uint32_t> posdados;    // default: where the writer puts the pixels
    std::string extra;                        // bytes between the colour table and the pixels
    std::string pixels = std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
    std::optional<std::size_t> corte;  // keep only this many bytes of the file
};

void Poe(std::string& s, std::size_t pos, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i)
        s[pos + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xff);
}

std::string Monta(const Bmp& b) {
    constexpr std::uint32_t kTabelaCores = 8;  // black and white, four bytes each
    std::string s(14 + 40 + kTabelaCores, '\0');
    s.replace(0, 2, b.assinatura);
    s += b.extra;
    const auto pos = b.posdados.value_or(static_cast<std::uint32_t>(s.size()));
    s += b.pixels;
    Poe(s, 2, b.tamarquivo.value_or(static_cast<std::uint32_t>(s.size())), 4);
    Poe(s, 10, pos, 4);
    Poe(s, 14, b.taminfo, 4);
    Poe(s, 18, static_cast<std::uint32_t>(b.largura), 4);
    Poe(s, 22, static_cast<std::uint32_t>(b.altura), 4);
    Poe(s, 26, 1, 2);
    Poe(s, 28, b.bits, 2);
    Poe(s, 30, b.compressao, 4);
    Poe(s, 34, static_cast<std::uint32_t>(b.pixels.size()), 4);
    Poe(s, 58, 0xffffff, 4);  // second colour white
    if (b.corte) s.resize(*b.corte);
    return s;
}

const std::string R0("\x01\x02\x03\x04", 4);  // bottom row
const std::string R1("\x05\x06\x07\x08", 4);  // top row

struct CasoLido {
    const char* nome;
    Bmp bmp;
    int largura, altura, tamlinha;
    std::string topo_primeiro;  // pixels expected top row first
    std::string como_gravado;   // pixels expected bottom row first
};

Bmp Com(void (*muda)(Bmp&)) {
    Bmp b;
    muda(b);
    return b;
}

const CasoLido lidos[] = {
    {"32 x 2", Bmp{}, 32, 2, 4, R1 + R0, R0 + R1},
    {"gravado com o topo primeiro", Com([](Bmp& b) {
         b.altura = -2;
         b.pixels = R1 + R0;
     }),
     32, 2, 4, R1 + R0, R0 + R1},
    {"tamanho do arquivo 0", Com([](Bmp& b) { b.tamarquivo = 0; }), 32, 2, 4, R1 + R0, R0 + R1},
    {"tamanho do arquivo exagerado", Com([](Bmp& b) { b.tamarquivo = 0xffffffff; }), 32, 2, 4,
     R1 + R0, R0 + R1},
    {"sem as letras BM", Com([](Bmp& b) { b.assinatura = "XY"; }), 32, 2, 4, R1 + R0, R0 + R1},
    {"bytes depois da ultima linha", Com([](Bmp& b) { b.pixels = R0 + R1 + "lixo"; }), 32, 2, 4,
     R1 + R0, R0 + R1},
    {"largura 20", Com([](Bmp& b) { b.largura = 20; }), 20, 2, 4, R1 + R0, R0 + R1},
    {"largura 1", Com([](Bmp& b) {
         b.largura = 1;
         b.altura = 1;
     }),
     1, 1, 4, R0, R0},
    {"largura 40", Com([](Bmp& b) {
         b.largura = 40;
         b.altura = 1;
     }),
     40, 1, 8, R0 + R1, R0 + R1},
    {"largura 33", Com([](Bmp& b) {
         b.largura = 33;
         b.altura = 1;
     }),
     33, 1, 8, R0 + R1, R0 + R1},
    {"largura 64 topo primeiro", Com([](Bmp& b) {
         b.largura = 64;
         b.altura = -1;
     }),
     64, 1, 8, R0 + R1, R0 + R1},
    {"tres linhas", Com([](Bmp& b) {
         b.altura = 3;
         b.pixels = "AAAABBBBCCCC";
     }),
     32, 3, 4, "CCCCBBBBAAAA", "AAAABBBBCCCC"},
    {"tres linhas topo primeiro", Com([](Bmp& b) {
         b.altura = -3;
         b.pixels = "CCCCBBBBAAAA";
     }),
     32, 3, 4, "CCCCBBBBAAAA", "AAAABBBBCCCC"},
    {"cabecalho de informacao maior", Com([](Bmp& b) {
         b.taminfo = 124;
         b.extra = std::string(124 - 40, '\0');
     }),
     32, 2, 4, R1 + R0, R0 + R1},
};

TEST(Bitmap, LeLinhasNaOrdemDeCadaLinguagem) {
    DiretorioTemporario dir;
    for (const auto& c : lidos) {
        SCOPED_TRACE(c.nome);
        EscreveArquivo("img.bmp", Monta(c.bmp));
        for (OrdemLinhas ordem : {OrdemLinhas::TopoPrimeiro, OrdemLinhas::ComoGravado}) {
            const auto bmp = CarregaBitmap("img.bmp", ordem);
            ASSERT_TRUE(bmp.has_value());
            EXPECT_EQ(bmp->largura, c.largura);
            EXPECT_EQ(bmp->altura, c.altura);
            EXPECT_EQ(bmp->tamlinha, c.tamlinha);
            const std::string& esperado =
                ordem == OrdemLinhas::TopoPrimeiro ? c.topo_primeiro : c.como_gravado;
            EXPECT_EQ(std::string(bmp->pixels.begin(), bmp->pixels.end()), esperado);
        }
    }
}

struct CasoRecusado {
    const char* nome;
    Bmp bmp;
};

const CasoRecusado recusados[] = {
    {"vazio", Com([](Bmp& b) { b.corte = 0; })},
    {"so parte do cabecalho", Com([](Bmp& b) { b.corte = 20; })},
    {"cabecalho sem o campo de compressao", Com([](Bmp& b) { b.corte = 32; })},
    {"sem a tabela de cores nem pixels", Com([](Bmp& b) { b.corte = 54; })},
    {"falta um byte de pixels", Com([](Bmp& b) { b.corte = 62 + 7; })},
    {"8 bits por pixel", Com([](Bmp& b) { b.bits = 8; })},
    {"24 bits por pixel", Com([](Bmp& b) { b.bits = 24; })},
    {"0 bits por pixel", Com([](Bmp& b) { b.bits = 0; })},
    {"comprimido", Com([](Bmp& b) { b.compressao = 1; })},
    {"campos de bits", Com([](Bmp& b) { b.compressao = 3; })},
    {"cabecalho de informacao curto", Com([](Bmp& b) { b.taminfo = 12; })},
    {"largura 0", Com([](Bmp& b) { b.largura = 0; })},
    {"largura negativa", Com([](Bmp& b) { b.largura = -32; })},
    {"altura 0", Com([](Bmp& b) { b.altura = 0; })},
    {"altura minima negativa", Com([](Bmp& b) { b.altura = INT32_MIN; })},
    {"altura enorme", Com([](Bmp& b) { b.altura = INT32_MAX; })},
    {"largura enorme", Com([](Bmp& b) { b.largura = INT32_MAX; })},
    {"as duas enormes", Com([](Bmp& b) {
         b.largura = INT32_MAX;
         b.altura = INT32_MIN + 1;
     })},
    {"uma linha a mais que o arquivo", Com([](Bmp& b) { b.altura = 3; })},
    {"pixels alem do fim", Com([](Bmp& b) { b.posdados = 0xfffffff0; })},
    {"pixels dentro do cabecalho", Com([](Bmp& b) { b.posdados = 0; })},
    {"pixels comecando perto do fim", Com([](Bmp& b) { b.posdados = 62 + 4; })},
    {"pixels comecando no fim", Com([](Bmp& b) { b.posdados = 62 + 8; })},
};

TEST(Bitmap, RecusaArquivosQueNaoPodeDesenhar) {
    DiretorioTemporario dir;
    for (const auto& c : recusados) {
        SCOPED_TRACE(c.nome);
        EscreveArquivo("img.bmp", Monta(c.bmp));
        for (OrdemLinhas ordem : {OrdemLinhas::TopoPrimeiro, OrdemLinhas::ComoGravado})
            EXPECT_FALSE(CarregaBitmap("img.bmp", ordem).has_value());
    }
}

TEST(Bitmap, RecusaOQueNaoEArquivoComum) {
    DiretorioTemporario dir;
    mkdir("pasta.bmp", 0700);
    for (const char* nome : {"nao-existe.bmp", "pasta.bmp", ""}) {
        SCOPED_TRACE(nome);
        EXPECT_FALSE(CarregaBitmap(nome, OrdemLinhas::TopoPrimeiro).has_value());
    }
    EXPECT_FALSE(CarregaBitmap(nullptr, OrdemLinhas::ComoGravado).has_value());
}

}  // namespace
