#include "interp/codmatriz.h"

#include <algorithm>
#include <cstdio>

#include "barcode/matriz.h"
#include "codificacao/codificacao.h"
#include "codificacao/utf8.h"
#include "device/dispositivo.h"
#include "util/texto.h"

namespace {

// The same message as a barcode the symbology cannot draw; the job goes on without it.
void CodigoInvalido(const std::string& texto) {
    std::fprintf(stderr, "Codigo de barras invalido [%s]\n", texto.c_str());
}

// A text with letters beyond ASCII in a job that declared UTF-8 says so in the symbol: readers
// otherwise take its bytes as Latin-1, the symbols' default. Plain ASCII (every payment and
// invoice payload) carries no designator.
bool DeclaraUtf8(std::string_view texto) {
    return codificacao == Codificacao::utf8 && !SoAscii(texto);
}

}  // namespace

void ImprimeCodMatriz(float x, float y, float lado, std::string_view tipo, std::string texto) {
    // A text of the page ends at a NUL byte, like every other.
    texto.resize(std::min(texto.size(), texto.find('\0')));
    rtrim(texto);
    const std::optional<TipoMatriz> tipo_matriz = TipoMatrizDe(tipo);
    if (texto.empty() || !tipo_matriz) return;
    std::optional<SimboloMatriz> simbolo = CodificaMatriz(*tipo_matriz, texto, DeclaraUtf8(texto));
    if (simbolo) simbolo->modulo = ModuloMatriz(lado, std::max(simbolo->largura, simbolo->altura));
    if (!simbolo || simbolo->modulo < 1) {
        CodigoInvalido(texto);
        return;
    }
    DesenhaCodMatriz(x, y, *simbolo);
}
