#include <cstdio>

#include "device/dispositivo.h"
#include "driver/driver.h"
#include "driver/folhas.h"
#include "interp/dados.h"
#include "interp/interp.h"
#include "pcl/pcl.h"

const char* const kNomePrograma = "morvex";
const char* const kOpcoesPrograma = "";
const TipoJob kTipoJob = TipoJob::Impressora;

namespace {

// The back side is printed turned by 180 degrees; its positions then sit this many dots lower.
constexpr int kMargemVersoInvertido = 156;

// Ends the front side; a turned back side also turns the print direction.
void ViraLado() {
    if (tipo_verso == 'i') {
        std::fprintf(saida, "\r\f");
        DeslocaLado('v');
        AncoraPadroes(true);
        std::fprintf(saida, "\x1b&a180P");
        direcao_pcl = 180;
        margemy = kMargemVersoInvertido;
    } else {
        std::fprintf(saida, "\r\f");
        direcao_pcl = 0;
        DeslocaLado('v');
        AncoraPadroes();
    }
}

// One sheet: its copy's tray when it changes, the front form macro, the inserter marks, the
// front's variable items, and, when the format has a back side, the side turn, the back form
// macro and the back's variable items; then the sheet ends.
void ImprimeFolha(const Folha& folha) {
    margemy = 0;
    DeslocaLado('f');
    AncoraPadroes();
    if (folha.bandeja) std::fprintf(saida, "\x1b&l%dH", *folha.bandeja);
    ReiniciaFonte();
    if (TemObjsff()) std::fprintf(saida, "\x1b&f%dy3X", MacroDaVia(kMacroFrente, folha.via));
    // After the macro call the print direction is 0 again: the column stands upright.
    DesenhaMarcas(folha);
    ReiniciaFonte();
    if (TemObjsvf()) InterpretaVarFrente();
    ReiniciaFonte();
    if (TemObjsfv() || TemObjsvv()) ViraLado();
    if (TemObjsfv()) std::fprintf(saida, "\x1b&f%dy3X", MacroDaVia(kMacroVerso, folha.via));
    ReiniciaFonte();
    if (TemObjsvv()) InterpretaVarVerso();
    ReiniciaFonte();
    std::fprintf(saida, "\r\f\x1b&a0P");
    direcao_pcl = 0;
    ++paginas_impressas;
}

}  // namespace

void LacoPaginas() {
    ReiniciaFonte();
    InicializaImp();
    // The fixed objects go to the printer once per job, as macros 20 (front) and 21 (back), a
    // pair more for each further copy.
    DefineMacros(0);
    margemy = 0;
    ImprimeFolhas(ImprimeFolha);
    for (int via = 1; via <= vias; ++via) {
        if (TemObjsff()) std::fprintf(saida, "\x1b&f%dy8X", MacroDaVia(kMacroFrente, via));
        if (TemObjsfv()) std::fprintf(saida, "\x1b&f%dy8X", MacroDaVia(kMacroVerso, via));
    }
}

// Any format serves: the program takes no options.
bool ConfereFormato() {
    return true;
}
