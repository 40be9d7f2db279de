#include <algorithm>
#include <cstdio>
#include <string>

#include "barcode/barcode.h"

namespace {

// Modules the row can hold.
constexpr int kMaxModulos = static_cast<int>(kLinhaCodigo) * 8;

}  // namespace

int CodificaCodBar(std::string_view tipo, std::string_view texto, LinhaCodigo& linha, Marca marca) {
    int modulos;
    if (tipo == "i25")
        modulos = i25(texto, linha, marca);
    else if (tipo == "code128c")
        modulos = code128c(texto, linha, marca);
    else
        modulos = code39(texto, linha, marca);
    if (modulos < 0) {
        std::fprintf(stderr, "Codigo de barras invalido [%s]\n", std::string(texto).c_str());
        return -1;
    }
    return std::min(modulos, kMaxModulos);
}
