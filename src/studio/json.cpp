#include "studio/json.h"

#include <cmath>
#include <cstdio>

#include "codificacao/utf8.h"

namespace {

// The replacement character, for a byte of a UTF-8 text that belongs to no character.
constexpr std::string_view kSubstituto = "\xEF\xBF\xBD";
constexpr unsigned kPrimeiroVisivel = 0x20;
constexpr unsigned kApagar = 0x7F;

void Escapa(std::string& r, unsigned char c) {
    switch (c) {
        case '"': r += "\\\""; return;
        case '\\': r += "\\\\"; return;
        case '\n': r += "\\n"; return;
        case '\r': r += "\\r"; return;
        case '\t': r += "\\t"; return;
        default: break;
    }
    if (c < kPrimeiroVisivel || c == kApagar) {
        char codigo[8];
        std::snprintf(codigo, sizeof codigo, "\\u%04x", c);
        r += codigo;
        return;
    }
    r += static_cast<char>(c);
}

// A Latin-1 code (also its code point) in UTF-8.
void PoeLatin1(std::string& r, unsigned char c) {
    r += static_cast<char>(0xC0 | (c >> 6));
    r += static_cast<char>(0x80 | (c & 0x3F));
}

constexpr char kAlfabeto[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::string TextoJson(std::string_view bytes, Conjunto conjunto) {
    std::string r;
    r.reserve(bytes.size() + bytes.size() / 8 + 2);
    r += '"';
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            Escapa(r, c);
            ++i;
        } else if (conjunto == Conjunto::latin1) {
            PoeLatin1(r, c);
            ++i;
        } else if (const std::size_t n = TamanhoSequencia(bytes, i); n > 0) {
            r.append(bytes.substr(i, n));
            i += n;
        } else {
            r += kSubstituto;
            ++i;
        }
    }
    r += '"';
    return r;
}

std::string NumeroJson(double valor, int decimais) {
    if (!std::isfinite(valor)) valor = 0;
    char numero[64];
    std::snprintf(numero, sizeof numero, "%.*f", decimais, valor);
    return numero;
}

std::string Base64(std::string_view bytes) {
    std::string r;
    r.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        for (const int desloca : {18, 12, 6, 0})
            r += kAlfabeto[(v >> desloca) & 0x3F];
    }
    if (const std::size_t resto = bytes.size() - i; resto > 0) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (resto == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        r += kAlfabeto[(v >> 18) & 0x3F];
        r += kAlfabeto[(v >> 12) & 0x3F];
        r += resto == 2 ? kAlfabeto[(v >> 6) & 0x3F] : '=';
        r += '=';
    }
    return r;
}
