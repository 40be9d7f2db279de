#include "codificacao/utf8.h"

#include <algorithm>

namespace {

// The longest well-formed sequence.
constexpr std::size_t kMaximoSequencia = 4;
// Bytes below this are ASCII characters of their own, never part of a longer sequence.
constexpr unsigned char kPrimeiroNaoAscii = 0x80;

bool Continuacao(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

}  // namespace

// The well-formed sequences by their first byte, as the encoding defines them: the first
// continuation byte is narrowed after E0 (no overlong form), ED (no surrogate), F0 (no
// overlong form) and F4 (nothing past U+10FFFF); C0, C1 and F5 to FF never start one.
bool ValidadorUTF8::Passo(unsigned char byte) {
    if (faltam_ > 0) {
        if (byte < minimo_ || byte > maximo_) return false;
        --faltam_;
        minimo_ = kMinimoContinuacao;
        maximo_ = kMaximoContinuacao;
        return true;
    }
    if (byte < kPrimeiroNaoAscii) return true;
    if (byte >= 0xC2 && byte <= 0xDF) {
        faltam_ = 1;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
        faltam_ = 2;
        if (byte == 0xE0) minimo_ = 0xA0;
        if (byte == 0xED) maximo_ = 0x9F;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
        faltam_ = 3;
        if (byte == 0xF0) minimo_ = 0x90;
        if (byte == 0xF4) maximo_ = 0x8F;
    } else {
        return false;
    }
    return true;
}

std::size_t TamanhoSequencia(std::string_view texto, std::size_t i) {
    ValidadorUTF8 validador;
    for (std::size_t j = i; j < texto.size() && j < i + kMaximoSequencia; ++j) {
        if (!validador.Passo(static_cast<unsigned char>(texto[j]))) return 0;
        if (validador.Completo()) return j - i + 1;
    }
    return 0;
}

std::size_t TamanhoCaractere(std::string_view texto, std::size_t i) {
    if (static_cast<unsigned char>(texto[i]) < kPrimeiroNaoAscii) return 1;
    return std::max<std::size_t>(TamanhoSequencia(texto, i), 1);
}

std::size_t ContaCaracteresUTF8(std::string_view texto) {
    std::size_t caracteres = 0;
    for (std::size_t i = 0; i < texto.size(); i += TamanhoCaractere(texto, i))
        ++caracteres;
    return caracteres;
}

std::size_t BytesDosCaracteres(std::string_view texto, std::size_t n) {
    std::size_t i = 0;
    for (; n > 0 && i < texto.size(); --n)
        i += TamanhoCaractere(texto, i);
    return i;
}

std::size_t SequenciaAberta(std::string_view texto) {
    // The last byte that is not a continuation byte: a sequence has at most three of those.
    std::size_t inicio = texto.size();
    while (inicio > 0 && texto.size() - inicio < kMaximoSequencia - 1 &&
           Continuacao(static_cast<unsigned char>(texto[inicio - 1])))
        --inicio;
    if (inicio == 0) return 0;
    --inicio;
    ValidadorUTF8 validador;
    for (std::size_t j = inicio; j < texto.size(); ++j)
        if (!validador.Passo(static_cast<unsigned char>(texto[j]))) return 0;
    return validador.Completo() ? 0 : texto.size() - inicio;
}

std::size_t Continuacoes(std::string_view texto) {
    return static_cast<std::size_t>(std::count_if(texto.begin(), texto.end(), [](char c) {
        return Continuacao(static_cast<unsigned char>(c));
    }));
}

bool SoAscii(std::string_view texto) {
    // One pass over every byte, with no early exit, which the compiler vectorises.
    unsigned char todos = 0;
    for (const char c : texto)
        todos |= static_cast<unsigned char>(c);
    return todos < kPrimeiroNaoAscii;
}

char32_t CodigoUTF8(std::string_view s) {
    const auto b = [&s](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(s[i]));
    };
    switch (s.size()) {
        case 1:
            return b(0);
        case 2:
            return (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
        case 3:
            return (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
        default:
            return (b(0) & 0x07) << 18 | (b(1) & 0x3F) << 12 | (b(2) & 0x3F) << 6 | (b(3) & 0x3F);
    }
}
