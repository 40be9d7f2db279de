#pragma once
// How a format line divides into words, in one place: the loader files the words it finds, and
// a host that rewrites one word of a line (the studio moving an object) finds the very same
// words, never a reading of its own that could drift from the loader's.
#include <cstddef>
#include <string_view>

// Words end at these, and the separators between words are skipped.
constexpr bool SeparadorPalavras(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A quoted word ends at its closing quote, or at a tab or a line end.
constexpr bool FimPalavraAspas(char c) {
    return c == '"' || c == '\t' || c == '\r' || c == '\n';
}

// Calls `palavra(inicio, tamanho, citada)` for each word of the line in turn, its bytes being
// texto.substr(inicio, tamanho), `citada` when it was opened by a quote. A word after the first may be quoted: when the first character
// after the separators that follow a word is a double quote, the word runs from after it to the
// next quote, tab or line end (neither quote is part of it), so it may hold blanks and may be
// empty. A last word without a separator after it is a word like any other.
template <typename F>
void PercorrePalavras(std::string_view texto, F palavra) {
    std::size_t i = 0;
    const std::size_t fim = texto.size();
    while (i < fim && SeparadorPalavras(texto[i]))
        ++i;
    bool aspas = false;
    while (i < fim) {
        std::size_t j = i;
        while (j < fim && !(aspas ? FimPalavraAspas(texto[j]) : SeparadorPalavras(texto[j])))
            ++j;
        palavra(i, j - i, aspas);
        if (j == fim) break;
        aspas = false;
        i = j + 1;
        while (i < fim && SeparadorPalavras(texto[i]))
            ++i;
        if (i < fim && texto[i] == '"') {
            aspas = true;
            ++i;
        }
    }
}
