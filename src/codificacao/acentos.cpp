#include "codificacao/acentos.h"

#include <cstring>

namespace {

struct Acento {
    char marca;
    const char* letras;
    const unsigned char* codigos;  // Latin-1 code of each letter, in the same order
};
constexpr unsigned char kAgudos[] = {0301, 0311, 0315, 0323, 0332, 0341, 0351, 0355, 0363, 0372};
constexpr unsigned char kCircunflexos[] = {0302, 0312, 0324, 0342, 0352, 0364};
constexpr unsigned char kTils[] = {0303, 0325, 0343, 0365};
constexpr unsigned char kGraves[] = {0300, 0340};
constexpr unsigned char kCedilhas[] = {0307, 0347};
constexpr unsigned char kOrdinais[] = {0252, 0272};
constexpr Acento kAcentos[] = {
    {'\'', "AEIOUaeiou", kAgudos}, {'^', "AEOaeo", kCircunflexos}, {'~', "AOao", kTils},
    {'`', "Aa", kGraves},          {',', "Cc", kCedilhas},         {'-', "ao", kOrdinais},
};

const Acento* BuscaMarca(char marca) {
    for (const Acento& a : kAcentos)
        if (a.marca == marca) return &a;
    return nullptr;
}

}  // namespace

std::vector<LetraLatin1> ConverteAcentos(std::string_view texto) {
    std::vector<LetraLatin1> r;
    r.reserve(texto.size());
    std::size_t i = 0;
    while (i < texto.size()) {
        const char c = texto[i];
        if (c != '\\') {
            r.push_back({static_cast<unsigned char>(c), false});
            ++i;
            continue;
        }
        if (i + 1 >= texto.size()) break;
        const char marca = texto[i + 1];
        const Acento* acento = BuscaMarca(marca);
        if (acento == nullptr) {
            r.push_back({static_cast<unsigned char>(marca), false});
            i += 2;
            continue;
        }
        if (i + 2 >= texto.size()) break;
        const char letra = texto[i + 2];
        const char* achada = letra != 0 ? std::strchr(acento->letras, letra) : nullptr;
        if (achada != nullptr)
            r.push_back({acento->codigos[achada - acento->letras], true});
        else
            r.push_back({static_cast<unsigned char>(letra), false});
        i += 3;
    }
    return r;
}
