#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "device/dispositivo.h"
#include "driver/antevisao.h"
#include "driver/driver.h"
#include "driver/opcoes.h"
#include "driver/prepass.h"
#include "interp/interp.h"
#include "md5stamp/md5stamp.h"
#include "util/rascunho.h"
#include "util/rastro.h"
#include "util/sinais.h"

long paginas_impressas = 0;
void (*aviso_formato)(const char* formato) = nullptr;

namespace {

// The debug trace, made in the working directory on every run that has its arguments.
constexpr const char* kArquivoRastro = "vodrel.dbg";
// With this many arguments the format is chosen per batch among four files.
constexpr int kArgsQuatroFormatos = 5;
// With this many arguments the third one names the output file.
constexpr int kArgsComSaida = 3;
// A report whose widest line, line end included, holds more bytes than this is a wide one.
constexpr int kLarguraEstreita = 82;

// The job leaves in writes of this size: a few hundred a run instead of thousands of the
// stream's default 4 KiB. Everything is flushed and checked after each batch and before exit.
constexpr std::size_t kBufferSaida = 64 * 1024;

// Status of a run that stops on an error. Every error goes back up to Principal, which closes
// and flushes what the run opened, so a run that fails late keeps every batch it wrote.
constexpr int kFalha = -1;

// A document's output file (morvpdf's), written under a draft name and renamed once the run has
// written it whole: a half-written document never stands under its name, and a run that could
// not write it leaves the file it would have replaced as it was.
Rascunho saida_inteira;
bool saida_por_rascunho = false;
// The output's failure has been reported: it is not reported again when the run ends.
bool saida_reportada = false;

bool FalhaAbertura(const char* nome) {
    std::fprintf(stderr, "Erro na abertura do arquivo [%s]\n", nome);
    return false;
}

// A job cut short (a full disk, a closed pipe) is a failure, never a success. A document's
// output file names the reason too (`erro`, an errno value; 0 when unknown).
bool FalhaGravacao(const char* nome, int erro = 0) {
    if (erro != 0)
        std::fprintf(stderr, "Erro na gravacao do arquivo [%s] - %s\n", nome, std::strerror(erro));
    else
        std::fprintf(stderr, "Erro na gravacao do arquivo [%s]\n", nome);
    return false;
}

// The job's destination as messages name it: the output file, or stdout.
const char* NomeSaida(int nargs, char** argv) {
    return nargs == kArgsComSaida ? argv[3] : "stdout";
}

bool FalhaSaida(int nargs, char** argv) {
    saida_reportada = true;
    return FalhaGravacao(NomeSaida(nargs, argv), saida_por_rascunho ? saida_inteira.erro() : 0);
}

// Everything the batch wrote has reached the job's destination and the trace.
bool GravouTudo(int nargs, char** argv) {
    if (std::fflush(saida) != 0 || std::ferror(saida)) return FalhaSaida(nargs, argv);
    if (std::ferror(dbg)) return FalhaGravacao(kArquivoRastro);
    return true;
}

// A batch that cannot go on: its copy of the report has no further use, so none is left behind.
int AbandonaLote(const Lote& lote) {
    RemoveDados(lote.dados);
    return kFalha;
}

// A standard stream that the caller closed leaves its descriptor free, and the trace or the
// data file would take it: the job would then be written into them and the run would end as a
// success. Each closed one is held by /dev/null, opened for reading only, so that writing the
// job there fails and is reported.
void OcupaDescritoresFechados() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free descriptor is this one: the lower ones are open by now.
        const int nulo = open("/dev/null", O_RDONLY);
        if (nulo != fd && nulo >= 0) close(nulo);
    }
}

// A job going to a file or a pipe is fully buffered in large blocks; a terminal keeps its own
// buffering. Called before anything is written to stdout, and again after it is reopened.
void BufferizaSaida() {
    static char buffer[kBufferSaida];
    if (isatty(fileno(stdout)) == 0) std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
}

bool CriaRastro(int argc, char** argv) {
    dbg = std::fopen(kArquivoRastro, "w");
    if (dbg == nullptr) return FalhaAbertura(kArquivoRastro);
    // Unbuffered, so that the trace is complete up to the point where a run stopped.
    std::setvbuf(dbg, nullptr, _IONBF, 0);
    for (int i = 0; i < argc; ++i)
        std::fprintf(dbg, "arg %d [%s]\n", i, argv[i]);
    return true;
}

