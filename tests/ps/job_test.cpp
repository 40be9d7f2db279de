// The job prologue, paper size, landscape page, origin and rotation state.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "captura.h"

namespace {

// The six fonts, whatever the format uses: printer font and Latin-1 name, in prologue order.
std::string Fontes() {
    const char* const nomes[][2] = {
        {"Arial", "ArialLatina"},
        {"Arial-Bold", "ArialBoldLatina"},
        {"Arial-Italic", "ArialItalicLatina"},
        {"Courier", "CourierLatina"},
        {"Courier-Bold", "CourierBoldLatina"},
        {"Courier-Italic", "CourierItalicLatina"},
    };
    std::string s;
    for (const auto& n : nomes) {
        s += F("/%s findfont dup length dict\n", n[0]);
        s += "begin\n";
        s += "{1 index /FID ne {def} {pop pop} ifelse} forall\n";
        s += "/Encoding ISOLatin1Encoding 256 array copy dup 45 /hyphen put def\n";
        s += "currentdict\n";
        s += "end\n";
        s += F("/%s exch definefont pop\n", n[1]);
    }
    return s;
}

// The whole prologue: the page device dictionary with the varying lines given, then the fonts.
// A negative tray has no /MediaPosition line: the printer keeps its own tray.
std::string PrologoEsperado(const std::string& duplex, const std::string& tamanho, int bandeja) {
    const std::string posicao = bandeja >= 0 ? F("/MediaPosition %d\n", bandeja) : "";
    return "%!\n%%BeginPageSetup\n<<\n" + duplex + "/PageOffset [0 0]\n/Margins [0 0]\n" + tamanho +
           "/ImagingBBox null\n" + posicao + ">> setpagedevice\n%%EndPageSetup\n" + Fontes();
}

struct CasoPrologo {
    const char* nome;
    const char* papel;  // TamanhoPapel argument, or none
    char orientacao;
    signed char bandeja;
    unsigned char duplex;
    char verso;
    const char* linhas_duplex;
    const char* linhas_tamanho;
    int y_linha;  // Y of a line at form y = 1: shows the page height the job converts with
};

// clang-format off
const CasoPrologo casos_prologo[] = {
    {"padrao", nullptr, 'p', 1, 0, 0, "/Duplex false\n", "/PageSize [595 842]\n", 770},
    {"carta", "CARTA", 'p', 1, 0, 0, "/Duplex false\n", "/PageSize [612 792]\n", 720},
    // (8.5 - 1) x 72
    {"carta_paisagem", "CARTA", 'l', 1, 0, 0, "/Duplex false\n",
     "/PageSize [792 612]\n/Orientation 3\n", 540},
    // (8.26 - 1) x 72 = 522.72
    {"a4_paisagem", "A4", 'l', 1, 0, 0, "/Duplex false\n",
     "/PageSize [842 595]\n/Orientation 3\n", 522},
    {"outro_papel_fica_a4", "OFICIO", 'p', 1, 0, 0, "/Duplex false\n", "/PageSize [595 842]\n", 770},
    {"duplex_tumble", nullptr, 'p', 2, 1, 'i', "/Duplex true\n/Tumble true\n",
     "/PageSize [595 842]\n", 770},
    {"duplex_normal", nullptr, 'p', 1, 1, 'n', "/Duplex true\n/Tumble false\n",
     "/PageSize [595 842]\n", 770},
    {"duplex_sem_verso", nullptr, 'p', -1, 1, 0, "/Duplex true\n/Tumble false\n",
     "/PageSize [595 842]\n", 770},
};
// clang-format on

void PrintTo(const CasoPrologo& c, std::ostream* os) {
    *os << c.nome;
}

class Prologo : public TestePS, public ::testing::WithParamInterface<CasoPrologo> {};

TEST_P(Prologo, DispositivoFontesEAlturaDaPagina) {
    const CasoPrologo& c = GetParam();
    if (c.papel != nullptr) TamanhoPapel(c.papel);
    const float altura_carregada = tam_papel;
    orientacao = c.orientacao;
    alimentacao = c.bandeja;
    duplex = c.duplex;
    tipo_verso = c.verso;
    InicializaImp();
    EXPECT_EQ(job.texto(), PrologoEsperado(c.linhas_duplex, c.linhas_tamanho, c.bandeja));
    EXPECT_EQ(margemx, 72);
    // The landscape page lives in the back-end: the loaded settings stay as they were.
    EXPECT_EQ(tam_papel, altura_carregada);

    CapturaSaida linha;
    DesenhaLinha(1.0f, 1.0f, 3.0f, 1.0f, 2);
    EXPECT_EQ(linha.texto(), F("newpath\n%d %d moveto\n%d %d rlineto\nclosepath\n"
                               "%.2f setlinewidth\nstroke\n",
                               72, c.y_linha, 144, 0, 0.5));
}

INSTANTIATE_TEST_SUITE_P(Casos, Prologo, ::testing::ValuesIn(casos_prologo),
                         [](const auto& i) { return std::string(i.param.nome); });

// ORIGEM 720 0 is one inch in x; in landscape it moves the drawings one inch in the form's y.
TEST_F(TestePS, PaisagemTrocaAOrigem) {
    struct Caso {
        char orientacao;
        int X, Y;
    };
    const Caso casos[] = {{'p', 0, 720}, {'l', 72, 612}};
    for (const Caso& c : casos) {
        ReiniciaVariaveis();
        TamanhoPapel("CARTA");
        orientacao = c.orientacao;
        xtop = 1.0f;
        ytop = 0.0f;
        InicializaImp();
        CapturaSaida linha;
        DesenhaLinha(1.0f, 1.0f, 1.0f, 1.0f, 0);
        EXPECT_EQ(linha.texto(), F("newpath\n%d %d moveto\n0 0 rlineto\nclosepath\n"
                                   "0.00 setlinewidth\nstroke\n",
                                   c.X, c.Y))
            << c.orientacao;
        EXPECT_EQ(xtop, 1.0f);
        EXPECT_EQ(ytop, 0.0f);
    }
}

// Positions are widened to double before the origin is taken off: ORIGEM 36 and x = 1.55.
TEST_F(TestePS, OrigemSemArredondarEmFloat) {
    xtop = static_cast<float>(36 / 720.0);
    DesenhaLinha(1.55f, 0.0f, 1.55f, 0.0f, 1);
    EXPECT_NE(job.texto().find(F("%d %d moveto\n", 107, 842)), std::string::npos) << job.texto();
}

// Several batches in one run: each starts from the settings as loaded, and a portrait batch
// after a landscape one sets the page device's orientation back.
TEST_F(TestePS, LotesSeguidos) {
    struct Lote {
        char orientacao;
        const char* tamanho;    // the /PageSize line
        const char* orientado;  // the line after it, or none
        int Y;                  // Y of a line at form (1, 1) with ORIGEM 720 0
    };
    const Lote lotes[] = {
        {'l', "/PageSize [792 612]\n", "/Orientation 3\n", 612},
        {'l', "/PageSize [792 612]\n", "/Orientation 3\n", 612},
        {'p', "/PageSize [612 792]\n", "/Orientation 0\n", 720},
        {'p', "/PageSize [612 792]\n", "/ImagingBBox null\n", 720},
        {'l', "/PageSize [792 612]\n", "/Orientation 3\n", 612},
    };
    TamanhoPapel("CARTA");
    xtop = 1.0f;
    for (const Lote& l : lotes) {
        orientacao = l.orientacao;
        CapturaSaida lote;
        InicializaImp();
        DesenhaLinha(1.0f, 1.0f, 1.0f, 1.0f, 0);
        const std::string t = lote.texto();
        EXPECT_NE(t.find(std::string(l.tamanho) + l.orientado), std::string::npos) << t;
        EXPECT_NE(t.find(F("%d %d moveto\n", l.orientacao == 'l' ? 72 : 0, l.Y)), std::string::npos)
            << t;
    }
}

TEST_F(TestePS, TamanhoPapel) {
    struct Caso {
        const char* nome;
        float antes, depois;
    };
    const Caso casos[] = {
        {"CARTA", 11.7f, 11.0f}, {"A4", 11.0f, 11.7f},  {"carta", 11.0f, 11.0f},
        {"", 11.7f, 11.7f},      {"A4 ", 11.0f, 11.0f}, {"LEGAL", 11.0f, 11.0f},
    };
    for (const Caso& c : casos) {
        tam_papel = c.antes;
        TamanhoPapel(c.nome);
        EXPECT_EQ(tam_papel, c.depois) << c.nome;
    }
    EXPECT_EQ(job.texto(), "");
}

TEST_F(TestePS, RotacaoSoGuardaOAngulo) {
    for (int angulo : {90, 270, 0, -90}) {
        Rotacao(angulo);
        EXPECT_EQ(rotacao, angulo);
        EXPECT_EQ(rotacao0, angulo);
        Rotacao2(angulo + 1);
        EXPECT_EQ(rotacao, angulo + 1);
        EXPECT_EQ(rotacao0, angulo + 1);
    }
    EXPECT_EQ(job.texto(), "");
}

}  // namespace
