#include <gtest/gtest-spi.h>

#include <cmath>

#include "pcl/saida_pcl.h"
#include "support/render.h"
#include "support/verificadores.h"
#include "util/lista.h"

namespace {

std::string Prologo(const char* pagina, const char* orient, int bandeja, int ox, int oy, int dup) {
    return std::string(pagina) + orient + F("\x1b&l%dH", bandeja) + "\x1b&l0E" + "\x1b&a0L" +
           F("\x1b&l%du%dZ", ox, oy) + F("\x1b&l%dS", dup) + "\x1b(8U";
}

using PrologoPCL = SaidaPCL;

TEST_F(PrologoPCL, FollowsThePageSettings) {
    struct Caso {
        char papel, orientacao;
        signed char alimentacao;
        int origx, origy;
        unsigned char duplex;
        std::string esperado;
    };
    const Caso casos[] = {
        {'c', 'p', 1, 0, 0, 0, Prologo("\x1b&l2A", "\x1b&l0O", 1, 0, 0, 0)},
        {'4', 'l', 4, 36, 72, 1, Prologo("\x1b&l26A", "\x1b&l1O", 4, 36, 72, 1)},
        {'c', 'p', -3, -720, 5, 1, Prologo("\x1b&l2A", "\x1b&l0O", -3, -720, 5, 1)},
        // Offsets beyond what the command takes made the interpreter flush a landscape job.
        {'c', 'l', 1, 2147483647, -40000, 0, Prologo("\x1b&l2A", "\x1b&l1O", 1, 32767, -32767, 0)},
    };
    for (const auto& c : casos) {
        papel = c.papel;
        orientacao = c.orientacao;
        alimentacao = c.alimentacao;
        origx = c.origx;
        origy = c.origy;
        duplex = c.duplex;
        margemx = 0;
        InicializaImp();
        const std::string job = Novo();
        EXPECT_EQ(job, c.esperado) << c.papel << c.orientacao;
        EXPECT_EQ(margemx, 72);
        VerificaJobPCL(job);
    }
}

// The render check of every job sees the errors that only an interpreter finds: here a switch
// to a printer language whose stream the job then breaks.
TEST(RenderizaSemErro, AcusaErroDoInterpretadorPCL) {
    if (!TemPrograma("gpcl6")) GTEST_SKIP() << InterpretadorDe(kMorvex).falta;
    EXPECT_NONFATAL_FAILURE(
        RenderizaSemErro("\x1b%-12345X@PJL ENTER LANGUAGE = PCLXL\r\nAHI", kMorvex),
        "gpcl6 rejected the job");
}

using RotacaoPCL = SaidaPCL;

TEST_F(RotacaoPCL, WritesTheDirectionAndTheOrientationAfterZero) {
    struct Caso {
        void (*funcao)(int);
        int angulo;
        char orientacao;
        std::string esperado;
    };
    const Caso casos[] = {
        {Rotacao, 90, 'p', F("\x1b&a%dP", 90)},
        {Rotacao2, 0, 'p', F("\x1b&a%dP", 0) + "\x1b&l0O"},
        {Rotacao, 0, 'l', F("\x1b&a%dP", 0) + "\x1b&l1O"},
        {Rotacao2, 180, 'l', F("\x1b&a%dP", 180)},
        {Rotacao, 270, 'p', F("\x1b&a%dP", 270)},
    };
    for (const auto& c : casos) {
        orientacao = c.orientacao;
        c.funcao(c.angulo);
        EXPECT_EQ(Novo(), c.esperado) << c.angulo;
        EXPECT_EQ(rotacao, c.angulo);
        EXPECT_EQ(rotacao0, c.angulo);
        EXPECT_EQ(direcao_pcl, c.angulo);
    }
}

TEST_F(RotacaoPCL, PaperSizeNamesAreExactAndWriteNothing) {
    struct Caso {
        const char* nome;
        float esperado;
    };
    const Caso casos[] = {
        {"CARTA", 11.0f}, {"a4", 11.0f}, {"A4", 11.7f}, {"LEGAL", 11.7f}, {"CARTA ", 11.7f},
    };
    tam_papel = 5.0f;
    for (const auto& c : casos) {
        TamanhoPapel(c.nome);
        EXPECT_EQ(tam_papel, c.esperado) << c.nome;
    }
    EXPECT_EQ(Novo(), "");
}

using MacrosPCL = SaidaPCL;

const std::string kInicio20 = "\x1b&f20y0X";
const std::string kInicio21 = "\x1b&f21y0X";
const std::string kFim = "\x1b&f1x10X";

TEST_F(MacrosPCL, OnlyNonEmptyListsBecomeMacros) {
    struct Caso {
        const char* frente;  // one fixed object, or null for an empty list
        const char* verso;
        char lado;
        std::string esperado;
    };
    const std::string rot90 = F("\x1b&a%dP", 90);
    const std::string rot0 = F("\x1b&a%dP", 0) + "\x1b&l0O";
    const Caso casos[] = {
        {nullptr, nullptr, 0, ""},
        {"ROTACAO 90\n", nullptr, 0, kInicio20 + rot90 + kFim},
        {nullptr, "ROTACAO 0\n", 0, kInicio21 + rot0 + kFim},
        {"ROTACAO 90\n", "ROTACAO 0\n", 0, kInicio20 + rot90 + kFim + kInicio21 + rot0 + kFim},
        {"ROTACAO 90\n", "ROTACAO 0\n", 'f', kInicio20 + rot90 + kFim},
        {"ROTACAO 90\n", "ROTACAO 0\n", 'v', kInicio21 + rot0 + kFim},
        {"ROTACAO 90\n", "ROTACAO 0\n", 'x', ""},
    };
    for (const auto& c : casos) {
        objsff = LiberaLista(objsff);
        objsfv = LiberaLista(objsfv);
        if (c.frente) objsff = IncluiLista(objsff, c.frente);
        if (c.verso) objsfv = IncluiLista(objsfv, c.verso);
        DefineMacros(c.lado);
        const std::string job = Novo();
        EXPECT_EQ(job, c.esperado)
            << (c.frente ? c.frente : "-") << (c.verso ? c.verso : "-") << static_cast<int>(c.lado);
        VerificaJobPCL(job);
        EXPECT_EQ(direcao_pcl, 0);
    }
}

// The back macro of a turned side is laid out for the page it plays on: 156 dots higher, a font
// selected in full, and curved boxes anchored at their far corner with their flags turned.
TEST_F(MacrosPCL, TurnedBackSideIsLaidOutForDirection180) {
    objsfv = IncluiLista(objsfv, "TEXTO 1 1 A10 N Verso\n");
    objsfv = IncluiLista(objsfv, "RETANGA 1 1 2 1 0011 2\n");
    struct Caso {
        char tipo;
        int margem;
        int ancoraX, ancoraY;
    };
    const Caso casos[] = {{'i', 156, 228 + 600, 144 + 300}, {'n', 0, 228, 300}};
    for (const auto& c : casos) {
        tipo_verso = c.tipo;
        margemy = 0;
        g_fonte = "A10";
        DefineMacros(0);
        const std::string job = Novo();
        const std::string texto = F("\x1b*p%dX", 228) + F("\x1b*p%dY", 300 - c.margem) +
                                  F("\x1b(s%dB", 3) + F("\x1b(s%dS", 0) +
                                  F("\x1b(s16602t1p%dV%s", 10, "Verso");
        const std::string moldura =
            F("\x1b*c%dx%dY", 1440, 720) + F("\x1b*p%dX", c.ancoraX) + F("\x1b*p%dY", c.ancoraY);
        ASSERT_EQ(job.rfind(kInicio21, 0), 0u) << c.tipo;
        EXPECT_NE(job.find(moldura), std::string::npos) << c.tipo;
        EXPECT_NE(job.find(texto), std::string::npos) << c.tipo;
        // The box comes first: boxes are drawn under everything else.
        EXPECT_LT(job.find(moldura), job.find(texto));
        // 0011 turned is 1100: the arcs sit at frame corners 3 and 4 instead of 1 and 2.
        const bool virado = c.tipo == 'i';
        EXPECT_EQ(job.find("PD;AA32,32,90;") != std::string::npos, !virado) << c.tipo;
        EXPECT_EQ(job.find("PD;AA32,268,90;") != std::string::npos, virado) << c.tipo;
        EXPECT_EQ(margemy, c.margem);
        EXPECT_EQ(direcao_pcl, 0);
        VerificaJobPCL(job);
    }
}

}  // namespace