// A directory opens, but reading it gives nothing: it would print as an empty report.
bool EhPasta(std::FILE* arquivo) {
    struct stat info {};
    return fstat(fileno(arquivo), &info) == 0 && S_ISDIR(info.st_mode);
}

std::FILE* AbreEntrada(const char* nome) {
    if (std::string(nome) == "-") return stdin;
    std::FILE* entrada = std::fopen(nome, "rb");
    if (entrada != nullptr && EhPasta(entrada)) {
        std::fclose(entrada);
        entrada = nullptr;
    }
    if (entrada == nullptr) FalhaAbertura(nome);
    return entrada;  // null when it cannot be opened
}

// Format 1 or 2 by width, 3 or 4 when the first line carries the page heading.
const char* FormatoDoLote(int nargs, char** argv, const Lote& lote) {
    if (nargs != kArgsQuatroFormatos) return argv[2];
    int indice = (lote.marca_pag ? 4 : 2) + (lote.largura > kLarguraEstreita ? 1 : 0);
    return argv[indice];
}

const char* EscolheFormato(int nargs, char** argv, const Lote& lote) {
    if (nargs == kArgsQuatroFormatos)
        std::fprintf(dbg, "col=%d 246=%d\n", lote.largura, lote.marca_pag ? 1 : 0);
    return FormatoDoLote(nargs, argv, lote);
}

