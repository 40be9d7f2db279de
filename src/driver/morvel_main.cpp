#include <cstdio>

#include "device/dispositivo.h"
#include "driver/driver.h"
#include "interp/dados.h"
#include "interp/interp.h"

const char* const kNomePrograma = "morvel";

namespace {

// The variable front items, then, when the format has a back side, a new page with the fixed
// back objects and the back's variable items; then the page ends. The fixed front objects are
// already on the page.
void ImprimePagina() {
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
}

}  // namespace

void LacoPaginas() {
    ReiniciaFonte();
    InicializaImp();
    margemy = 0;
    // The fixed front objects are drawn afresh on every page, before the page is fetched; the
    // round that finds no further page has drawn them once more and ends without a showpage.
    for (bool primeira = true;; primeira = false) {
        DefineMacros('f');
        if ((primeira ? PrimeiraPagina() : ProximaPagina()) != 0) break;
        ImprimePagina();
    }
}

int main(int argc, char** argv) {
    return Principal(argc, argv);
}
