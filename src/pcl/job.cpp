// The job level of the PCL back-end: prologue, the form macros and the print direction.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "device/dispositivo.h"
#include "interp/interp.h"
#include "pcl/pcl.h"

int direcao_pcl = 0;

namespace {

// Dots of vertical margin on a back side printed turned by 180 degrees.
constexpr int kMargemVersoInvertido = 156;
// Dots of horizontal margin every position loses.
constexpr int kMargemHorizontal = 72;
// The registration offsets take at most this many decipoints (45 inches) either way. Given
// more, a printer may fail on the page's images and flush the rest of the job.
constexpr int kMaxRegistro = 32767;

int Registro(int decipontos) {
    return std::clamp(decipontos, -kMaxRegistro, kMaxRegistro);
}

void EscreveOrientacao() {
    if (orientacao == 'p') std::fprintf(saida, "\x1b&l0O");
    if (orientacao == 'l') std::fprintf(saida, "\x1b&l1O");
}

void MudaDirecao(int angulo) {
    rotacao0 = angulo;
    rotacao = angulo;
    direcao_pcl = angulo;
    std::fprintf(saida, "\x1b&a%dP", angulo);
    if (angulo == 0) EscreveOrientacao();
}

}  // namespace

void InicializaImp() {
    if (papel == 'c') std::fprintf(saida, "\x1b&l2A");
    if (papel == '4') std::fprintf(saida, "\x1b&l26A");
    margemx = kMargemHorizontal;
    EscreveOrientacao();
    std::fprintf(saida, "\x1b&l%dH", static_cast<int>(alimentacao));
    std::fprintf(saida, "\x1b&l0E");
    std::fprintf(saida, "\x1b&a0L");
    std::fprintf(saida, "\x1b&l%du%dZ", Registro(origx), Registro(origy));
    std::fprintf(saida, "\x1b&l%dS", duplex ? 1 : 0);
    std::fprintf(saida, "\x1b(8U");
}

namespace {

// The form macros of the copy being printed (via_atual), each side with its own shift.
void DefineMacrosDaVia(char lado) {
    if ((lado == 0 || lado == 'f') && TemObjsff()) {
        std::fprintf(saida, "\x1b&f%dy0X", MacroDaVia(kMacroFrente, via_atual));
        margemy = 0;
        direcao_pcl = 0;
        DeslocaLado('f');
        InterpretaFixFrente();
        std::fprintf(saida, "\x1b&f1x10X");
        // A macro call restores the print direction the page had before it.
        direcao_pcl = 0;
    }
    if ((lado == 0 || lado == 'v') && TemObjsfv()) {
        std::fprintf(saida, "\x1b&f%dy0X", MacroDaVia(kMacroVerso, via_atual));
        if (tipo_verso == 'i') margemy = kMargemVersoInvertido;
        ReiniciaFonte();
        // Macro 21 of a turned back side is played after the side turn's print direction 180.
        direcao_pcl = tipo_verso == 'i' ? 180 : 0;
        DeslocaLado('v');
        InterpretaFixVerso();
        std::fprintf(saida, "\x1b&f1x10X");
        direcao_pcl = 0;
    }
}

}  // namespace

void DefineMacros(char lado) {
    for (via_atual = 1; via_atual <= vias; ++via_atual)
        DefineMacrosDaVia(lado);
    via_atual = 1;
}

void TamanhoPapel(const char* nome) {
    if (nome == nullptr) return;
    if (std::strcmp(nome, "CARTA") == 0) tam_papel = 11.0f;
    if (std::strcmp(nome, "A4") == 0) tam_papel = 11.7f;
}

void Rotacao(int angulo) {
    MudaDirecao(angulo);
}

void Rotacao2(int angulo) {
    MudaDirecao(angulo);
}

// Each batch is a PCL job of its own, whole when its page loop ends.
bool EncerraExecucao(bool) {
    return true;
}
