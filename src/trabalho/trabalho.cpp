#include "trabalho/trabalho.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include "driver/driver.h"
#include "trabalho/cancelamento.h"
#include "util/caminhos.h"

namespace {

// The file in the job's directory that holds the job; the program's own files there are
// "vodrel.dbg", "md5.tmp" and the data files "morvXXXXXX".
constexpr const char* kArquivoJob = "/job";
// The program's status on any error.
constexpr int kFalha = -1;
// The messages of one job are kept up to this many bytes, whole lines only: a stream of
// warnings from a job of many thousand pages must not exhaust the host; the rest are counted.
constexpr std::size_t kMaxMensagens = 1024 * 1024;
// Records from the child on its result pipe, each ended by a NUL byte: the format file of a
// batch (empty once the batch is written), and the sheets at the end.
constexpr char kRegistroFormato = 'F';
constexpr char kRegistroPaginas = 'P';
// Bytes moved per read from the child's pipes.
constexpr std::size_t kBlocoLeitura = 64 * 1024;
// How often a job that may be cancelled is looked at while it runs.
constexpr std::chrono::milliseconds kIntervaloCancelamento{20};
// The first descriptor a child does not get on purpose (standard input, output and error are
// below it).
constexpr int kPrimeiroHerdado = 3;

// The child's end of its result pipe.
int canal_resultado = -1;

void EnviaRegistro(char tipo, std::string_view valor) {
    std::string registro(1, tipo);
    registro.append(valor);
    registro.push_back('\0');
    for (std::size_t feitos = 0; feitos < registro.size();) {
        const ssize_t n =
            write(canal_resultado, registro.data() + feitos, registro.size() - feitos);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        feitos += static_cast<std::size_t>(n);
    }
}

void AvisaFormato(const char* formato) {
    EnviaRegistro(kRegistroFormato, formato != nullptr ? formato : "");
}

class Tubo {
  public:
    Tubo() {
        if (pipe2(fd_, O_CLOEXEC) != 0) fd_[0] = fd_[1] = -1;
    }
    ~Tubo() {
        Fecha(0);
        Fecha(1);
    }
    Tubo(const Tubo&) = delete;
    Tubo& operator=(const Tubo&) = delete;
    bool aberto() const { return fd_[0] >= 0; }
    int leitura() const { return fd_[0]; }
    int escrita() const { return fd_[1]; }
    void Fecha(int lado) {
        if (fd_[lado] >= 0) close(fd_[lado]);
        fd_[lado] = -1;
    }

  private:
    int fd_[2];
};

// SIGTERM held back from just before the fork until the child's process id is known to the
// cancel handler, so that a cancel never misses the child.
class SigtermBloqueado {
  public:
    SigtermBloqueado() {
        sigset_t sigterm;
        sigemptyset(&sigterm);
        sigaddset(&sigterm, SIGTERM);
        sigprocmask(SIG_BLOCK, &sigterm, &anterior_);
    }
    ~SigtermBloqueado() { sigprocmask(SIG_SETMASK, &anterior_, nullptr); }
    SigtermBloqueado(const SigtermBloqueado&) = delete;
    SigtermBloqueado& operator=(const SigtermBloqueado&) = delete;
    const sigset_t& anterior() const { return anterior_; }

  private:
    sigset_t anterior_;
};

// Every descriptor but the three standard ones and `guardado`: a host's own (the studio's
// listening socket and connections) must not stay open for as long as a job runs.
void FechaHerdados(int guardado) {
    if (guardado > kPrimeiroHerdado) close_range(kPrimeiroHerdado, guardado - 1, 0);
    close_range(std::max(guardado, kPrimeiroHerdado - 1) + 1, ~0u, 0);
}

// The address space the child holds now, a copy of its host's, in bytes; 0 when unknown.
std::size_t EspacoAtual() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr) return 0;
    unsigned long paginas = 0;
    const bool lido = std::fscanf(f, "%lu", &paginas) == 1;
    std::fclose(f);
    return lido ? paginas * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) : 0;
}

// The job may take `memoria` bytes beyond what it starts with: the host's own size, copied at
// the fork, is no measure of the job.
void LimitaMemoria(std::size_t memoria) {
    if (memoria == 0) return;
    const std::size_t atual = EspacoAtual();
    if (atual == 0) return;
    const rlimit limite = {atual + memoria, atual + memoria};
    setrlimit(RLIMIT_AS, &limite);
}

