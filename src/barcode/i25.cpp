#include "barcode/barcode.h"

int i25(std::string_view, LinhaCodigo&, Marca) {
    return -1;
}
