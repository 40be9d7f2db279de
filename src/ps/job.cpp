// The PostScript job: prologue with the page device and the Latin-1 fonts, the fixed objects of
// every page, paper size, rotation and the coordinate rule.
#include <algorithm>
#include <cstdio>
#include <string_view>

#include "device/dispositivo.h"
#include "interp/interp.h"
#include "ps/ps.h"
#include "util/numeros.h"

namespace {

// The page device keeps the last /Orientation it was given, also across the jobs of later
// batches in the same stream; a portrait batch after a landscape one must set it back.
bool paisagem_no_dispositivo = false;

// A turned back side is printed 156 dots lower (kept for the contract; nothing here reads it).
constexpr int kMargemVersoInvertido = 156;
constexpr int kMargemX = 72;

struct FontePS {
    const char* impressora;
    const char* nome;
};
// Order of definition in the prologue.
constexpr FontePS kFontes[] = {
    {"Arial", "ArialLatina"},
    {"Arial-Bold", "ArialBoldLatina"},
    {"Arial-Italic", "ArialItalicLatina"},
    {"Courier", "CourierLatina"},
    {"Courier-Bold", "CourierBoldLatina"},
    {"Courier-Italic", "CourierItalicLatina"},
};

void EscreveTamanho(bool carta, bool paisagem) {
    const int largura = carta ? kCartaLargura : kA4Largura;
    const int altura = carta ? kCartaAltura : kA4Altura;
    if (paisagem) {
        std::fprintf(saida, "/PageSize [%d %d]\n", altura, largura);
        std::fputs("/Orientation 3\n", saida);
        paisagem_no_dispositivo = true;
    } else {
        std::fprintf(saida, "/PageSize [%d %d]\n", largura, altura);
        if (paisagem_no_dispositivo) std::fputs("/Orientation 0\n", saida);
        paisagem_no_dispositivo = false;
    }
}

void EscreveDispositivo() {
    std::fputs("<<\n", saida);
    std::fprintf(saida, "/Duplex %s\n", duplex ? "true" : "false");
    if (duplex) std::fprintf(saida, "/Tumble %s\n", tipo_verso == 'i' ? "true" : "false");
    std::fputs("/PageOffset [0 0]\n", saida);
    std::fputs("/Margins [0 0]\n", saida);
    EscreveTamanho(tam_papel == kAlturaCarta, orientacao == 'l');
    std::fputs("/ImagingBBox null\n", saida);
    // A negative tray (ALIMENTACAO keeps the low byte of its number) is a range error in the
    // page device that would flush the whole job: the printer keeps its own tray instead.
    if (alimentacao >= 0) std::fprintf(saida, "/MediaPosition %d\n", alimentacao);
    std::fputs(">> setpagedevice\n", saida);
}

void DefineFontes() {
    for (const FontePS& f : kFontes) {
        std::fprintf(saida, "/%s findfont dup length dict\n", f.impressora);
        std::fputs("begin\n", saida);
        std::fputs("{1 index /FID ne {def} {pop pop} ifelse} forall\n", saida);
        // ISOLatin1Encoding puts /minus at code 45: the report's hyphens ("13010-000") would print
        // as wide minus signs and drop out of any search of the printed text.
        std::fputs("/Encoding ISOLatin1Encoding 256 array copy dup 45 /hyphen put def\n", saida);
        std::fputs("currentdict\n", saida);
        std::fputs("end\n", saida);
        std::fprintf(saida, "/%s exch definefont pop\n", f.nome);
    }
}

}  // namespace

void ReiniciaDispositivoPS() {
    paisagem_no_dispositivo = false;
    EsqueceImagensPS();
}

void InicializaImp() {
    std::fprintf(saida, "%%!\n");
    std::fprintf(saida, "%%%%BeginPageSetup\n");
    EscreveDispositivo();
    std::fprintf(saida, "%%%%EndPageSetup\n");
    DefineFontes();
    margemx = kMargemX;
}

void DefineMacros(char lado) {
    if ((lado == 0 || lado == 'f') && TemObjsff()) {
        margemy = 0;
        InterpretaFixFrente();
    }
    if ((lado == 0 || lado == 'v') && TemObjsfv()) {
        if (tipo_verso == 'i') margemy = kMargemVersoInvertido;
        ReiniciaFonte();
        InterpretaFixVerso();
    }
}

void TamanhoPapel(const char* nome) {
    if (nome == nullptr) return;
    const std::string_view n(nome);
    if (n == "CARTA") tam_papel = kAlturaCarta;
    if (n == "A4") tam_papel = kAlturaA4;
}

void Rotacao(int angulo) {
    rotacao0 = angulo;
    rotacao = angulo;
}

void Rotacao2(int angulo) {
    Rotacao(angulo);
}

// Each batch is a PostScript job of its own, whole when its page loop ends; the pictures'
// drawings are kept for the run only.
bool EncerraExecucao(bool) {
    EsqueceImagensPS();
    return true;
}
