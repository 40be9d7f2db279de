// Lines, boxes, boxes with curved corners, images and barcodes.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "captura.h"
#include "support/ferramentas.h"
#include "support/simbolo.h"

namespace {

class GraficoPS : public TestePS {};

std::string Linha(float x1, float y1, float x2, float y2, int w) {
    CapturaSaida job;
    DesenhaLinha(x1, y1, x2, y2, w);
    return job.texto();
}

std::string Tracos(int X, int Y, int passo_x, int passo_y, int n, const char* rlineto) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += F("%d %d moveto\n", X + i * passo_x, Y + i * passo_y) + rlineto;
    return s;
}

TEST_F(GraficoPS, Linhas) {
    struct Caso {
        const char* nome;
        float x1, y1, x2, y2;
        int w;
        std::string corpo;  // between newpath and closepath
        const char* largura;
    };
    const Caso casos[] = {
        {"cheia", 1, 1, 3, 1, 2, F("%d %d moveto\n%d %d rlineto\n", 72, 770, 144, 0), "0.50"},
        {"cheia_para_tras", 3, 2, 1, 1, 1, F("%d %d moveto\n%d %d rlineto\n", 216, 698, -144, 72),
         "0.25"},
        // 12 dashes at X = 72, 84, ..., 204.
        {"tracejada", 1, 1, 3, 1, -2, Tracos(72, 770, 12, 0, 12, "6 0 rlineto\n"), "0.50"},
        // Given from its right end, a dashed line prints as given from its left end.
        {"tracejada_para_tras", 3, 1, 1, 1, -2, Tracos(72, 770, 12, 0, 12, "6 0 rlineto\n"),
         "0.50"},
        {"tracejada_inclinada", 1, 1, 1.25f, 2, -1, Tracos(72, 770, 12, 0, 2, "6 -72 rlineto\n"),
         "0.25"},
        {"inclinada_para_tras", 1.25f, 2, 1, 1, -1, Tracos(72, 770, 12, 0, 2, "6 -72 rlineto\n"),
         "0.25"},
        // Vertical: from the upper end (770) down to 698, one dash every 12 points.
        {"vertical", 1, 1, 1, 2, -2, Tracos(72, 770, 0, -12, 6, "0 -6 rlineto\n"), "0.50"},
        {"vertical_de_baixo", 1, 2, 1, 1, -2, Tracos(72, 770, 0, -12, 6, "0 -6 rlineto\n"), "0.50"},
        {"ponto_tracejado", 1, 1, 1, 1, -2, "", "0.50"},
        {"largura_minima", 1, 1, 1, 1, INT_MIN, "", "536870912.00"},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(Linha(c.x1, c.y1, c.x2, c.y2, c.w),
                  "newpath\n" + c.corpo + F("closepath\n%s setlinewidth\nstroke\n", c.largura))
            << c.nome;
    }
}

// A dash loop over an absurd length ends: coordinates stay within reach of a page.
TEST_F(GraficoPS, TracejadoAbsurdoTermina) {
    const std::string t = Linha(-3e38f, 1, 3e38f, 1, -1);
    EXPECT_LT(t.size(), 1000000u);
    EXPECT_NE(t.find(F("%d %d moveto\n", -kLimitePontos, 770)), std::string::npos);
}

std::string Caixa(float x, float y, float w, float h, int sombra, int borda) {
    CapturaSaida job;
    DesenhaRetang(x, y, w, h, sombra, borda);
    return job.texto();
}

TEST_F(GraficoPS, Retang) {
    struct Caso {
        int sombra;
        int borda;
        const char* comentario;  // the shade as the comment gives it
        const char* cinza;
        const char* contorno;
    };
    const Caso casos[] = {
        {0, 0, "0", "1 setgray\n", ""},
        {10, 0, "10", "0.90 setgray\n", ""},
        {20, 2, "20", "0.80 setgray\n", "0 setgray\n0.50 setlinewidth\nstroke\n"},
        {95, 0, "95", "0.05 setgray\n", ""},
        {100, -4, "100", "0.00 setgray\n", "0 setgray\n-1.00 setlinewidth\nstroke\n"},
        {150, 0, "100", "0.00 setgray\n", ""},
        {-5, 0, "0", "1 setgray\n", ""},
    };
    for (const Caso& c : casos) {
        // Box at (1, 1), 2 by 1 inches: 72 770 to 216 698.
        EXPECT_EQ(Caixa(1, 1, 2, 1, c.sombra, c.borda),
                  F("%% RETANG %.2f %.2f %.2f %.2f %s\n", 1.0, 1.0, 2.0, 1.0, c.comentario) +
                      "newpath\n72 770 moveto\n216 770 lineto\n216 698 lineto\n72 698 lineto\n"
                      "72 770 lineto\nclosepath\ngsave\n" +
                      c.cinza + "fill\ngrestore\n" + c.contorno)
            << c.sombra;
    }
}