bool MesmoArquivo(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// An output file that is the report or the format itself: opening it for writing would empty
// them before they are read, losing the operator's files and printing garbage.
bool SobrepoeEntradas(const char* nome, std::FILE* entrada, const char* formato) {
    struct stat alvo {};
    if (stat(nome, &alvo) != 0 || !S_ISREG(alvo.st_mode)) return false;
    struct stat outro {};
    if (fstat(fileno(entrada), &outro) == 0 && MesmoArquivo(alvo, outro)) return true;
    return stat(formato, &outro) == 0 && MesmoArquivo(alvo, outro);
}

// A document's output that is a file, or is to be one, is written under a draft name and renamed
// into `final` (the file a link points at, so that the link keeps pointing at the document), with
// the permissions of the file it replaces. A device or a pipe is written as it stands, as a
// printer job is.
bool SaidaPorRascunho(const char* nome, std::string& final, mode_t& modo) {
    if (kTipoJob != TipoJob::Documento) return false;
    struct stat info {};
    if (stat(nome, &info) != 0) {
        const bool nova = errno == ENOENT;
        final = nome;
        modo = PermissoesNovoArquivo();
        return nova;
    }
    if (!S_ISREG(info.st_mode)) return false;
    char* real = realpath(nome, nullptr);
    final = real != nullptr ? real : nome;
    std::free(real);
    modo = info.st_mode & 07777;
    return true;
}

// The output file is opened once, at the first batch, so that it holds every batch in order.
bool RedirecionaSaida(const char* nome, std::FILE* entrada, const char* formato) {
    if (SobrepoeEntradas(nome, entrada, formato)) return FalhaAbertura(nome);
    std::string final;
    mode_t modo = 0;
    if (SaidaPorRascunho(nome, final, modo)) {
        if (!saida_inteira.Abre(final, modo)) return FalhaAbertura(nome);
        saida_por_rascunho = true;
        saida = saida_inteira.fluxo();
        return true;
    }
    if (std::freopen(nome, "wb", stdout) == nullptr) return FalhaAbertura(nome);
    BufferizaSaida();
    saida = stdout;
    return true;
}

bool CarregaFormato(const char* formato, const Lote& lote) {
    std::fprintf(dbg, "dad=[%s] fmt=[%s]\n", lote.dados.c_str(), formato);
    if (aviso_formato != nullptr) aviso_formato(formato);
    std::string msg;
    if (InicializaInterp(formato, lote.dados.c_str(), msg) == 0) return true;
    std::fwrite(msg.data(), 1, msg.size(), stderr);
    return false;
}

// The run's batches as the page loop's look-ahead sees them: the batch being printed, and the
// next one when the look-ahead has had it prepared ahead of its turn. The next batch's data
// file is removed if the run stops before its turn.
struct Lotes {
    Lotes(int n, char** a, std::FILE* e) : nargs(n), argv(a), entrada(e) {}
    Lotes(const Lotes&) = delete;
    Lotes& operator=(const Lotes&) = delete;
    int nargs;
    char** argv;
    std::FILE* entrada;
    EstadoExecucao estado;
    const Lote* atual = nullptr;
    std::optional<Lote> seguinte;
    ~Lotes() {
        if (seguinte && !seguinte->falha) RemoveDados(seguinte->dados);
    }
    // The batch after the current one: the one prepared ahead, or a new one from the report.
    Lote Proximo() {
        if (!seguinte) return PreparaLote(entrada, estado);
        Lote lote = std::move(*seguinte);
        seguinte.reset();
        return lote;
    }
};
Lotes* lotes = nullptr;

// Every batch of the report in turn; the run's status.
int ExecutaLotes(int nargs, char** argv, std::FILE* entrada) {
    Lotes contexto(nargs, argv, entrada);
    contexto.estado.largura_em_caracteres = nargs == kArgsQuatroFormatos;
    lotes = &contexto;
    const struct Esquece {
        ~Esquece() { lotes = nullptr; }
    } esquece;
    for (bool primeiro_lote = true;; primeiro_lote = false) {
        Lote lote = contexto.Proximo();
        if (lote.falha) return kFalha;
        const char* formato = EscolheFormato(nargs, argv, lote);
        if (nargs == kArgsComSaida && primeiro_lote && !RedirecionaSaida(argv[3], entrada, formato))
            return AbandonaLote(lote);
        if (!CarregaFormato(formato, lote)) return AbandonaLote(lote);
        if (!ConfereFormato()) {
            FinalizaInterp();
            return AbandonaLote(lote);
        }
        contexto.atual = &lote;
        LacoPaginas();
        contexto.atual = nullptr;
        FinalizaInterp();
        RemoveDados(lote.dados);
        if (!GravouTudo(nargs, argv)) return kFalha;
        if (aviso_formato != nullptr) aviso_formato(nullptr);
        if (!lote.cabecalho || lote.esgotada) return 0;
    }
}

// The document's output file takes its name once written whole, also when a later batch failed:
// it holds the batches before it, as a printer job would. A draft that holds nothing (the run
// stopped before its first page) is no document, and is dropped.
bool ConcluiSaida(int nargs, char** argv) {
    if (!saida_por_rascunho) return true;
    saida_por_rascunho = false;
    const bool gravou = std::fflush(saida_inteira.fluxo()) == 0;
    saida = stdout;
    if (saida_reportada || saida_inteira.bytes() == 0) {
        saida_inteira.Descarta();
        return !saida_reportada;
    }
    if (gravou && saida_inteira.Conclui()) return true;
    saida_inteira.Descarta();
    saida_reportada = true;
    return FalhaGravacao(NomeSaida(nargs, argv), saida_inteira.erro());
}

// A document that spans the run is finished however the run ended, so that the batches already
// made are kept; what it writes then is checked like every batch.
int TerminaExecucao(int status, int nargs, char** argv) {
    const bool encerrada = EncerraExecucao(status == 0);
    if (status == 0 && (!encerrada || !GravouTudo(nargs, argv))) status = kFalha;
    return status;
}

// The trace closed, last of all; a trace that could not be written whole fails the run.
int FechaRastro(int status) {
    const bool rastro_fechado = std::fclose(dbg) == 0;
    dbg = nullptr;
    if (status == 0 && !rastro_fechado) {
        FalhaGravacao(kArquivoRastro);
        return kFalha;
    }
    return status;
}

// While a run cut down to pieces prints one of them, the piece after it: the batch whose first
// sheet the look-ahead of the inserter marks reads.
const char* formato_trechos = nullptr;
const TrechoExecucao* trecho_seguinte = nullptr;

}  // namespace

void EscreveUso() {
    std::fprintf(stderr, "%s v2.2.2 15/10/07\n", kNomePrograma);
    std::fprintf(stderr, "Uso: %s %s[-s <dx,dy>] [-S <dx,dy>] <arquivo> <lista formatos>\n",
                 kNomePrograma, kOpcoesPrograma);
}

