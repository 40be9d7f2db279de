#include "pcl/saida_pcl.h"
#include "support/verificadores.h"

namespace {

TEST(AcentuaPCL, RewritesSequencesIntoRoman8) {
    struct Caso {
        std::string texto, esperado;
    };
    const Caso casos[] = {
        // The sequence \~a takes its letter: nothing of it is left for the next character.
        {"Jo\\~ao S\\'a", "Jo\xE2o S\xC4"},
        {"\\'A\\'E\\'I\\'O\\'U\\'a\\'e\\'i\\'o\\'u", "\xE0\xDC\xE5\xE7\xED\xC4\xC5\xD5\xC6\xC7"},
        {"\\^A\\^E\\^O\\^a\\^e\\^o", "\xA2\xA4\xDF\xC0\xC1\xC2"},
        {"\\~A\\~O\\~a\\~o\\`A\\`a", "\xE1\xE9\xE2\xEA\xA1\xC8"},
        {"\\,C\\,c\\-a\\-o", "\xB4\xB5\xF9\xFA"},
        {"\\'x", "x"},  // a mark with a letter it does not accent gives the letter
        {"\\~e\\,a", "ea"},
        {"\\\\", "\\"},  // any other character after the backslash stands for itself
        {"\\q", "q"},
        {"fim\\", "fim"},  // an unfinished sequence at the end is dropped
        {"fim\\'", "fim"},
        {"a\\'\\'e", "a\\'e"},  // the mark's letter may be a backslash
        {"", ""},
        {std::string(300, 'x') + "\\'a", std::string(300, 'x') + "\xC4"},  // long texts whole
    };
    for (const auto& c : casos) {
        std::string texto = c.texto;
        acentua(texto);
        EXPECT_EQ(texto, c.esperado) << c.texto;
    }
}

using TextoPCL = SaidaPCL;

std::string Cabeca(int X, int Y, int negrito, int italico) {
    return F("\x1b*p%dX", X) + F("\x1b*p%dY", Y) + F("\x1b(s%dB", negrito) +
           F("\x1b(s%dS", italico);
}

// Each row is one text drawn after the row before it; "reset" empties the font memory first.
TEST_F(TextoPCL, SelectsTheFontOnlyWhenItChanges) {
    struct Caso {
        bool reset;
        float x, y;
        const char* fonte;
        const char* estilo;
        const char* conteudo;
        std::string esperado;
    };
    const Caso casos[] = {
        {true, 1.0f, 1.0f, "A10", "", "a",
         Cabeca(228, 300, 0, 0) + F("\x1b(s16602t1p%dV%s", 10, "a")},
        {false, 1.0f, 2.0f, "A10", "", "b", Cabeca(228, 600, 0, 0) + "b"},
        {true, 1.0f, 2.0f, "A10", "", "c",
         Cabeca(228, 600, 0, 0) + F("\x1b(s16602t1p%dV%s", 10, "c")},
        {false, 1.0f, 1.0f, "A12", "", "d", Cabeca(228, 300, 0, 0) + F("\x1b(s%dV%s", 12, "d")},
        {false, 1.0f, 1.0f, "C10", "", "e",
         Cabeca(228, 300, 0, 0) + F("\x1b(s4099t0p%dH%s", 12, "e")},
        {false, 1.0f, 1.0f, "C12", "", "f", Cabeca(228, 300, 0, 0) + F("\x1b(s%dH%s", 10, "f")},
        {false, 1.0f, 1.0f, "C10", "", "g", Cabeca(228, 300, 0, 0) + F("\x1b(s%dH%s", 12, "g")},
        {false, 1.0f, 1.0f, "C10", "", "h", Cabeca(228, 300, 0, 0) + "h"},
        {false, 1.0f, 1.0f, "A10", "", "i",
         Cabeca(228, 300, 0, 0) + F("\x1b(s16602t1p%dV%s", 10, "i")},
        // A code longer than three characters is remembered whole, so A10 after A100 differs.
        {false, 1.0f, 1.0f, "A100", "", "j", Cabeca(228, 300, 0, 0) + F("\x1b(s%dV%s", 100, "j")},
        {false, 1.0f, 1.0f, "A10", "", "k", Cabeca(228, 300, 0, 0) + F("\x1b(s%dV%s", 10, "k")},
        {false, 0.0f, 0.0f, "A10", "", "", Cabeca(-72, 0, 0, 0)},
    };
    for (const auto& c : casos) {
        if (c.reset) ReiniciaFonte();
        std::string conteudo = c.conteudo;
        DesenhaTexto(c.x, c.y, c.fonte, c.estilo, conteudo);
        EXPECT_EQ(Novo(), c.esperado) << c.fonte << " " << c.conteudo;
        EXPECT_EQ(g_fonte, c.fonte);
    }
}

TEST_F(TextoPCL, StyleLettersAreCapitalsAnywhere) {
    struct Caso {
        const char* estilo;
        int negrito, italico;
    };
    const Caso casos[] = {{"NI", 3, 1}, {"ni", 0, 0}, {"IN", 3, 1}, {"xNx", 3, 0},
                          {"I", 0, 1},  {"", 0, 0},   {"Nn", 3, 0}};
    for (const auto& c : casos) {
        std::string conteudo = "t";
        g_fonte = "A10";
        DesenhaTexto(1.0f, 1.0f, "A10", c.estilo, conteudo);
        EXPECT_EQ(Novo(), Cabeca(228, 300, c.negrito, c.italico) + "t") << c.estilo;
        EXPECT_EQ(g_negrito, c.negrito ? 1 : 0) << c.estilo;
        EXPECT_EQ(g_italico, c.italico) << c.estilo;
    }
}

// The pitch of a Courier size is 120 / size to the nearest whole number, halves up, at least 1;
// sizes of 0 or less take pitch 10.
TEST_F(TextoPCL, CourierPitchFollowsTheSize) {
    struct Caso {
        const char* fonte;
        int passo;
    };
    const Caso casos[] = {
        {"C5", 24},  {"C6", 20},   {"C7", 17},         {"C8", 15},  {"C9", 13},   {"C10", 12},
        {"C11", 11}, {"C12", 10},  {"C15", 8},         {"C20", 6},  {"C30", 4},   {"C14", 9},
        {"C16", 8},  {"C48", 3},   {"C240", 1},        {"C999", 1}, {"C", 10},    {"C0", 10},
        {"C-5", 10}, {"C 12", 10}, {"C2147483647", 1}, {"Cx", 10},  {"C12x", 10}, {"C1", 120},
    };
    for (const auto& c : casos) {
        ReiniciaFonte();
        std::string conteudo;
        DesenhaTexto(1.0f, 1.0f, c.fonte, "", conteudo);
        EXPECT_EQ(Novo(), Cabeca(228, 300, 0, 0) + F("\x1b(s4099t0p%dH", c.passo)) << c.fonte;
    }
}

TEST_F(TextoPCL, PositionsFollowTheMargins) {
    struct Caso {
        float x, y;
        int margem;
        int X, Y;
    };
    const Caso casos[] = {
        {1.0f, 1.0f, 0, 228, 300},
        {1.0f, 1.0f, 156, 228, 144},
        {1.55f, 0.1f, 0, 392, 30},    // from the single-precision inputs, truncated
        {0.1f, -1.0f, 0, -41, -300},  // truncated towards zero
        {1e30f, -1e30f, 0, 2147483647, -2147483647 - 1},
    };
    for (const auto& c : casos) {
        margemy = c.margem;
        g_fonte = "A10";
        std::string conteudo = "t";
        DesenhaTexto(c.x, c.y, "A10", "", conteudo);
        EXPECT_EQ(Novo(), Cabeca(c.X, c.Y, 0, 0) + "t") << c.x << " " << c.y;
    }
}

TEST_F(TextoPCL, CentringTrimsBlanksAndCentresOnTheLetterSheet) {
    struct Caso {
        const char* fonte;
        const char* conteudo;
        std::string final;
        int X;
    };
    const Caso casos[] = {
        {"C12", "  TOTAL  ", "TOTAL", 1128},  // 4.25 - 0.1 * 2.5 = 4.0
        {"A10", "TOTAL", "TOTAL", 1140},      // 4.25 - 2.5 / 12, in inches
        {"C12", " \\'a ", "\xC4", 1187},      // accents count after conversion: one character
        {"C12", "\tx", "\tx", 1173},          // only blanks are trimmed
        {"C12", "    ", "", 1203},            // nothing left: the middle itself
        {"C48", "ABCD", "ABCD", 1002},        // pitch 3 for an unlisted size
    };
    for (const auto& c : casos) {
        ReiniciaFonte();
        std::string conteudo = c.conteudo;
        DesenhaTexto(-1.0f, 1.0f, c.fonte, "", conteudo);
        EXPECT_EQ(conteudo, c.final) << c.conteudo;
        EXPECT_EQ(Novo().substr(0, F("\x1b*p%dX", c.X).size()), F("\x1b*p%dX", c.X)) << c.conteudo;
    }
}

TEST_F(TextoPCL, ContentIsWrittenConverted) {
    std::string conteudo = "Jo\\~ao S\\'a";
    DesenhaTexto(1.0f, 1.0f, "C12", "NI", conteudo);
    const std::string job = Novo();
    EXPECT_EQ(job, Cabeca(228, 300, 3, 1) + F("\x1b(s4099t0p%dH%s", 10, "Jo\xE2o S\xC4"));
    VerificaJobPCL(job);
}

}  // namespace
