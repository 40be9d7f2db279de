// PNG files as IMAGEM reads them: every colour type and depth into grey or colour samples with
// their transparency, whatever the file's name; and the files it must refuse.
#include "support/png.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bitmap/imagem.h"
#include "support/ferramentas.h"

namespace {

using Bytes = std::vector<unsigned char>;

Png Arquivo(std::uint32_t largura, std::uint32_t altura, int tipo, int bits, Bytes amostras) {
    Png p;
    p.largura = largura;
    p.altura = altura;
    p.tipo = tipo;
    p.bits = bits;
    p.amostras = std::move(amostras);
    return p;
}

// 16-bit samples as the encoder takes them, in the machine's order.
Bytes Amostras16(std::initializer_list<std::uint16_t> valores) {
    Bytes r;
    for (std::uint16_t v : valores) {
        const auto* b = reinterpret_cast<const unsigned char*>(&v);
        r.insert(r.end(), b, b + 2);
    }
    return r;
}

Png ComPaleta() {
    Png p = Arquivo(2, 1, 3, 8, {0, 1});
    p.paleta = {{255, 0, 0, 255}, {0, 0, 255, 0}};
    return p;
}

Png Entrelacado() {
    Png p = Arquivo(3, 2, 6, 8, {});
    for (unsigned char i = 0; i < 6; ++i)
        p.amostras.insert(p.amostras.end(), {i, static_cast<unsigned char>(10 * i), 200, 255});
    p.amostras[3] = 7;  // one pixel nearly transparent
    p.entrelacado = true;
    return p;
}

struct CasoLido {
    const char* nome;
    Png png;
    int componentes;
    Bytes amostras;
    Bytes alfa;  // empty: wholly opaque
};

TEST(Png, LeCadaTipoDeCorEProfundidade) {
    const CasoLido casos[] = {
        {"cinza de 1 bit", Arquivo(2, 1, 0, 1, {0x40}), 1, {0, 255}, {}},
        {"cinza e alfa de 16 bits",
         Arquivo(2, 1, 4, 16, Amostras16({0x1234, 0x8000, 0xffff, 0xffff})),
         1,
         {0x12, 0xff},
         {0x80, 0xff}},
        {"RGB", Arquivo(2, 1, 2, 8, {10, 20, 30, 40, 50, 60}), 3, {10, 20, 30, 40, 50, 60}, {}},
        {"paleta com transparencia", ComPaleta(), 3, {255, 0, 0, 0, 0, 255}, {255, 0}},
        {"RGBA todo opaco",
         Arquivo(2, 1, 6, 8, {1, 2, 3, 255, 4, 5, 6, 255}),
         3,
         {1, 2, 3, 4, 5, 6},
         {}},
        {"RGBA entrelacado",
         Entrelacado(),
         3,
         {0, 0, 200, 1, 10, 200, 2, 20, 200, 3, 30, 200, 4, 40, 200, 5, 50, 200},
         {7, 255, 255, 255, 255, 255}},
    };
    DiretorioTemporario dir;
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nome);
        // Known by its signature: the name says bitmap.
        EscreveArquivo("logo.bmp", FazPNG(c.png));
        const auto lida = LeImagem("logo.bmp", OrdemLinhas::TopoPrimeiro);
        ASSERT_TRUE(lida.has_value());
        const auto* imagem = std::get_if<ImagemDecodificada>(&*lida);
        ASSERT_NE(imagem, nullptr);
        EXPECT_EQ(imagem->largura, static_cast<int>(c.png.largura));
        EXPECT_EQ(imagem->altura, static_cast<int>(c.png.altura));
        EXPECT_EQ(imagem->componentes, c.componentes);
        EXPECT_EQ(imagem->amostras, c.amostras);
        EXPECT_EQ(imagem->alfa, c.alfa);
    }
}

TEST(Png, RecusaOQueNaoPodeUsar) {
    const std::string bom = FazPNG(Arquivo(4, 4, 0, 8, Bytes(16, 128)));
    struct Caso {
        const char* nome;
        std::string arquivo;
        bool lido;
    };
    const Caso casos[] = {
        {"no limite: 10.000 por 2.000", FazPNG(Arquivo(10000, 2000, 0, 1, Bytes(1250 * 2000))),
         true},
        {"10.001 pixels de lado", FazPNG(Arquivo(10001, 1, 0, 1, Bytes(1251))), false},
        {"mais de 20 milhoes de pixels", FazPNG(Arquivo(5000, 4001, 0, 1, Bytes(625 * 4001))),
         false},
        {"sem o fim", bom.substr(0, bom.size() - 12), false},
        {"cortado nos dados", bom.substr(0, bom.size() - 20), false},
        {"so a assinatura", bom.substr(0, 8), false},
        {"soma de verificacao errada", ComCRCErrado(bom), false},
    };
    DiretorioTemporario dir;
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nome);
        EscreveArquivo("logo.png", c.arquivo);
        EXPECT_EQ(LeImagem("logo.png", OrdemLinhas::ComoGravado).has_value(), c.lido);
    }
}

// The size every program draws a picture at.
TEST(Png, MedidaDoDesenho) {
    struct Caso {
        float largura, altura;
        MedidaImagem esperada;
    };
    // The picture is 600 by 300 pixels.
    const Caso casos[] = {
        {2, 3, {2, 3}},     // the object's size, whatever the proportions
        {1, 0, {1, 0.5f}},  // one side and the proportions
        {0, 2, {4, 2}},
        {-1, 0, {2, 1}},  // neither: 300 pixels to the inch
    };
    for (const auto& c : casos) {
        const MedidaImagem m = MedeImagem(c.largura, c.altura, 600, 300);
        EXPECT_FLOAT_EQ(m.largura, c.esperada.largura) << c.largura << " " << c.altura;
        EXPECT_FLOAT_EQ(m.altura, c.esperada.altura) << c.largura << " " << c.altura;
    }
}

}  // namespace