// The comment keeps the numbers as given, before the origin is taken off.
TEST_F(GraficoPS, RetangComOrigem) {
    xtop = 0.5f;
    ytop = 0.25f;
    const std::string t = Caixa(1.5f, 1.25f, 0.125f, 2, 0, 0);
    EXPECT_EQ(t.substr(0, t.find("newpath")),
              F("%% RETANG %.2f %.2f %.2f %.2f %d\n", 1.5, 1.25, 0.125, 2.0, 0));
    EXPECT_NE(t.find("72 770 moveto\n81 770 lineto\n81 626 lineto\n"), std::string::npos) << t;
}

std::string Curvas(const char* cantos) {
    CapturaSaida job;
    DesenhaRetangA(1, 1, 2, 1, cantos, 4);
    return job.texto();
}

TEST_F(GraficoPS, RetangA) {
    // Box 72 770 to 216 698.
    const std::string lados =
        "0 setgray\n1.00 setlinewidth\n"
        "newpath\n77 770 moveto\n211 770 lineto\nstroke\n"
        "newpath\n216 765 moveto\n216 703 lineto\nstroke\n"
        "newpath\n77 698 moveto\n211 698 lineto\nstroke\n"
        "newpath\n72 765 moveto\n72 703 lineto\nstroke\n";
    // Top right, bottom right, bottom left, top left.
    const char* const arcos[] = {"211 765 5 0 90 arc\n", "211 703 5 270 360 arc\n",
                                 "77 703 5 180 270 arc\n", "77 765 5 90 180 arc\n"};
    const char* const quinas[] = {"211 770 moveto\n216 770 lineto\n216 765 lineto\n",
                                  "216 703 moveto\n216 698 lineto\n211 698 lineto\n",
                                  "77 698 moveto\n72 698 lineto\n72 703 lineto\n",
                                  "72 765 moveto\n72 770 lineto\n77 770 lineto\n"};
    struct Caso {
        const char* cantos;
        bool curvo[4];  // in drawing order: top right, bottom right, bottom left, top left
    };
    const Caso casos[] = {
        {"0000", {true, true, true, true}},      {"1111", {false, false, false, false}},
        {"0", {false, false, false, true}},      {"0101", {false, true, false, true}},
        {"11110", {false, false, false, false}}, {"", {false, false, false, false}},
        {"x0y0", {true, false, true, false}},
    };
    for (const Caso& c : casos) {
        std::string esperado =
            F("%% RETANGA %.2f %.2f %.2f %.2f %s %d\n", 1.0, 1.0, 2.0, 1.0, c.cantos, 4) + lados;
        for (int i = 0; i < 4; ++i)
            esperado += std::string("newpath\n") + (c.curvo[i] ? arcos[i] : quinas[i]) + "stroke\n";
        EXPECT_EQ(Curvas(c.cantos), esperado) << c.cantos;
    }
}

std::string Imagem(float x, float y, const char* arquivo, int mascara) {
    CapturaSaida job;
    DesenhaImagem(x, y, 9, 9, arquivo, mascara);
    return job.texto();
}

