// The spooler's filter of each program (texttomorvex, texttomorvel): the spooler hands it a
// report and the job's options; it runs the program's own driver on the report with the forms
// the options name, and sends the job, as many collated copies as asked, to the printer.
#include <cups/cups.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cups/formularios.h"
#include "cups/trabalho.h"
#include "driver/driver.h"
#include "util/caminhos.h"

namespace {

// The spooler's filter interface: program, job, user, title, copies, options and, when the
// report is not on standard input, its file.
constexpr int kArgsSemArquivo = 6;
constexpr int kArgsComArquivo = 7;
constexpr int kArgCopias = 4;
constexpr int kArgOpcoes = 5;
constexpr int kArgArquivo = 6;
// The spooler's own default ceiling on copies of a job.
constexpr int kMaxCopias = 9999;
// The filter's status: the spooler stops a job whose filter ends with anything but 0.
constexpr int kSucesso = 0;
constexpr int kFalhaFiltro = 1;
// The job goes to the printer in pieces of this size, once per copy.
constexpr std::size_t kBlocoCopia = 64 * 1024;

int Falha(const std::string& mensagem) {
    std::fprintf(stderr, "ERROR: %s\n", mensagem.c_str());
    return kFalhaFiltro;
}

// Copies between 1 and kMaxCopias, or 0 for anything else.
int LeCopias(const std::string& texto) {
    int copias = 0;
    const char* fim = texto.data() + texto.size();
    const auto [resto, erro] = std::from_chars(texto.data(), fim, copias);
    if (erro != std::errc() || resto != fim || copias < 1 || copias > kMaxCopias) return 0;
    return copias;
}

// The "formulario" option of the job; empty when it has none.
std::string OpcaoFormulario(const char* texto) {
    cups_option_t* opcoes = nullptr;
    const int quantas = cupsParseOptions(texto, 0, &opcoes);
    const char* valor = cupsGetOption("formulario", quantas, opcoes);
    std::string formulario = valor != nullptr ? valor : "";
    cupsFreeOptions(quantas, opcoes);
    return formulario;
}

// Each line the program wrote reaches the spooler as an error line, so the operator sees it
// in the job's state, the web interface and the error log.
void RepassaMensagens(const std::string& mensagens) {
    std::size_t inicio = 0;
    while (inicio < mensagens.size()) {
        std::size_t fim = mensagens.find('\n', inicio);
        if (fim == std::string::npos) fim = mensagens.size();
        if (fim > inicio)
            std::fprintf(stderr, "ERROR: %.*s\n", static_cast<int>(fim - inicio),
                         mensagens.data() + inicio);
        inicio = fim + 1;
    }
}

struct FechaArquivo {
    void operator()(std::FILE* arquivo) const { std::fclose(arquivo); }
};

bool EnviaCopia(const std::string& job) {
    std::unique_ptr<std::FILE, FechaArquivo> arquivo(std::fopen(job.c_str(), "rb"));
    if (!arquivo) return false;
    std::vector<char> bloco(kBlocoCopia);
    std::size_t lidos;
    while ((lidos = std::fread(bloco.data(), 1, bloco.size(), arquivo.get())) > 0)
        if (std::fwrite(bloco.data(), 1, lidos, stdout) != lidos) return false;
    return !std::ferror(arquivo.get()) && std::fflush(stdout) == 0 && !std::ferror(stdout);
}

// The job written once goes out once per copy, so every copy carries the same stamps; after
// each copy, a page line per sheet for the spooler's page accounting.
bool EnviaCopias(const Execucao& e, int copias) {
    long pagina = 0;
    for (int copia = 0; copia < copias; ++copia) {
        if (!EnviaCopia(e.job)) return false;
        for (long p = 0; p < e.paginas; ++p)
            std::fprintf(stderr, "PAGE: %ld 1\n", ++pagina);
    }
    return true;
}

int Filtra(int argc, char** argv) {
    const std::string nome_filtro = std::string("textto") + kNomePrograma;
    if (argc != kArgsSemArquivo && argc != kArgsComArquivo) {
        std::fprintf(stderr, "Uso: %s trabalho usuario titulo copias opcoes [arquivo]\n",
                     nome_filtro.c_str());
        return kFalhaFiltro;
    }
    const int copias = LeCopias(argv[kArgCopias]);
    if (copias == 0)
        return Falha("Numero de copias invalido [" + std::string(argv[kArgCopias]) + "]");
    const std::string formulario = OpcaoFormulario(argv[kArgOpcoes]);
    if (formulario.empty()) return Falha("Formulario nao informado (lp -o formulario=NOME)");
    std::string erro;
    const std::string pasta_formularios = PastaFormularios();
    const std::vector<std::string> formatos =
        CaminhosFormularios(formulario, pasta_formularios, erro);
    if (formatos.empty()) return Falha(erro);

    // The job runs in a directory of its own: the report's name must not depend on where.
    std::vector<std::string> argumentos = {kNomePrograma, "-"};
    if (argc == kArgsComArquivo) {
        std::error_code erro_caminho;
        const auto relatorio = std::filesystem::absolute(argv[kArgArquivo], erro_caminho);
        argumentos[1] = erro_caminho ? argv[kArgArquivo] : relatorio.string();
    }
    argumentos.insert(argumentos.end(), formatos.begin(), formatos.end());

    PastaTrabalho pasta(kFalhaFiltro);
    if (pasta.caminho().empty())
        return Falha("Erro na criacao do diretorio temporario [" + pasta.modelo() + "]");
    pasta_formulario = pasta_formularios;
    const Execucao e = ExecutaTrabalho(pasta, argumentos);
    RepassaMensagens(e.mensagens);
    if (e.status != 0) return kFalhaFiltro;
    if (!EnviaCopias(e, copias)) return Falha("Erro na gravacao do arquivo [stdout]");
    std::fprintf(stderr, "INFO: Formulario [%s] impresso - paginas: %ld, copias: %d\n",
                 formulario.c_str(), e.paginas, copias);
    return kSucesso;
}

}  // namespace

int main(int argc, char** argv) {
    return Filtra(argc, argv);
}