std::optional<std::string> ValorNoLoteSeguinte() {
    if (trecho_seguinte != nullptr) {
        const int ini = marcaini, fim = marcafim;
        marcaini = trecho_seguinte->marcaini;
        marcafim = trecho_seguinte->marcafim;
        std::optional<std::string> valor = ValorNaPrimeiraFolha(formato_trechos, trecho_seguinte->dados);
        marcaini = ini;
        marcafim = fim;
        return valor;
    }
    if (lotes == nullptr || lotes->atual == nullptr) return std::nullopt;
    const Lote& atual = *lotes->atual;
    if (!atual.cabecalho || atual.esgotada) return std::nullopt;
    if (!lotes->seguinte) lotes->seguinte = PreparaLote(lotes->entrada, lotes->estado);
    const Lote& seguinte = *lotes->seguinte;
    if (seguinte.falha) return std::nullopt;
    return ValorNaPrimeiraFolha(FormatoDoLote(lotes->nargs, lotes->argv, seguinte), seguinte.dados);
}

int ExecutaTrechos(const char* formato, const std::vector<TrechoExecucao>& trechos,
                   std::string& erro_carga) {
    paginas_impressas = 0;
    std::signal(SIGPIPE, SIG_IGN);
    OcupaDescritoresFechados();
    BufferizaSaida();
    std::string nome = kNomePrograma;
    std::string arquivo = formato;
    char* argv[] = {nome.data(), arquivo.data(), nullptr};
    constexpr int kArgs = 2;
    if (!CriaRastro(kArgs, argv)) return kFalha;
    formato_trechos = formato;
    int status = 0;
    bool primeiro_impresso = true;
    for (std::size_t i = 0; i < trechos.size(); ++i) {
        const TrechoExecucao& trecho = trechos[i];
        // A piece only read ahead has been read by the one before it.
        if (!trecho.imprime && i > 0 && trechos[i - 1].imprime) break;
        marcaini = trecho.marcaini;
        marcafim = trecho.marcafim;
        std::fprintf(dbg, "dad=[%s] fmt=[%s]\n", trecho.dados.c_str(), formato);
        // The loader leaves its message in the buffer only when it fails.
        std::string msg;
        if (InicializaInterp(formato, trecho.dados.c_str(), msg) != 0) {
            erro_carga = msg;
            status = kFalha;
            break;
        }
        const bool serve = ConfereFormato();
        if (serve && trecho.imprime) {
            // The sheets before, as many as the run printed for the pages before.
            if (primeiro_impresso) paginas_impressas = trecho.paginas_antes * vias;
            primeiro_impresso = false;
            trecho_seguinte = i + 1 < trechos.size() ? &trechos[i + 1] : nullptr;
            LacoPaginas();
            trecho_seguinte = nullptr;
        }
        FinalizaInterp();
        if (!serve || !GravouTudo(kArgs, argv)) {
            status = kFalha;
            break;
        }
    }
    formato_trechos = nullptr;
    status = TerminaExecucao(status, kArgs, argv);
    std::fflush(saida);
    return FechaRastro(status);
}

int Principal(int argc, char** argv) {
    paginas_impressas = 0;
    // The shifts come first; the report, the formats and the output follow as they always did.
    const int primeiro = LeOpcoesDeslocamento(argc, argv);
    if (primeiro < 0) return kFalha;
    std::vector<char*> resto{argv[0]};
    resto.insert(resto.end(), argv + primeiro, argv + argc);
    resto.push_back(nullptr);
    argv = resto.data();
    argc = static_cast<int>(resto.size()) - 1;
    int nargs = argc - 1;
    if (nargs < 2) {
        EscreveUso();
        return kFalha;
    }
    // A reader that goes away must not kill the run by a signal, which would leave the batch's
    // data file behind: the write fails instead, and the run ends with its message.
    std::signal(SIGPIPE, SIG_IGN);
    // An interrupted run removes its data file and drafts, and ends as the signal ends it.
    ArmaSinais();
    saida_reportada = false;
    saida_por_rascunho = false;
    OcupaDescritoresFechados();
    BufferizaSaida();
    if (!CriaRastro(argc, argv)) return kFalha;
    std::FILE* entrada = AbreEntrada(argv[1]);
    int status = entrada != nullptr ? ExecutaLotes(nargs, argv, entrada) : kFalha;
    status = TerminaExecucao(status, nargs, argv);
    // Once a run, however it ended: the operator's copy of its last stamp.
    GravaUltimoCarimbo();
    if (entrada != nullptr && entrada != stdin) std::fclose(entrada);
    std::fflush(saida);
    if (!ConcluiSaida(nargs, argv)) status = kFalha;
    return FechaRastro(status);
}
