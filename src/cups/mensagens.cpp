#include "cups/mensagens.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Printed in place of a control character.
constexpr char kSubstituto = '?';
// Below this code, and this one itself, the characters that control a terminal or a log.
constexpr unsigned char kPrimeiroImprimivel = 0x20;
constexpr unsigned char kApaga = 0x7F;

}  // namespace

void EnviaMensagem(const char* nivel, std::string_view texto) {
    std::string linha(nivel);
    linha += ": ";
    for (const char c : texto) {
        const auto byte = static_cast<unsigned char>(c);
        linha += byte < kPrimeiroImprimivel || byte == kApaga ? kSubstituto : c;
    }
    linha += '\n';
    std::fwrite(linha.data(), 1, linha.size(), stderr);
}

void RepassaMensagens(const Execucao& e, const std::string& programa,
                      const std::string& formulario) {
    const bool sucesso = e.Sucesso();
    const char* nivel = sucesso ? "WARNING" : "ERROR";
    std::vector<std::string> linhas = e.mensagens;
    if (e.mensagens_omitidas > 0)
        linhas.insert(linhas.end() - 1,
                      "Mais " + std::to_string(e.mensagens_omitidas) + " mensagens omitidas");
    if (!e.falha.empty()) {
        linhas.push_back(e.falha);
    } else if (e.sinal != 0) {
        const char* nome = strsignal(e.sinal);
        linhas.push_back("Erro na execucao do " + programa + " - sinal " + std::to_string(e.sinal) +
                         " [" + (nome != nullptr ? nome : "") + "]");
    } else if (!sucesso && e.mensagens.empty()) {
        linhas.push_back("Erro na execucao do " + programa + " - status " +
                         std::to_string(e.status));
    }
    if (!sucesso && !formulario.empty() && !linhas.empty())
        linhas.back() = "Formulario [" + formulario + "]: " + linhas.back();
    for (const std::string& linha : linhas)
        EnviaMensagem(nivel, linha);
}
