// The spooler's filter of each program (texttomorvex, texttomorvel, texttomorvpdf, named after
// kNomePrograma): the spooler hands it a report and the job's options; it runs the program's own
// driver on the report with the forms the options name, in a child process (trabalho/), and
// sends the job on: a printer job as many collated copies as asked, a PDF once, for the
// spooler's PDF chain to print (kTipoJob).
#include <charconv>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cups/formularios.h"
#include "cups/mensagens.h"
#include "driver/driver.h"
#include "trabalho/pasta.h"
#include "trabalho/trabalho.h"

namespace {

// The spooler's filter interface: program, job, user, title, copies, options and, when the
// report is not on standard input, its file.
constexpr int kArgsSemArquivo = 6;
constexpr int kArgsComArquivo = 7;
constexpr int kArgTrabalho = 1;
constexpr int kArgCopias = 4;
constexpr int kArgOpcoes = 5;
constexpr int kArgArquivo = 6;
// The spooler's own default ceiling on copies of a job.
constexpr int kMaxCopias = 9999;
// The filter's status: the spooler stops a job whose filter ends with anything but 0.
constexpr int kSucesso = 0;
constexpr int kFalhaFiltro = 1;
// The job's directory under the spooler's TMPDIR begins with this, and the job's number.
constexpr const char* kPrefixoPasta = "morv-filtro-";
// A job number longer than this is not the spooler's, and is left out of the name.
constexpr std::size_t kMaxDigitosTrabalho = 10;
// The job goes to the printer in pieces of this size, once per copy.
constexpr std::size_t kBlocoCopia = 64 * 1024;

// The job options of the two shifts, and the program's option each becomes.
struct OpcaoDeslocamento {
    const char* nome;
    const char* opcao;
};
constexpr OpcaoDeslocamento kDeslocamentos[] = {
    {"deslocamento", "-s"},
    {"deslocamento-verso", "-S"},
};

int Falha(const std::string& mensagem) {
    EnviaMensagem("ERROR", mensagem);
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

// The job's directory is named after the spooler's job number, so that one left behind by a
// filter killed outright shows whose it was.
std::string PrefixoPasta(const std::string& trabalho) {
    const bool numero = !trabalho.empty() && trabalho.size() <= kMaxDigitosTrabalho &&
                        trabalho.find_first_not_of("0123456789") == std::string::npos;
    return std::string(kPrefixoPasta) + (numero ? trabalho + "-" : "");
}

// The name, in the job's list, of the format file the program was on when it stopped; empty
// with a single form, which needs no naming.
std::string FormularioEmUso(const std::vector<std::string>& nomes,
                            const std::vector<std::string>& caminhos, const std::string& formato) {
    if (nomes.size() < 2) return "";
    for (std::size_t i = 0; i < caminhos.size(); ++i)
        if (caminhos[i] == formato) return nomes[i];
    return "";
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
// each copy, a page line per sheet for the spooler's page accounting. A document goes out once:
// the spooler's PDF chain makes its copies, of the same document, and counts its pages.
bool EnviaCopias(const Execucao& e, int copias) {
    if (kTipoJob == TipoJob::Documento) return EnviaCopia(e.job);
    long pagina = 0;
    for (int copia = 0; copia < copias; ++copia) {
        if (!EnviaCopia(e.job)) return false;
        for (long p = 0; p < e.paginas; ++p)
            EnviaMensagem("PAGE", std::to_string(++pagina) + " 1");
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
    const std::string formulario = FormularioDoTrabalho(argv[kArgOpcoes]);
    if (formulario.empty()) return Falha("Formulario nao informado (lp -o formulario=NOME)");
    std::string erro;
    const std::string pasta_formularios = PastaFormularios();
    const std::vector<std::string> nomes = NomesFormularios(formulario, erro);
    if (nomes.empty()) return Falha(erro);
    const std::vector<std::string> formatos = CaminhosFormularios(nomes, pasta_formularios);

    // The queue's printer is calibrated by the shifts of its sides, the job's or the queue's:
    // the program checks them, and stops the job on a value that is no shift.
    std::vector<std::string> argumentos = {kNomePrograma};
    for (const OpcaoDeslocamento& o : kDeslocamentos) {
        const std::string valor = OpcaoDoTrabalho(argv[kArgOpcoes], o.nome);
        if (!valor.empty()) argumentos.insert(argumentos.end(), {o.opcao, valor});
    }
    // The job runs in a directory of its own: the report's name must not depend on where.
    std::string relatorio = "-";
    if (argc == kArgsComArquivo) {
        std::error_code erro_caminho;
        const auto caminho = std::filesystem::absolute(argv[kArgArquivo], erro_caminho);
        relatorio = erro_caminho ? argv[kArgArquivo] : caminho.string();
    }
    argumentos.push_back(relatorio);
    argumentos.insert(argumentos.end(), formatos.begin(), formatos.end());

    PastaTrabalho pasta(PrefixoPasta(argv[kArgTrabalho]), kFalhaFiltro);
    if (pasta.caminho().empty())
        return Falha("Erro na criacao do diretorio temporario [" + pasta.modelo() + "] (" +
                     pasta.motivo() + ")");
    const Execucao e = ExecutaTrabalho(pasta, argumentos, pasta_formularios);
    RepassaMensagens(e, kNomePrograma, FormularioEmUso(nomes, formatos, e.formato));
    if (!e.Sucesso()) return kFalhaFiltro;
    if (!EnviaCopias(e, copias)) return Falha("Erro na gravacao do arquivo [stdout]");
    EnviaMensagem("INFO", "Formulario [" + formulario + "] impresso - paginas: " +
                              std::to_string(e.paginas) + ", copias: " + std::to_string(copias));
    return kSucesso;
}

}  // namespace

int main(int argc, char** argv) {
    // A backend that goes away must not kill the filter by a signal, which would leave the job's
    // directory behind: the write fails instead, and the job ends with its message.
    std::signal(SIGPIPE, SIG_IGN);
    return Filtra(argc, argv);
}
