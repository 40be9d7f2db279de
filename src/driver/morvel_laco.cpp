#include <cstdio>

#include "device/dispositivo.h"
#include "driver/driver.h"
#include "interp/dados.h"
#include "interp/interp.h"

const char* const kNomePrograma = "morvel";
const TipoJob kTipoJob = TipoJob::Impressora;

namespace {

// The fixed front objects and the variable front items, then, when the format has a back side,
// a new page with the fixed back objects and the back's variable items; then the page ends.
void ImprimePagina() {
    DefineMacros('f');
    margemy = 0;
    ReiniciaFonte();
    if (TemObjsvf()) InterpretaVarFrente();
    ReiniciaFonte();
    if (TemObjsfv() || TemObjsvv()) {
        std::fprintf(saida, "showpage\n");
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
    for (bool primeira = true;; primeira = false) {
        if ((primeira ? PrimeiraPagina() : ProximaPagina()) != 0) break;
        ImprimePagina();
    }
}

// Any format serves: the program takes no options.
bool ConfereFormato() {
    return true;
}
