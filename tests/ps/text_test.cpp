// Texts: accents, font selection, escaping, rotation and centring.
#include <gtest/gtest.h>

#include <string>

#include "captura.h"

namespace {

struct CasoAcento {
    const char* entrada;
    const char* saida;
};

const CasoAcento casos_acento[] = {
    {"Sa\\~o P", "Sa\\365 P"},
    {"S\\~ao P", "S\\343o P"},
    {"\\'A\\'E\\'I\\'O\\'U\\'a\\'e\\'i\\'o\\'u",
     "\\301\\311\\315\\323\\332\\341\\351\\355\\363\\372"},
    {"\\^A\\^E\\^O\\^a\\^e\\^o", "\\302\\312\\324\\342\\352\\364"},
    {"\\~A\\~O\\~a\\~o", "\\303\\325\\343\\365"},
    {"\\`A\\`a", "\\300\\340"},
    {"\\,C\\,c", "\\307\\347"},
    {"\\-a\\-o", "\\252\\272"},
    // Pairs outside the table keep the letter only.
    {"\\^i\\^U\\~n\\`e\\,s\\-e\\'x", "iUnesex"},
    // A backslash before anything else leaves that character.
    {"\\z", "z"},
    {"a\\\\b", "a\\b"},
    {"\\\\\\'a", "\\\\341"},
    // Unfinished sequences at the end vanish.
    {"abc\\", "abc"},
    {"abc\\'", "abc"},
    {"\\", ""},
    {"", ""},
    // Latin-1 bytes already in the text pass unchanged.
    {"\xe1gua \xc7", "\xe1gua \xc7"},
};

TEST(Acentua, Tabela) {
    for (const CasoAcento& c : casos_acento) {
        std::string t = c.entrada;
        acentua(t);
        EXPECT_EQ(t, c.saida) << c.entrada;
    }
}

std::string Texto(float x, float y, const char* fonte, const char* estilo, std::string conteudo) {
    CapturaSaida job;
    DesenhaTexto(x, y, fonte, estilo, conteudo);
    return job.texto();
}

struct CasoFonte {
    const char* fonte;
    const char* estilo;
    const char* nome;
    int tamanho;
};

const CasoFonte casos_fonte[] = {
    {"C12", "", "CourierLatina", 12},
    {"C8", "N", "CourierBoldLatina", 8},
    {"C10", "I", "CourierItalicLatina", 10},
    {"C10", "IN", "CourierBoldLatina", 10},
    {"A10", "", "ArialLatina", 10},
    {"A10", "NI", "ArialBoldLatina", 10},
    {"A9", "xIx", "ArialItalicLatina", 9},
    {"A10", "ni", "ArialLatina", 10},
    // Other family letters take Arial.
    {"X14", "N", "ArialBoldLatina", 14},
    {"c12", "", "ArialLatina", 12},
    // A size that is not a positive number would make the show fail: 12 points.
    {"A0", "", "ArialLatina", 12},
    {"A", "", "ArialLatina", 12},
    {"", "", "ArialLatina", 12},
    {"Cxx", "", "CourierLatina", 12},
    {"C-8", "", "CourierLatina", 12},
};

class TextoPS : public TestePS {};

TEST_F(TextoPS, SelecaoDeFonte) {
    for (const CasoFonte& c : casos_fonte) {
        EXPECT_EQ(Texto(1.0f, 1.0f, c.fonte, c.estilo, "x"),
                  F("/%s findfont\n%d scalefont\nsetfont\nnewpath\n%d %d moveto\n(x) show\n",
                    c.nome, c.tamanho, 72, 770))
            << c.fonte << " " << c.estilo;
    }
}

struct CasoCadeia {
    const char* conteudo;
    const char* cadeia;      // inside the parentheses of the show line
    const char* convertido;  // the caller's content afterwards
};

const CasoCadeia casos_cadeia[] = {
    {"a(b)c", "a\\(b\\)c", "a(b)c"},
    {"Sa\\~o P", "Sa\\365 P", "Sa\\365 P"},
    // A literal backslash must not escape the closing parenthesis.
    {"a\\\\b", "a\\\\b", "a\\b"},
    {"fim\\\\", "fim\\\\", "fim\\"},
    {"\\\\\\~a)", "\\\\\\343\\)", "\\\\343)"},
    {"", "", ""},
    {"  x  ", "  x  ", "  x  "},
};

TEST_F(TextoPS, CadeiaEscapada) {
    for (const CasoCadeia& c : casos_cadeia) {
        std::string conteudo = c.conteudo;
        CapturaSaida job;
        DesenhaTexto(1.0f, 1.0f, "C12", "", conteudo);
        EXPECT_EQ(job.texto(), F("/CourierLatina findfont\n12 scalefont\nsetfont\nnewpath\n"
                                 "72 770 moveto\n(%s) show\n",
                                 c.cadeia))
            << c.conteudo;
        EXPECT_EQ(conteudo, c.convertido);
    }
}

// The angle asked for, the text's place and the rotate lines around the show line.
struct CasoGiro {
    int angulo;
    int X, Y;
    int giro;            // the angle in use after the text; 0: written upright
    const char* antes;   // the rotate line before the show line, if any
    const char* depois;  // the one after it
};

// A text at form (2, 3) on an A4 portrait page.
const CasoGiro casos_giro[] = {
    {0, 144, 626, 0, "", ""},
    {90, 234, 144, 90, "90 rotate % 90\n", "270 rotate\n"},
    {270, 198, 144, 90, "90 rotate % 270\n", "270 rotate\n"},
    {180, 144, 626, 0, "", ""},
    // Outside one turn the angle counts within it.
    {-90, 198, 144, 90, "90 rotate % -90\n", "270 rotate\n"},
    {450, 234, 144, 90, "90 rotate % 450\n", "270 rotate\n"},
    // Angles other than quarter turns have no defined place: upright.
    {45, 144, 626, 45, "", ""},
    {200, 144, 626, 20, "", ""},
};

TEST_F(TextoPS, Rotacao) {
    for (const CasoGiro& c : casos_giro) {
        Rotacao(c.angulo);
        // Two texts in a row: the folded angle stays in use, the one asked for is kept.
        for (int vez = 0; vez < 2; ++vez) {
            EXPECT_EQ(Texto(2.0f, 3.0f, "A10", "", "t"),
                      F("/ArialLatina findfont\n10 scalefont\nsetfont\nnewpath\n%d %d moveto\n"
                        "%s(t) show\n%s",
                        c.X, c.Y, c.antes, c.depois))
                << c.angulo << " " << vez;
            EXPECT_EQ(rotacao, c.giro);
            EXPECT_EQ(rotacao0, c.angulo);
        }
    }
}

struct CasoCentro {
    const char* conteudo;
    float xtop;
    int angulo;
    int X, Y;
    const char* cadeia;
};

const CasoCentro casos_centro[] = {
    {"  TOTAL  ", 0.0f, 0, 306, 770, "TOTAL"},
    {"TOTAL", 0.5f, 0, 270, 770, "TOTAL"},
    {" \\'a(b) ", 0.0f, 0, 306, 770, "\\341\\(b\\)"},
    {"   ", 0.0f, 0, 306, 770, ""},
    {"", 0.0f, 0, 306, 770, ""},
    {" x ", 0.0f, 90, 90, 306, "x"},
};

TEST_F(TextoPS, CentradoEmQuatroPolegadasEUmQuarto) {
    for (const CasoCentro& c : casos_centro) {
        ReiniciaVariaveis();
        xtop = c.xtop;
        Rotacao(c.angulo);
        const std::string giro = c.angulo ? "90 rotate % 90\n" : "";
        const std::string volta = c.angulo ? "270 rotate\n" : "";
        EXPECT_EQ(Texto(-1.0f, 1.0f, "C12", "", c.conteudo),
                  F("/CourierLatina findfont\n12 scalefont\nsetfont\nnewpath\n%d %d moveto\n"
                    "%s(%s) dup stringwidth pop 2 div neg 0 rmoveto show\n%s",
                    c.X, c.Y, giro.c_str(), c.cadeia, volta.c_str()))
            << c.conteudo;
    }
}

}  // namespace
