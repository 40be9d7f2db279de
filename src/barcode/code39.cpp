#include <array>

#include "barcode/barcode.h"
#include "barcode/modulos.h"

namespace {

// The characters this encoder accepts; the star is the start and stop character.
constexpr std::string_view s39 = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ*-.$/+%";

// Patterns in the order of s39: bar, space, ... bar; n narrow (1 module), w wide (2 modules).
constexpr std::array<std::string_view, 43> tab39 = {
    "nnnwwnwnn", "wnnwnnnnw", "nnwwnnnnw", "wnwwnnnnn", "nnnwwnnnw", "wnnwwnnnn",  // 0-5
    "nnwwwnnnn", "nnnwnnwnw", "wnnwnnwnn", "nnwwnnwnn",                            // 6-9
    "wnnnnwnnw", "nnwnnwnnw", "wnwnnwnnn", "nnnnwwnnw", "wnnnwwnnn", "nnwnwwnnn",  // A-F
    "nnnnnwwnw", "wnnnnwwnn", "nnwnnwwnn", "nnnnwwwnn", "wnnnnnnww", "nnwnnnnww",  // G-L
    "wnwnnnnwn", "nnnnwnnww", "wnnnwnnwn", "nnwnwnnwn", "nnnnnnwww", "wnnnnnwwn",  // M-R
    "nnwnnnwwn", "nnnnwnwwn", "wwnnnnnnw", "nwwnnnnnw", "wwwnnnnnn", "nwnnwnnnw",  // S-X
    "wwnnwnnnn", "nwwnwnnnn",                                                      // Y-Z
    "nwnnwnwnn",                                                                   // *
    "nwnnnnwnw", "wwnnnnwnn", "nwnwnwnnn", "nwnwnnnwn", "nwnnnwnwn", "nnnwnwnwn",  // - . $ / + %
};
static_assert(s39.size() == tab39.size());

// Characters between the stars: 14 modules each, plus the two stars, fit in the row.
constexpr std::size_t kMaxCaracteres = 143;

void PoeCaractere(Modulos& row, std::string_view padrao) {
    char tipo = '1';
    for (char elemento : padrao) {
        row.PoeBit(tipo);
        if (elemento == 'w') row.PoeBit(tipo);
        tipo = tipo == '1' ? '0' : '1';
    }
    row.PoeSeq("00");  // gap between characters, also after the closing star
}

}  // namespace

int code39(std::string_view texto, LinhaCodigo& linha, Marca marca) {
    Modulos row(linha, marca);
    if (texto.size() > kMaxCaracteres) return -1;
    for (char c : texto)
        if (s39.find(c) == std::string_view::npos) return -1;

    const std::string_view estrela = tab39[s39.find('*')];
    PoeCaractere(row, estrela);
    for (char c : texto)
        PoeCaractere(row, tab39[s39.find(c)]);
    PoeCaractere(row, estrela);
    return row.total();
}
