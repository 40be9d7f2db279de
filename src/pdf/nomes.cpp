// File names of the customers' files: a value captured from the report becomes a name that is
// safe in any folder and any shell.
#include <string>

#include "codificacao/utf8.h"
#include "pdf/pdf.h"

namespace {

bool Permitido(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '_' || c == '.';
}

}  // namespace

std::string NomeSeguro(std::string_view valor, long folha) {
    if (valor.empty()) return "folha-" + std::to_string(folha);
    // One '_' for each character outside the safe set, however many bytes it takes.
    const std::string texto = TextoUTF8(valor);
    std::string nome;
    for (std::size_t i = 0; i < texto.size() && nome.size() < kNomeMaximo;) {
        const std::size_t n = TamanhoCaractere(texto, i);
        nome += n == 1 && Permitido(texto[i]) ? texto[i] : '_';
        i += n;
    }
    // A name starting with a dot would be hidden, or be "." or "..".
    if (nome.empty()) return "folha-" + std::to_string(folha);
    if (nome[0] == '.') nome[0] = '_';
    return nome;
}
