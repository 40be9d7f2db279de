// The real morvex on small forms: the whole job, byte for byte, from the format strings.
#include <gtest/gtest.h>

#include <string>

#include "pcl/saida_pcl.h"
#include "support/ferramentas.h"

namespace {

std::string Prologo(const char* pagina = "\x1b&l2A", const char* orient = "\x1b&l0O",
                    int bandeja = 1, int ox = 0, int oy = 0, int dup = 0) {
    return std::string(pagina) + orient + F("\x1b&l%dH", bandeja) + "\x1b&l0E" + "\x1b&a0L" +
           F("\x1b&l%du%dZ", ox, oy) + F("\x1b&l%dS", dup) + "\x1b(8U";
}

const std::string kDefine20 = "\x1b&f20y0X";
const std::string kDefine21 = "\x1b&f21y0X";
const std::string kFimMacro = "\x1b&f1x10X";
const std::string kChama20 = "\x1b&f20y3X";
const std::string kChama21 = "\x1b&f21y3X";
const std::string kViraInvertido = "\r\f\x1b&a180P";
const std::string kViraNormal = "\r\f";
const std::string kFimPagina = "\r\f\x1b&a0P";
const std::string kApaga20 = "\x1b&f20y8X";
const std::string kApaga21 = "\x1b&f21y8X";

std::string Texto(int X, int Y, int negrito, int italico, const std::string& fonte_e_texto) {
    return F("\x1b*p%dX", X) + F("\x1b*p%dY", Y) + F("\x1b(s%dB", negrito) +
           F("\x1b(s%dS", italico) + fonte_e_texto;
}

// RETANGA 1 1 2 1 0011 2 drawn on a turned side (margin 156): anchored at its far corner, the
// flags turned to 1100.
std::string CaixaVirada() {
    return F("\x1b*c%dx%dY", 1440, 720) + F("\x1b*p%dX", 828) + F("\x1b*p%dY", 444) + "\x1b*c0T" +
           "\x1b%1BIN;" + "SP1;" + F("SC%d,%d,%d,%d;", 0, 600, 300, 0) + F("PW%f;", 0.4) +
           "PU2,32;" + "PD2,2;" + "PD568,2;" + "PD598,2;" + "PD598,268;" +
           "PA598,268;PD;AA568,268,90;" + "PD32,298;" + "PA32,298;PD;AA32,268,90;" + "PD2,32;" +
           "\x1b%1A";
}

TEST(Morvex, WritesTheWholeJob) {
    struct Caso {
        const char* nome;
        std::string formato;
        std::string relatorio;
        std::string esperado;
        std::string erro = "";
    };
    const std::string pagina2 = "linha 1\n\fpagina 2\n";
    const Caso casos[] = {
        {"no objects: no macro commands", "# nada\n", "linha 1\n", Prologo() + kFimPagina},
        {"full prologue; DUPLEX is a fixed object of its own",
         "PAPEL A4\nORIENTACAO PAISAGEM\nALIMENTACAO 4\nORIGEM 36 72\nDUPLEX\n", "linha 1\n",
         Prologo("\x1b&l26A", "\x1b&l1O", 4, 36, 72, 1) + kDefine20 + kFimMacro + kChama20 +
             kFimPagina + kApaga20},
        {"front only: macro 20 alone, with its rotation inside", "LINHA 1 1 3 1 2\nROTACAO 90\n",
         pagina2,
         Prologo() + kDefine20 + Regua(228, 300, 600, 2) + F("\x1b&a%dP", 90) + kFimMacro +
             Repete(kChama20 + kFimPagina, 2) + kApaga20},
        {"a variable rotation to 0 restores the orientation", "ROTACAO2 0\n", "linha 1\n",
         Prologo() + F("\x1b&a%dP", 0) + "\x1b&l0O" + kFimPagina},
        {"an image that cannot be read leaves its raster start in the macro",
         "IMAGEM 1 1 1 1 nada.bmp\n", "linha 1\n",
         Prologo() + kDefine20 + F("\x1b*p%dX", 228) + F("\x1b*p%dY", 300) +
             "\x1b*t300R\x1b*r0f1A\x1b*b0M" + kFimMacro + kChama20 + kFimPagina + kApaga20,
         "Erro na abertura do arquivo [nada.bmp]\n"},
        {"accents, centring, styles",
         "TEXTO C 1 C12 NI \"  TOTAL  \"\nTEXTO 1 2 C12 ni \"Jo\\~ao S\\'a\"\n", "linha 1\n",
         Prologo() + kDefine20 + Texto(1128, 300, 3, 1, F("\x1b(s4099t0p%dH%s", 10, "TOTAL")) +
             Texto(228, 600, 0, 0, "Jo\xE2o S\xC4") + kFimMacro + kChama20 + kFimPagina + kApaga20},
        {"turned back side",
         "TEXTO 1 1 A10 N Frente\nVERSO\nTEXTO 1 1 A10 N Verso\nRETANGA 1 1 2 1 0011 2\n"
         "ROTACAO2 0\n",
         pagina2,
         Prologo() + kDefine20 + Texto(228, 300, 3, 0, F("\x1b(s16602t1p%dV%s", 10, "Frente")) +
             kFimMacro + kDefine21 + CaixaVirada() +
             Texto(228, 144, 3, 0, F("\x1b(s16602t1p%dV%s", 10, "Verso")) + kFimMacro +
             Repete(
                 kChama20 + kViraInvertido + kChama21 + F("\x1b&a%dP", 0) + "\x1b&l0O" + kFimPagina,
                 2) +
             kApaga20 + kApaga21},
        {"normal back side", "VERSO NORMAL\nLINHA 1 1 1 2 -1\n", "linha 1\n",
         Prologo() + kDefine21 + Regua(228, 300, 1, 20) + Regua(228, 340, 1, 20) +
             Regua(228, 380, 1, 20) + Regua(228, 420, 1, 20) + Regua(228, 460, 1, 20) +
             Regua(228, 500, 1, 20) + Regua(228, 540, 1, 20) + Regua(228, 580, 1, 20) + kFimMacro +
             kViraNormal + kChama21 + kFimPagina + kApaga21},
    };
    for (const auto& c : casos) {
        DiretorioTemporario dir;
        EscreveArquivo("f.fmt", c.formato);
        EscreveArquivo("r.txt", c.relatorio);
        const Resultado r = Executa(kMorvex, {"r.txt", "f.fmt"});
        EXPECT_EQ(r.status, 0) << c.nome;
        EXPECT_EQ(r.erro, c.erro) << c.nome;
        EXPECT_EQ(r.saida, c.esperado) << c.nome;
    }
}

TEST(Morvex, BarcodesComeFromThePage) {
    struct Caso {
        const char* pagina;
        std::string desenho;
        std::string erro;
    };
    const std::string inicio =
        F("\x1b*p%dX", 228) + F("\x1b*p%dY", 300) + "\x1b*t100R\x1b*r0f1A\x1b*b0M";
    const Caso casos[] = {
        {"A resto\n",
         inicio + Repete(F("\x1b*b%dW", 6) + std::string("\x96\xd3\x52\xc9\x6d\x00", 6), 50) +
             "\x1b*rB",
         ""},
        {"\n", "", ""},
        {"a\n", "", "Codigo de barras invalido [a]\n"},
    };
    for (const auto& c : casos) {
        DiretorioTemporario dir;
        EscreveArquivo("f.fmt", "CODBAR 1 1 2 code39 0\n");
        EscreveArquivo("r.txt", c.pagina);
        const Resultado r = Executa(kMorvex, {"r.txt", "f.fmt"});
        EXPECT_EQ(r.status, 0) << c.pagina;
        EXPECT_EQ(r.erro, c.erro) << c.pagina;
        EXPECT_EQ(r.saida, Prologo() + c.desenho + kFimPagina) << c.pagina;
    }
}

}  // namespace
