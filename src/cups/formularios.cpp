#include "cups/formularios.h"

#include <cups/cups.h>
#include <cups/ppd.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace {

// The form's option as the printer models and the clients name it.
constexpr const char* kOpcao = "formulario";
// The printer models' default choice: no form, until a queue is given one.
constexpr std::string_view kNenhum = "nenhum";
// What a custom value of the option begins with.
constexpr std::string_view kPersonalizado = "Custom.";

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

std::string SemPersonalizado(std::string valor) {
    if (valor.rfind(kPersonalizado, 0) == 0) valor.erase(0, kPersonalizado.size());
    return valor;
}

std::string OpcaoPropria(const char* texto, const char* nome) {
    cups_option_t* opcoes = nullptr;
    const int quantas = cupsParseOptions(texto, 0, &opcoes);
    const char* valor = cupsGetOption(nome, quantas, opcoes);
    std::string formulario = valor != nullptr ? valor : "";
    cupsFreeOptions(quantas, opcoes);
    return formulario;
}

// CUPS marks its PPD interface deprecated for clients; a filter reads its own queue's model with
// it all the same, as CUPS's filters do. The default is read as the model's text: a choice keeps
// only 40 bytes of it, and a longer value cut there could name another form.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
std::string DefaultDoModelo(const char* nome) {
    const char* modelo = std::getenv("PPD");
    if (modelo == nullptr || *modelo == '\0') return "";
    ppd_file_t* ppd = ppdOpenFile(modelo);
    if (ppd == nullptr) return "";
    const ppd_attr_t* padrao = ppdFindAttr(ppd, (std::string("Default") + nome).c_str(), nullptr);
    std::string valor = padrao != nullptr && padrao->value != nullptr ? padrao->value : "";
    ppdClose(ppd);
    return valor == kNenhum ? "" : valor;
}
#pragma GCC diagnostic pop

}  // namespace

std::string OpcaoDoTrabalho(const char* opcoes, const char* nome) {
    std::string valor = OpcaoPropria(opcoes, nome);
    if (valor.empty()) valor = DefaultDoModelo(nome);
    return SemPersonalizado(valor);
}

std::string FormularioDoTrabalho(const char* opcoes) {
    return OpcaoDoTrabalho(opcoes, kOpcao);
}

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

std::vector<std::string> NomesFormularios(const std::string& valor, std::string& erro) {
    const std::vector<std::string> nomes = Separa(valor);
    if (nomes.size() != kFormatosUm && nomes.size() != kFormatosQuatro) {
        erro = "Lista de formularios invalida [" + valor + "] (um ou quatro nomes)";
        return {};
    }
    for (const std::string& nome : nomes) {
        if (!NomeSimples(nome)) {
            erro = "Nome de formulario invalido [" + nome + "]";
            return {};
        }
    }
    return nomes;
}

std::vector<std::string> CaminhosFormularios(const std::vector<std::string>& nomes,
                                             const std::string& pasta) {
    std::vector<std::string> caminhos;
    for (const std::string& nome : nomes)
        caminhos.push_back(pasta + "/" + nome + std::string(kExtensao));
    return caminhos;
}
