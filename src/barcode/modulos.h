#pragma once
// Packs the modules of one symbol into a caller's row, eight to a byte, first module in the
// most significant bit; the bit is set only for the module kind the printer language marks.
#include <string_view>

#include "barcode/barcode.h"

// True when every character is a decimal digit (locale-independent).
inline bool SoDigitos(std::string_view texto) {
    for (char c : texto)
        if (c < '0' || c > '9') return false;
    return true;
}

class Modulos {
  public:
    // Clears the row: every encoding starts from an empty row, and bits after the last module
    // must stay 0 for both printer languages.
    Modulos(LinhaCodigo& linha, Marca marca);

    // One module: '1' is a bar, anything else a space.
    void PoeBit(char modulo);
    // A text of module characters, first to last.
    void PoeSeq(std::string_view modulos);
    // Element widths as digit characters, alternately bar and space starting with a bar.
    void PoeLarguras(std::string_view larguras);

    int total() const { return total_; }

  private:
    LinhaCodigo& linha_;
    Marca marca_;
    int total_ = 0;  // modules appended so far
};
