#include "cups/formularios.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace {

// Format files carry this ending; a client names a form without it.
constexpr std::string_view kExtensao = ".fmt";
// A form name is a file name: with its ending it stays well under any file system's limit.
constexpr std::size_t kMaxNomeFormulario = 128;
// The option lists either one format, or the four among which each batch is given its own.
constexpr std::size_t kFormatosUm = 1;
constexpr std::size_t kFormatosQuatro = 4;

bool CaracterDeNome(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

// A client is not trusted: a name that could leave the forms directory (a slash, "..") or
// pick a hidden file is refused, and so is anything that is not a plain name.
bool NomeSimples(std::string_view nome) {
    if (nome.empty() || nome.size() > kMaxNomeFormulario || nome.front() == '.') return false;
    for (char c : nome)
        if (!CaracterDeNome(c)) return false;
    return true;
}

std::vector<std::string> Separa(const std::string& valor) {
    std::vector<std::string> nomes;
    std::size_t inicio = 0;
    for (std::size_t virgula; (virgula = valor.find(',', inicio)) != std::string::npos;
         inicio = virgula + 1)
        nomes.push_back(valor.substr(inicio, virgula - inicio));
    nomes.push_back(valor.substr(inicio));
    return nomes;
}

}  // namespace

std::string PastaFormularios() {
    const char* pasta = std::getenv("MORV_FORMULARIOS");
    if (pasta == nullptr || *pasta == '\0') pasta = MORV_PASTA_FORMULARIOS;
    std::error_code erro;
    std::string caminho = std::filesystem::absolute(pasta, erro).lexically_normal().string();
    if (erro) caminho = pasta;
    while (caminho.size() > 1 && caminho.back() == '/')
        caminho.pop_back();
    return caminho;
}

std::vector<std::string> CaminhosFormularios(const std::string& valor, const std::string& pasta,
                                             std::string& erro) {
    const std::vector<std::string> nomes = Separa(valor);
    if (nomes.size() != kFormatosUm && nomes.size() != kFormatosQuatro) {
        erro = "Lista de formularios invalida [" + valor + "] (um ou quatro nomes)";
        return {};
    }
    std::vector<std::string> caminhos;
    for (const std::string& nome : nomes) {
        if (!NomeSimples(nome)) {
            erro = "Nome de formulario invalido [" + nome + "]";
            return {};
        }
        caminhos.push_back(pasta + "/" + nome + std::string(kExtensao));
    }
    return caminhos;
}
