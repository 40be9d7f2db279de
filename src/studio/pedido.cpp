#include "studio/pedido.h"

#include <charconv>
#include <cmath>

#include "codificacao/utf8.h"

namespace {

// The last code point a Latin-1 form has a byte for.
constexpr unsigned kUltimoLatin1 = 0xFF;
// A two-byte UTF-8 character holds a code point below 0x800: its first byte's five low bits
// and its second's six.
constexpr unsigned char kPrimeiroDeDois = 0xC0;
constexpr unsigned char kUltimoDeDois = 0xDF;

bool SoDigitos(std::string_view texto) {
    return !texto.empty() && texto.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

std::optional<int> LeInteiroPedido(std::string_view texto, int minimo, int maximo) {
    int valor = 0;
    const char* fim = texto.data() + texto.size();
    const auto [resto, erro] = std::from_chars(texto.data(), fim, valor);
    if (texto.empty() || erro != std::errc() || resto != fim) return std::nullopt;
    if (valor < minimo || valor > maximo) return std::nullopt;
    return valor;
}

std::optional<double> LeDecimalPedido(std::string_view texto, double minimo, double maximo) {
    // Only plain decimals: a sign, digits, and a fraction after a full stop. No exponent, no
    // infinity, no blank: what the page writes and nothing that could mean something else.
    std::string_view numero = texto;
    if (!numero.empty() && (numero.front() == '-' || numero.front() == '+'))
        numero.remove_prefix(1);
    const std::size_t ponto = numero.find('.');
    const std::string_view inteira = numero.substr(0, ponto);
    const std::string_view fracao =
        ponto == std::string_view::npos ? std::string_view() : numero.substr(ponto + 1);
    if (!SoDigitos(inteira) || (ponto != std::string_view::npos && !SoDigitos(fracao)))
        return std::nullopt;
    double valor = 0;
    const std::string_view sem_mais = texto.front() == '+' ? texto.substr(1) : texto;
    const char* fim = sem_mais.data() + sem_mais.size();
    const auto [resto, erro] = std::from_chars(sem_mais.data(), fim, valor);
    if (erro != std::errc() || resto != fim || !std::isfinite(valor)) return std::nullopt;
    if (valor < minimo || valor > maximo) return std::nullopt;
    return valor;
}

Conjunto ConjuntoDoFormulario(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = TamanhoSequencia(bytes, i);
        if (n == 0) return Conjunto::latin1;
        i += n;
    }
    return Conjunto::utf8;
}

std::optional<std::string> BytesDoEditor(std::string_view texto, Conjunto conjunto) {
    if (ConjuntoDoFormulario(texto) != Conjunto::utf8) return std::nullopt;
    if (conjunto == Conjunto::utf8) return std::string(texto);
    std::string bytes;
    bytes.reserve(texto.size());
    for (std::size_t i = 0; i < texto.size();) {
        const auto c = static_cast<unsigned char>(texto[i]);
        const std::size_t n = TamanhoSequencia(texto, i);
        if (n == 1) {
            bytes += static_cast<char>(c);
        } else if (n == 2 && c >= kPrimeiroDeDois && c <= kUltimoDeDois) {
            const unsigned ponto =
                (c & 0x1Fu) << 6 | (static_cast<unsigned char>(texto[i + 1]) & 0x3Fu);
            if (ponto > kUltimoLatin1) return std::nullopt;
            bytes += static_cast<char>(ponto);
        } else {
            return std::nullopt;
        }
        i += n;
    }
    return bytes;
}