// The child: never returns. Everything it changes (descriptors, working directory, TMPDIR, the
// forms folder) is its own.
[[noreturn]] void ExecutaFilho(const std::string& pasta, const std::string& job,
                               std::vector<std::string> argumentos,
                               const std::string& pasta_formularios, int erros, int resultado,
                               pid_t pai, const sigset_t& mascara, const LimitesTrabalho& limites,
                               const EntradaTrabalho& entrada) {
    signal(SIGTERM, SIG_DFL);
    sigprocmask(SIG_SETMASK, &mascara, nullptr);
    // A host killed outright takes its job with it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != pai) _exit(kFalha);
    dup2(erros, STDERR_FILENO);
    resultado = dup2(resultado, kPrimeiroHerdado) == kPrimeiroHerdado ? kPrimeiroHerdado : -1;
    FechaHerdados(resultado);
    canal_resultado = resultado;
    LimitaMemoria(limites.memoria);
    const int saida = open(job.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (saida < 0 || dup2(saida, STDOUT_FILENO) != STDOUT_FILENO || chdir(pasta.c_str()) != 0) {
        std::fprintf(stderr, "Erro na criacao do arquivo [%s] (%s)\n", job.c_str(),
                     std::strerror(errno));
        _exit(kFalha);
    }
    close(saida);
    setenv("TMPDIR", pasta.c_str(), 1);
    pasta_formulario = pasta_formularios;
    aviso_formato = AvisaFormato;
    std::vector<char*> argv;
    for (std::string& a : argumentos)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const int status = entrada(static_cast<int>(argumentos.size()), argv.data());
    std::fflush(stdout);
    EnviaRegistro(kRegistroPaginas, std::to_string(paginas_impressas));
    _exit(status);
}

// The child's standard error, in whole lines (a last one without its line end included).
class ColetorMensagens {
  public:
    explicit ColetorMensagens(Execucao& e) : e_(e) {}
    void Acrescenta(std::string_view dados) {
        for (std::size_t fim; (fim = dados.find('\n')) != std::string_view::npos;) {
            Anexa(dados.substr(0, fim));
            Guarda();
            dados.remove_prefix(fim + 1);
        }
        Anexa(dados);
    }
    void Termina() {
        if (!linha_.empty()) Guarda();
        // The last line, which says why a failed job stopped, is always kept.
        if (ultima_omitida_) {
            e_.mensagens.push_back(std::move(*ultima_omitida_));
            --e_.mensagens_omitidas;
        }
    }

  private:
    // A line longer than all that is kept of the messages is cut there.
    void Anexa(std::string_view trecho) {
        linha_.append(trecho.substr(0, kMaxMensagens - std::min(linha_.size(), kMaxMensagens)));
    }
    void Guarda() {
        if (guardados_ + linha_.size() <= kMaxMensagens) {
            guardados_ += linha_.size();
            e_.mensagens.push_back(std::move(linha_));
        } else {
            ++e_.mensagens_omitidas;
            ultima_omitida_ = std::move(linha_);
        }
        linha_.clear();
    }
    Execucao& e_;
    std::string linha_;
    std::optional<std::string> ultima_omitida_;
    std::size_t guardados_ = 0;
};

// The result records received so far; a record cut by a read waits for its end.
void LeRegistros(std::string& pendente, Execucao& e) {
    std::size_t inicio = 0;
    for (std::size_t fim; (fim = pendente.find('\0', inicio)) != std::string::npos;
         inicio = fim + 1) {
        const std::string_view registro(pendente.data() + inicio, fim - inicio);
        if (registro.empty()) continue;
        const std::string valor(registro.substr(1));
        if (registro.front() == kRegistroFormato) e.formato = valor;
        if (registro.front() == kRegistroPaginas)
            e.paginas = std::strtol(valor.c_str(), nullptr, 10);
    }
    pendente.erase(0, inicio);
}

using Relogio = std::chrono::steady_clock;

// How long the next wait for the child may last, in milliseconds (-1: for ever); 0 once the
// child must be killed, with the reason set in `e`.
int Espera(const LimitesTrabalho& limites, Relogio::time_point prazo, Execucao& e) {
    if (limites.cancelado != nullptr && limites.cancelado->load()) {
        e.cancelado = true;
        return 0;
    }
    std::chrono::milliseconds espera{-1};
    if (limites.tempo.count() > 0) {
        const auto resta = std::chrono::ceil<std::chrono::milliseconds>(prazo - Relogio::now());
        if (resta.count() <= 0) {
            e.esgotado = true;
            return 0;
        }
        espera = resta;
    }
    if (limites.cancelado != nullptr && (espera.count() < 0 || espera > kIntervaloCancelamento))
        espera = kIntervaloCancelamento;
    return static_cast<int>(espera.count());
}

// Reads both pipes until the child has closed them (it has then ended, or is about to), or
// until it is killed for its limits.
void LeFilho(int erros, int resultado, pid_t filho, const LimitesTrabalho& limites,
             Execucao& e) {
    ColetorMensagens mensagens(e);
    std::string pendente;
    char bloco[kBlocoLeitura];
    pollfd fds[2] = {{erros, POLLIN, 0}, {resultado, POLLIN, 0}};
    const Relogio::time_point prazo = Relogio::now() + limites.tempo;
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        const int espera = Espera(limites, prazo, e);
        if (espera == 0) {
            kill(filho, SIGKILL);
            break;
        }
        const int prontos = poll(fds, 2, espera);
        if (prontos < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (pollfd& p : fds) {
            if (p.fd < 0 || (p.revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
            const ssize_t n = read(p.fd, bloco, sizeof bloco);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                p.fd = -1;
                continue;
            }
            const std::string_view dados(bloco, static_cast<std::size_t>(n));
            if (p.fd == erros) {
                mensagens.Acrescenta(dados);
            } else {
                pendente.append(dados);
                LeRegistros(pendente, e);
            }
        }
    }
    mensagens.Termina();
}

}  // namespace

Execucao ExecutaTrabalho(const PastaTrabalho& pasta, const std::vector<std::string>& argumentos,
                         const std::string& pasta_formularios) {
    return ExecutaTrabalho(pasta, argumentos, pasta_formularios, LimitesTrabalho{}, Principal);
}

int ExecutaPrograma(int, char** argv) {
    execvp(argv[0], argv);
    std::fprintf(stderr, "Erro na execucao do %s (%s)\n", argv[0], std::strerror(errno));
    return 127;
}

Execucao ExecutaTrabalho(const PastaTrabalho& pasta, const std::vector<std::string>& argumentos,
                         const std::string& pasta_formularios, const LimitesTrabalho& limites,
                         const EntradaTrabalho& entrada) {
    Execucao e;
    e.job = pasta.caminho() + kArquivoJob;
    const std::string programa = argumentos.empty() ? "" : argumentos.front();
    Tubo erros, resultado;
    if (!erros.aberto() || !resultado.aberto()) {
        e.falha = "Erro na execucao do " + programa + " [pipe] (" + std::strerror(errno) + ")";
        return e;
    }
    // Nothing buffered here may be written twice, once by each process.
    std::fflush(nullptr);
    pid_t filho;
    {
        SigtermBloqueado bloqueio;
        const pid_t pai = getpid();
        filho = fork();
        if (filho == 0)
            ExecutaFilho(pasta.caminho(), e.job, argumentos, pasta_formularios, erros.escrita(),
                         resultado.escrita(), pai, bloqueio.anterior(), limites, entrada);
        if (filho > 0) CancelaTambem(filho);
    }
    if (filho < 0) {
        e.falha = "Erro na execucao do " + programa + " [fork] (" + std::strerror(errno) + ")";
        return e;
    }
    erros.Fecha(1);
    resultado.Fecha(1);
    LeFilho(erros.leitura(), resultado.leitura(), filho, limites, e);
    int estado = 0;
    while (waitpid(filho, &estado, 0) < 0 && errno == EINTR) {
    }
    CancelaTambem(0);
    if (WIFSIGNALED(estado)) e.sinal = WTERMSIG(estado);
    e.status = WIFEXITED(estado) ? WEXITSTATUS(estado) : kFalha & 0xFF;
    return e;
}
