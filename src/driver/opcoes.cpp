#include "driver/opcoes.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "device/dispositivo.h"
#include "driver/driver.h"

namespace {

// A printer misplaces its pages by millimetres: a shift of more than an inch is a slip (the
// millimetres of a ruler typed as inches), never a calibration.
constexpr double kDeslocamentoMaximo = 1.0;
// The value's two numbers are parted by this.
constexpr char kSeparador = ',';

bool Digito(char c) {
    return c >= '0' && c <= '9';
}

// A decimal number as a person types it: a sign, digits, a full stop and more digits, at least
// one digit in all. No exponent, no blank, no "inf": what the spooler's options carry is read
// strictly, never as a surprise.
std::optional<double> LeNumero(std::string_view texto) {
    bool negativo = false;
    if (!texto.empty() && (texto.front() == '+' || texto.front() == '-')) {
        negativo = texto.front() == '-';
        texto.remove_prefix(1);
    }
    bool algum_digito = false, ponto = false;
    for (char c : texto) {
        if (Digito(c)) {
            algum_digito = true;
        } else if (c == '.' && !ponto) {
            ponto = true;
        } else {
            return std::nullopt;
        }
    }
    if (!algum_digito) return std::nullopt;
    double valor = 0.0;
    const auto [fim, erro] =
        std::from_chars(texto.data(), texto.data() + texto.size(), valor, std::chars_format::fixed);
    if (erro != std::errc() || fim != texto.data() + texto.size()) return std::nullopt;
    if (std::fabs(valor) > kDeslocamentoMaximo) return std::nullopt;
    return negativo ? -valor : valor;
}

// The option at argv[i], which is -s or -S: its value taken into the side's shift, i moved
// past it.
bool LeOpcao(int argc, char** argv, int& i, bool& verso_proprio) {
    const char letra = argv[i][1];
    const char* valor = argv[i][2] != '\0' ? argv[i] + 2 : nullptr;
    if (valor == nullptr && i + 1 < argc) valor = argv[++i];
    ++i;
    if (valor == nullptr) {
        EscreveUso();
        return false;
    }
    if (!ConfereDeslocamento(valor)) return false;
    const std::optional<Deslocamento> d = LeDeslocamento(valor);
    if (letra == 'S') {
        deslocamento_verso = *d;
        verso_proprio = true;
    } else {
        deslocamento_frente = *d;
        if (!verso_proprio) deslocamento_verso = *d;
    }
    return true;
}

bool EhOpcaoDeslocamento(const char* argumento) {
    return argumento[0] == '-' && (argumento[1] == 's' || argumento[1] == 'S');
}

}  // namespace

std::optional<Deslocamento> LeDeslocamento(const char* valor) {
    const std::string_view texto(valor);
    const std::size_t separador = texto.find(kSeparador);
    if (separador == std::string_view::npos) return std::nullopt;
    const std::optional<double> x = LeNumero(texto.substr(0, separador));
    const std::optional<double> y = LeNumero(texto.substr(separador + 1));
    if (!x || !y) return std::nullopt;
    return Deslocamento{*x, *y};
}

bool ConfereDeslocamento(const char* valor) {
    if (LeDeslocamento(valor)) return true;
    std::fprintf(stderr, "Deslocamento invalido [%s]\n", valor);
    return false;
}

int LeOpcoesDeslocamento(int argc, char** argv) {
    deslocamento_frente = deslocamento_verso = deslocamento = Deslocamento();
    bool verso_proprio = false;
    int i = 1;
    while (i < argc && EhOpcaoDeslocamento(argv[i]))
        if (!LeOpcao(argc, argv, i, verso_proprio)) return -1;
    return i;
}
