// The PDF job: the page of each batch, the fixed objects of every page, paper size, rotation and
// the coordinate rule.
#include <algorithm>
#include <string_view>

#include "device/dispositivo.h"
#include "interp/interp.h"
#include "pdf/clientes.h"
#include "pdf/fontes.h"
#include "pdf/pdf.h"
#include "util/numeros.h"

OpcoesPDF opcoes_pdf;

namespace {

// A turned back side is printed 156 dots lower (kept for the contract; nothing here reads it).
constexpr int kMargemVersoInvertido = 156;
constexpr int kMargemX = 72;

}  // namespace

// Tray and duplex have no meaning in a file: a batch only sets the size of its pages, which
// each side takes when it starts.
void InicializaImp() {
    margemx = kMargemX;
    EsqueceFormas();
    // Without the fonts no text could be drawn as the form has it: nothing is written, not even
    // a folder's index.
    if (!CarregaFontes()) {
        FalhaExecucao();
        return;
    }
    if (!opcoes_pdf.pasta.empty()) ComecaLoteClientes();
}

void DefineMacros(char lado) {
    if ((lado == 0 || lado == 'f') && TemObjsff()) {
        margemy = 0;
        DesenhaForma('f', InterpretaFixFrente);
    }
    if ((lado == 0 || lado == 'v') && TemObjsfv()) {
        if (tipo_verso == 'i') margemy = kMargemVersoInvertido;
        ReiniciaFonte();
        DesenhaForma('v', InterpretaFixVerso);
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
