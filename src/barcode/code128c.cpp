#include <array>

#include "barcode/barcode.h"
#include "barcode/modulos.h"

namespace {

// Symbol patterns by value: widths of bar, space, bar, space, bar, space in modules.
constexpr std::array<std::string_view, 103> tab128 = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131",
};

constexpr std::string_view kInicioC = "11010011100";  // start in character set C (value 105)
constexpr std::string_view kFim = "1100011101011";    // stop with its final bar
constexpr int kValorInicioC = 105;
constexpr int kValorCodigoB = 100;  // switch to character set B for a last, unpaired digit
constexpr int kDigitoEmB = 16;      // set B value of the digit 0
constexpr int kModulo = 103;        // the check value is the weighted sum modulo this
// Digits accepted: the size of the working copy of the text less its terminating zero.
constexpr std::size_t kMaxDigitos = 254;

}  // namespace

int code128c(std::string_view texto, LinhaCodigo& linha, Marca marca) {
    Modulos row(linha, marca);
    if (!SoDigitos(texto) || texto.size() > kMaxDigitos) return -1;

    int soma = kValorInicioC;
    int peso = 1;
    auto simbolo = [&](int valor) {
        soma += valor * peso++;
        row.PoeLarguras(tab128[static_cast<std::size_t>(valor)]);
    };

    row.PoeSeq(kInicioC);
    std::size_t p = 0;
    for (; p + 1 < texto.size(); p += 2)
        simbolo((texto[p] - '0') * 10 + (texto[p + 1] - '0'));
    if (p < texto.size()) {
        // Dropping an unpaired digit would lose data: it is sent alone in set B.
        simbolo(kValorCodigoB);
        simbolo(kDigitoEmB + (texto[p] - '0'));
    }
    row.PoeLarguras(tab128[static_cast<std::size_t>(soma % kModulo)]);
    row.PoeSeq(kFim);
    return row.total();
}
