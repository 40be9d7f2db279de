#include <cstdio>

#include "device/dispositivo.h"
#include "driver/driver.h"
#include "driver/folhas.h"
#include "interp/dados.h"
#include "interp/interp.h"

const char* const kNomePrograma = "morvel";
const char* const kOpcoesPrograma = "";
const TipoJob kTipoJob = TipoJob::Impressora;

namespace {

// One sheet: its copy's tray when it changes, the fixed front objects, the inserter marks and
// the front's variable items, then, when the format has a back side, a new page with the fixed
// back objects and the back's variable items; then the page ends.
void ImprimeFolha(const Folha& folha) {
    // A tray the page device cannot take (ALIMENTACAO keeps the low byte of its number) would
    // flush the job: the printer keeps the one it has, as in the prologue.
    if (folha.bandeja && *folha.bandeja >= 0)
        std::fprintf(saida, "<< /MediaPosition %d >> setpagedevice\n", *folha.bandeja);
    DeslocaLado('f');
    DefineMacros('f');
    margemy = 0;
    DesenhaMarcas(folha);
    ReiniciaFonte();
    if (TemObjsvf()) InterpretaVarFrente();
    ReiniciaFonte();
    if (TemObjsfv() || TemObjsvv()) {
        std::fprintf(saida, "showpage\n");
        DeslocaLado('v');
        DefineMacros('v');
    }
    ReiniciaFonte();
    if (TemObjsvv()) InterpretaVarVerso();
    ReiniciaFonte();
    std::fprintf(saida, "showpage\n");
    ++paginas_impressas;
}

}  // namespace

void LacoPaginas() {
    ReiniciaFonte();
    InicializaImp();
    margemy = 0;
    // The fixed front objects are drawn afresh on every page, once the page is known to exist:
    // the job ends with the last page's showpage, not with a form that is never shown.
    ImprimeFolhas(ImprimeFolha);
}

// Any format serves: the program takes no options.
bool ConfereFormato() {
    return true;
}
