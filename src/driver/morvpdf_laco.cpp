#include <cstdio>
#include <string>

#include "device/dispositivo.h"
#include "driver/driver.h"
#include "driver/folhas.h"
#include "interp/dados.h"
#include "interp/interp.h"
#include "pdf/pdf.h"

const char* const kNomePrograma = "morvpdf";
const char* const kOpcoesPrograma = "[-g] [-d <pasta> -n <variavel>] ";
const TipoJob kTipoJob = TipoJob::Documento;

namespace {

// One sheet: a page with the fixed front objects, the inserter marks and the front's variable
// objects, then, when the format has a back side, a page with the fixed and variable back
// objects. The sheet then goes to its document, named by the value the page captured in the
// customer's variable: a copy set, every copy in order, goes with its page.
void ImprimeFolha(const Folha& folha) {
    DeslocaLado('f');
    ComecaLado();
    DefineMacros('f');
    margemy = 0;
    DesenhaMarcas(folha);
    ReiniciaFonte();
    if (TemObjsvf()) InterpretaVarFrente();
    ReiniciaFonte();
    if (TemObjsfv() || TemObjsvv()) {
        TerminaLado();
        DeslocaLado('v');
        ComecaLado();
        DefineMacros('v');
    }
    ReiniciaFonte();
    if (TemObjsvv()) InterpretaVarVerso();
    ReiniciaFonte();
    std::string valor;
    if (!opcoes_pdf.variavel.empty()) LeVar(opcoes_pdf.variavel, valor);
    TerminaFolha(valor);
    ++paginas_impressas;
}

}  // namespace

void LacoPaginas() {
    ReiniciaFonte();
    InicializaImp();
    margemy = 0;
    // A page is begun only once the report's page is known to exist: a page begun in a PDF is
    // a page of the document.
    ImprimeFolhas(ImprimeFolha);
}

// Each customer's file is named by the variable: a batch whose format never captures it would
// put all its customers into one file, sent to one of them. Checked as each batch's format is
// loaded, so that a name no format captures stops the run before anything is written.
bool ConfereFormato() {
    const std::string& variavel = opcoes_pdf.variavel;
    if (variavel.empty() || CapturaVariavel(variavel)) return true;
    std::fprintf(stderr, "Variavel nao capturada [%s]\n", variavel.c_str());
    return false;
}
