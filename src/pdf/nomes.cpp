// File names of the customers' files: a value captured from the report becomes a name that is
// safe in any folder and any shell.
#include <string>

#include "codificacao/codificacao.h"
#include "codificacao/utf8.h"
#include "pdf/pdf.h"

namespace {

bool Permitido(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

}  // namespace

std::string NomeSeguro(std::string_view valor, long folha) {
    if (valor.empty()) return "folha-" + std::to_string(folha);
    // One '_' for each character outside the safe set, however many bytes it takes in the
    // job's set (without a declared set every byte is a character).
    const bool utf8 = codificacao == Codificacao::utf8;
    std::string nome;
    for (std::size_t i = 0; i < valor.size() && nome.size() < kNomeMaximo;) {
        const std::size_t n = utf8 ? TamanhoCaractere(valor, i) : 1;
        nome += n == 1 && Permitido(valor[i]) ? valor[i] : '_';
        i += n;
    }
    // A name starting with a dot would be hidden, or be "." or "..".
    if (nome.empty()) return "folha-" + std::to_string(folha);
    if (nome[0] == '.') nome[0] = '_';
    return nome;
}
