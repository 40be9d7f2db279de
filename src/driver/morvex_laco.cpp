#include <cstdio>

#include "device/dispositivo.h"
#include "driver/driver.h"
#include "interp/dados.h"
#include "interp/interp.h"
#include "pcl/pcl.h"

const char* const kNomePrograma = "morvex";
const TipoJob kTipoJob = TipoJob::Impressora;

namespace {

// The back side is printed turned by 180 degrees; its positions then sit this many dots lower.
constexpr int kMargemVersoInvertido = 156;

// Ends the front side; a turned back side also turns the print direction.
void ViraLado() {
    if (tipo_verso == 'i') {
        std::fprintf(saida, "\r\f\x1b&a180P");
        direcao_pcl = 180;
        margemy = kMargemVersoInvertido;
    } else {
        std::fprintf(saida, "\r\f");
        direcao_pcl = 0;
    }
}

// One sheet: the front form macro, the front's variable items, and, when the format has a back
// side, the side turn, the back form macro and the back's variable items; then the sheet ends.
void ImprimePagina() {
    margemy = 0;
    ReiniciaFonte();
    if (TemObjsff()) std::fprintf(saida, "\x1b&f20y3X");
    ReiniciaFonte();
    if (TemObjsvf()) InterpretaVarFrente();
    ReiniciaFonte();
    if (TemObjsfv() || TemObjsvv()) ViraLado();
    if (TemObjsfv()) std::fprintf(saida, "\x1b&f21y3X");
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
    // The fixed objects go to the printer once per job, as macros 20 (front) and 21 (back).
    DefineMacros(0);
    margemy = 0;
    for (int r = PrimeiraPagina(); r == 0; r = ProximaPagina())
        ImprimePagina();
    if (TemObjsff()) std::fprintf(saida, "\x1b&f20y8X");
    if (TemObjsfv()) std::fprintf(saida, "\x1b&f21y8X");
}

// Any format serves: the program takes no options.
bool ConfereFormato() {
    return true;
}
