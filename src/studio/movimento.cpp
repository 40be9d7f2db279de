#include "studio/movimento.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "interp/palavras.h"
#include "util/numeros.h"

namespace {

// The words that place each command's object, counted from 1 after the command word: pairs of
// x and y. Texts take "C" for their x to be centred.
struct Posicoes {
    std::string_view comando;
    std::vector<std::size_t> pares;  // x of each pair; its y follows
    bool x_centravel;
};

const Posicoes kPosicoes[] = {
    {"TEXTO", {1}, true},       {"INPUT", {1}, true},       {"MOSTRA", {1}, true},
    {"LINHA", {1, 3}, false},   {"RETANG", {1}, false},     {"RETANGA", {1}, false},
    {"IMAGEM", {1}, false},     {"CODBAR", {1}, false},     {"CODBAR2", {1}, false},
    {"CODMATRIZ", {1}, false},  {"CODMATRIZ2", {1}, false}, {"MD5", {1}, false},
    {"MD5V", {1}, false},
};

// Positions are written with two decimals, as a designer writes them.
constexpr int kDecimais = 2;
// Anything nearer to zero than half the last decimal is written 0.00, never -0.00.
constexpr double kMeioCentesimo = 0.005;

struct Palavra {
    std::size_t inicio, tamanho;
};

// The word's value as the executor reads it, moved, with two decimals.
std::string Movida(std::string_view palavra, double delta) {
    double valor = static_cast<double>(LeCoordenada(palavra)) + delta;
    if (std::fabs(valor) < kMeioCentesimo) valor = 0;
    char numero[64];
    std::snprintf(numero, sizeof numero, "%.*f", kDecimais, valor);
    return numero;
}

}  // namespace

std::optional<std::string_view> LinhaDoTexto(std::string_view texto, int numero) {
    if (numero < 1) return std::nullopt;
    std::size_t inicio = 0;
    for (int n = 1; n < numero; ++n) {
        const std::size_t fim = texto.find('\n', inicio);
        if (fim == std::string_view::npos) return std::nullopt;
        inicio = fim + 1;
    }
    if (inicio == texto.size() && numero > 1) return std::nullopt;
    return texto.substr(inicio, texto.find('\n', inicio) - inicio);
}

std::optional<std::string> MoveObjeto(std::string_view linha, double dx, double dy) {
    std::vector<Palavra> palavras;
    PercorrePalavras(linha, [&](std::size_t inicio, std::size_t tamanho, bool) {
        palavras.push_back({inicio, tamanho});
    });
    if (palavras.empty()) return std::nullopt;
    const std::string_view comando = linha.substr(palavras[0].inicio, palavras[0].tamanho);
    const Posicoes* posicoes = nullptr;
    for (const Posicoes& p : kPosicoes)
        if (p.comando == comando) posicoes = &p;
    if (posicoes == nullptr) return std::nullopt;
    // The words replaced, in line order: (word, new text).
    std::vector<std::pair<std::size_t, std::string>> trocas;
    for (const std::size_t x : posicoes->pares) {
        if (x + 1 >= palavras.size()) return std::nullopt;
        const std::string_view px = linha.substr(palavras[x].inicio, palavras[x].tamanho);
        const std::string_view py = linha.substr(palavras[x + 1].inicio, palavras[x + 1].tamanho);
        const bool centrado = posicoes->x_centravel && !px.empty() && px[0] == 'C';
        if (!centrado) trocas.emplace_back(x, Movida(px, dx));
        trocas.emplace_back(x + 1, Movida(py, dy));
    }
    std::string nova;
    std::size_t copiado = 0;
    for (const auto& [indice, texto] : trocas) {
        nova.append(linha.substr(copiado, palavras[indice].inicio - copiado));
        nova.append(texto);
        copiado = palavras[indice].inicio + palavras[indice].tamanho;
    }
    nova.append(linha.substr(copiado));
    return nova;
}
