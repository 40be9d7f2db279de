#include <array>
#include <string>

#include "barcode/barcode.h"
#include "barcode/modulos.h"

namespace {

// Element widths of each digit (narrow 1, wide 3), indexed by the digit value.
constexpr std::array<std::string_view, 10> tab25 = {
    "11331", "31113", "13113", "33111", "11313", "31311", "13311", "11133", "31131", "13131",
};

// Digits after the leading zero is added: 9 modules each plus 9 fit in the row with room to spare.
constexpr std::size_t kMaxDigitos = 224;

}  // namespace

int i25(std::string_view texto, LinhaCodigo& linha, Marca marca) {
    Modulos row(linha, marca);
    // Digits go in pairs: an odd count gets a leading zero, which does not change the value.
    std::string digitos = texto.size() % 2 != 0 ? "0" : "";
    digitos.append(texto);
    if (!SoDigitos(digitos) || digitos.size() > kMaxDigitos) return -1;

    row.PoeSeq("1010");
    for (std::size_t p = 0; p < digitos.size(); p += 2) {
        // The first digit of a pair is carried by the bars, the second by the spaces.
        const std::string_view barras = tab25[static_cast<std::size_t>(digitos[p] - '0')];
        const std::string_view espacos = tab25[static_cast<std::size_t>(digitos[p + 1] - '0')];
        for (std::size_t i = 0; i < 5; ++i) {
            const char par[] = {barras[i], espacos[i]};
            row.PoeLarguras(std::string_view(par, 2));
        }
    }
    row.PoeSeq("11101");
    return row.total();
}
