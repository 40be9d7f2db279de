#include "barcode/barcode.h"

int code128c(std::string_view, LinhaCodigo&, Marca) {
    return -1;
}