TEST_F(GraficoPS, Imagens) {
    DiretorioTemporario dir;
    // 32 x 2: bottom row 00 ff 0f f0, top row 81 42 24 18.
    EscreveArquivo("l32.bmp",
                   BitmapUmBit(32, 2, std::string("\x00\xff\x0f\xf0\x81\x42\x24\x18", 8)));
    // 12 x 2: each stored row padded to four bytes; only two bytes of each are image data.
    EscreveArquivo("l12.bmp",
                   BitmapUmBit(12, 2, std::string("\xa0\xb0\xee\xee\xc0\xd0\xee\xee", 8)));
    // 300 x 300: one inch square; its rows are 38 bytes of data in 40 stored.
    EscreveArquivo("l300.bmp", BitmapUmBit(300, 300, std::string(40 * 300, '\x55')));
    EscreveArquivo("lixo.bmp", "nao sou um bitmap");
    struct Caso {
        const char* arquivo;
        int mascara;
        std::string esperado;
    };
    std::string dados300;
    for (int i = 0; i < 300 * 38; ++i)
        dados300 += i ? " 55" : "55";
    const Caso casos[] = {
        {"l32.bmp", 0,
         F("%% IMAGEM %s %d\n", "l32.bmp", 0) + "gsave\n72 770 translate\n7 0 scale\n" +
             F("%d %d 1 [%d 0 0 %d 0 0] {<", 32, 2, 32, 2) +
             "00 ff 0f f0 81 42 24 18>} image\ngrestore\n"},
        {"l32.bmp", 1,
         F("%% IMAGEM %s %d\n", "l32.bmp", 1) + "gsave\n72 770 translate\n7 0 scale\n" +
             F("%d %d true [%d 0 0 %d 0 0] {<", 32, 2, 32, 2) +
             "ff 00 f0 0f 7e bd db e7>} imagemask\ngrestore\n"},
        {"l12.bmp", 0,
         F("%% IMAGEM %s %d\n", "l12.bmp", 0) + "gsave\n72 770 translate\n2 0 scale\n" +
             F("%d %d 1 [%d 0 0 %d 0 0] {<", 12, 2, 12, 2) + "a0 b0 c0 d0>} image\ngrestore\n"},
        {"l300.bmp", 0,
         F("%% IMAGEM %s %d\n", "l300.bmp", 0) + "gsave\n72 698 translate\n72 72 scale\n" +
             F("%d %d 1 [%d 0 0 %d 0 0] {<", 300, 300, 300, 300) + dados300 +
             ">} image\ngrestore\n"},
        {"ausente.bmp", 0, ""},
        {"lixo.bmp", 0, ""},
        {".", 0, ""},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(Imagem(1, 1, c.arquivo, c.mascara), c.esperado) << c.arquivo << c.mascara;
}

std::string Barras(float x, float y, int altura, const char* tipo, const char* codigo) {
    CapturaSaida job;
    DesenhaCodBar(x, y, altura, tipo, codigo);
    return job.texto();
}

std::string Faixas(int X, int Y, int n, int m, const char* bytes) {
    std::string s;
    for (int k = 1; k <= n; ++k)
        s += F("gsave\n%d %d translate\n%d %d scale\n%d %d 1 [%d 0 0 %d 0 0] {<", X, Y - 18 * k,
               m * 72 / 100, 18, m, 1, m, 1) +
             bytes + ">} image\ngrestore\n";
    return s;
}

TEST_F(GraficoPS, CodigosDeBarras) {
    struct Caso {
        const char* tipo;
        const char* codigo;
        int altura;
        std::string esperado;
        bool invalido;
    };
    // Rows of the encoders for these texts: a set bit is a space module.
    const char* const c1234 = "2c 69 8d d3 b6 13 8a 00";
    const Caso casos[] = {
        {"code128c", "1234", 1, Faixas(72, 770, 1, 57, c1234), false},
        {"code128c", "1234", 2, Faixas(72, 770, 2, 57, c1234), false},
        {"code128c", "1234  ", 1, Faixas(72, 770, 1, 57, c1234), false},
        {"code128c", "1234\r\n", 1, Faixas(72, 770, 1, 57, c1234), false},
        {"i25", "5", 1, Faixas(72, 770, 1, 27, "57 47 14 40"), false},
        {"qualquer", "A", 1, Faixas(72, 770, 1, 42, "69 2c ad 36 92 c0"), false},
        {"code39", "A", 3, Faixas(72, 770, 3, 42, "69 2c ad 36 92 c0"), false},
        {"code128c", "1234", 0, "", false},
        {"code128c", "1234", -3, "", false},
        {"code128c", "", 2, "", false},
        {"code128c", "   ", 2, "", false},
        {"i25", "12a4", 2, "", true},
        {"code39", "abc", 2, "", true},
    };
    for (const Caso& c : casos) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(Barras(1, 1, c.altura, c.tipo, c.codigo), c.esperado) << c.tipo << c.codigo;
        const std::string erro = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(erro, c.invalido ? F("Codigo de barras invalido [%s]\n", c.codigo) : "")
            << c.codigo;
    }
}

// An absurd strip count is held to 200 strips (50 inches).
TEST_F(GraficoPS, AlturaDeBarrasLimitada) {
    const std::string t = Barras(1, 1, INT_MAX, "code128c", "1234");
    std::size_t n = 0;
    for (std::size_t p = t.find("gsave"); p != std::string::npos; p = t.find("gsave", p + 1))
        ++n;
    EXPECT_EQ(n, 200u);
}

// One image mask, a sample a module, rows top first, scaled to whole 1/300-inch dots a module:
// 9 modules of 4 dots are 36 dots, 8.64 points; the top left corner at (1, 1) in.
TEST_F(GraficoPS, CodigosMatriciais) {
    DesenhaCodMatriz(1, 1, SimboloDe({LinhaModulos(9, {0, 8}), LinhaModulos(9, {1})}, 4));
    EXPECT_EQ(job.texto(),
              F("%% CODMATRIZ %d %d %d\n", 9, 2, 4) + "gsave\n" +
                  F("%d %.2f translate\n%.2f %.2f scale\n", 72, 770 - 1.92, 8.64, 1.92) +
                  F("%d %d true [%d 0 0 %d 0 %d] {<", 9, 2, 9, -2, 2) +
                  "80 80 40 00>} imagemask\ngrestore\n");
}

}  // namespace
