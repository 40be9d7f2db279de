// Barcode encoders: any text through the three encoders in both bit senses. An accepted text
// gives the module count of its symbology, rows that are each other's complement module for
// module, and zero bits after the last module; a refused one leaves both rows cleared.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "barcode/barcode.h"
#include "comum.h"

namespace {

// A symbol must leave at least one zero byte in the row after its last module.
constexpr int kMaxModulos = 2040;

bool SoDigitos(std::string_view t) {
    for (char c : t)
        if (c < '0' || c > '9') return false;
    return true;
}

bool Code39Aceita(std::string_view t) {
    constexpr std::string_view alfabeto = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ*-.$/+%";
    for (char c : t)
        if (alfabeto.find(c) == std::string_view::npos) return false;
    return t.size() <= 143;
}

// The module count each symbology gives a text it accepts, or -1 for a text it refuses.
int EsperadoI25(std::string_view t) {
    const std::size_t n = t.size() + t.size() % 2;  // an odd count gets a leading zero
    return SoDigitos(t) && n <= 224 ? static_cast<int>(9 * n + 9) : -1;
}

int EsperadoCode128c(std::string_view t) {
    if (!SoDigitos(t) || t.size() > 254) return -1;
    // Start, pairs, a last odd digit as two symbols (switch to set B and the digit), check, stop.
    return static_cast<int>(11 + 11 * (t.size() / 2) + 22 * (t.size() % 2) + 11 + 13);
}

int EsperadoCode39(std::string_view t) {
    return Code39Aceita(t) ? static_cast<int>(14 * (t.size() + 2)) : -1;
}

bool Bit(const LinhaCodigo& linha, int k) {
    return (linha[static_cast<std::size_t>(k / 8)] & (0x80u >> (k % 8))) != 0;
}

using Encoder = int (*)(std::string_view, LinhaCodigo&, Marca);

void Confere(Encoder encoder, std::string_view texto, int esperado, std::string_view inicio) {
    LinhaCodigo barras, espacos;
    barras.fill(0xAA);  // whatever the last symbol left
    espacos.fill(0x55);
    const int nb = encoder(texto, barras, Marca::Barras);
    const int ne = encoder(texto, espacos, Marca::Espacos);
    fuzz::Exige(nb == esperado && ne == esperado, "wrong module count or acceptance");
    const int total = nb < 0 ? 0 : nb;
    fuzz::Exige(total <= kMaxModulos, "the symbol leaves no zero byte in the row");
    for (int k = 0; k < static_cast<int>(kLinhaCodigo) * 8; ++k) {
        if (k >= total) {
            fuzz::Exige(!Bit(barras, k) && !Bit(espacos, k), "a bit after the last module is set");
        } else {
            fuzz::Exige(Bit(barras, k) != Bit(espacos, k), "the two senses are not complements");
        }
    }
    if (nb < 0) return;
    for (std::size_t k = 0; k < inicio.size(); ++k)
        fuzz::Exige(Bit(barras, static_cast<int>(k)) == (inicio[k] == '1'), "wrong start pattern");
    fuzz::Exige(Bit(barras, 0), "a symbol does not start with a bar");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const std::string_view texto(reinterpret_cast<const char*>(dados), tamanho);
    Confere(i25, texto, EsperadoI25(texto), "1010");
    Confere(code128c, texto, EsperadoCode128c(texto), "11010011100");
    // The star character, with its gap.
    Confere(code39, texto, EsperadoCode39(texto), "10010110110100");
    return 0;
}
