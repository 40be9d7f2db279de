#pragma once
// Matrix codes on the page (CODMATRIZ, CODMATRIZ2): a text becomes a symbol sized to its side
// and is drawn by the back-end, or is refused with the barcode message.
#include <string>
#include <string_view>

// The text as the report gives it (trailing blanks are dropped, inner ones kept); an empty one
// prints nothing. `tipo` is the type word of the format; `lado` the most the symbol may take.
void ImprimeCodMatriz(float x, float y, float lado, std::string_view tipo, std::string texto);
