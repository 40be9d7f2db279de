#include "codificacao/codificacao.h"

#include <optional>

#include "codificacao/conversao.h"
#include "codificacao/utf8.h"

Codificacao codificacao = Codificacao::nenhuma;

namespace {

// The job's conversion, opened by the declaration.
std::optional<Conversao> conversao;

const char* NomeIconv(Codificacao c) {
    return c == Codificacao::utf8 ? "UTF-8" : "ISO-8859-1";
}

bool ContaUTF8() {
    return codificacao == Codificacao::utf8;
}

}  // namespace

bool DeclaraCodificacao(Codificacao declarada, const char* conjunto_impressora) {
    EncerraCodificacao();
    if (declarada == Codificacao::nenhuma) return true;
    conversao.emplace(NomeIconv(declarada), conjunto_impressora);
    if (!conversao->Aberta()) {
        conversao.reset();
        return false;
    }
    codificacao = declarada;
    return true;
}

void EncerraCodificacao() {
    codificacao = Codificacao::nenhuma;
    conversao.reset();
}

void ConverteTexto(std::string& texto) {
    if (conversao) texto = conversao->Converte(texto);
}

std::size_t ContaCaracteres(std::string_view texto) {
    return ContaUTF8() ? ContaCaracteresUTF8(texto) : texto.size();
}

std::string_view TrechoCaracteres(std::string_view texto, std::size_t inicio, std::size_t n) {
    if (ContaUTF8()) {
        texto.remove_prefix(BytesDosCaracteres(texto, inicio));
        return texto.substr(0, BytesDosCaracteres(texto, n));
    }
    if (inicio >= texto.size()) return {};
    return texto.substr(inicio, n);
}
