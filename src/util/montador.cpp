#include "util/montador.h"

#include <charconv>

// Out of line: inlined into long runs of appends, GCC 12 warns of overlapping copies that
// cannot happen (-Wrestrict).
Montador& Montador::operator<<(long long numero) {
    char digitos[24];  // a long long takes at most 20 characters with its sign
    const char* fim = std::to_chars(digitos, digitos + sizeof digitos, numero).ptr;
    texto_.append(digitos, static_cast<std::size_t>(fim - digitos));
    return *this;
}
