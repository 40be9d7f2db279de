#include "support/ferramentas.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "support/verificadores.h"

namespace fs = std::filesystem;

namespace {
// Only a bound against a process that never answers: every wait polls and ends as soon as its
// condition holds.
constexpr auto kEsperaMaxima = std::chrono::minutes(3);
constexpr auto kIntervaloEspera = std::chrono::milliseconds(50);
}  // namespace

DiretorioTemporario::DiretorioTemporario() {
    std::string modelo = (fs::temp_directory_path() / "morv-teste-XXXXXX").string();
    if (mkdtemp(modelo.data()) == nullptr) throw std::runtime_error("mkdtemp");
    caminho_ = modelo;
    anterior_ = fs::current_path().string();
    fs::current_path(caminho_);
}

DiretorioTemporario::~DiretorioTemporario() {
    std::error_code erro;
    fs::current_path(anterior_, erro);
    fs::remove_all(caminho_, erro);
}

VariavelTrocada::VariavelTrocada(const std::string& nome, const std::string& valor) : nome_(nome) {
    if (const char* atual = std::getenv(nome_.c_str())) anterior_ = atual;
    setenv(nome_.c_str(), valor.c_str(), 1);
}

VariavelTrocada::~VariavelTrocada() {
    if (anterior_)
        setenv(nome_.c_str(), anterior_->c_str(), 1);
    else
        unsetenv(nome_.c_str());
}

TmpdirPrivado::TmpdirPrivado() {
    std::string modelo = (fs::temp_directory_path() / "morv-tmpdir-XXXXXX").string();
    if (mkdtemp(modelo.data()) == nullptr) throw std::runtime_error("mkdtemp");
    caminho_ = modelo;
    tmpdir_.emplace("TMPDIR", caminho_);
}

TmpdirPrivado::~TmpdirPrivado() {
    tmpdir_.reset();
    std::error_code erro;
    fs::remove_all(caminho_, erro);
}

void EscreveArquivo(const std::string& nome, const std::string& conteudo) {
    std::ofstream arquivo(nome, std::ios::binary | std::ios::trunc);
    arquivo.write(conteudo.data(), static_cast<std::streamsize>(conteudo.size()));
}

std::string LeArquivo(const std::string& nome) {
    std::ifstream arquivo(nome, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(arquivo), std::istreambuf_iterator<char>());
}

bool ExisteArquivo(const std::string& nome) {
    return fs::exists(nome);
}

bool Espera(const std::function<bool()>& condicao) {
    const auto limite = std::chrono::steady_clock::now() + kEsperaMaxima;
    for (; !condicao(); std::this_thread::sleep_for(kIntervaloEspera))
        if (std::chrono::steady_clock::now() > limite) return false;
    return true;
}

std::string Repete(const std::string& texto, int vezes) {
    std::string r;
    for (int i = 0; i < vezes; ++i)
        r += texto;
    return r;
}

void ExecutaNoFilho(const std::string& programa, const std::vector<std::string>& argumentos) {
    std::vector<char*> argv = {const_cast<char*>(programa.c_str())};
    for (const auto& a : argumentos)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(programa.c_str(), argv.data());
    _exit(127);
}

namespace {

// Moves bytes between the child's three pipes until its output and error are closed.
void TrocaDados(int fd_entrada, int fd_saida, int fd_erro, const std::string& entrada,
                Resultado& r) {
    std::size_t enviados = 0;
    if (entrada.empty()) {
        close(fd_entrada);
        fd_entrada = -1;
    }
    while (fd_saida >= 0 || fd_erro >= 0) {
        pollfd fds[3] = {{fd_saida, POLLIN, 0}, {fd_erro, POLLIN, 0}, {fd_entrada, POLLOUT, 0}};
        if (poll(fds, 3, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        char bloco[65536];
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            ssize_t n = read(fds[i].fd, bloco, sizeof bloco);
            if (n <= 0) {
                close(fds[i].fd);
                (i == 0 ? fd_saida : fd_erro) = -1;
            } else {
                (i == 0 ? r.saida : r.erro).append(bloco, static_cast<std::size_t>(n));
            }
        }
        if (fd_entrada >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            ssize_t n = write(fd_entrada, entrada.data() + enviados, entrada.size() - enviados);
            if (n > 0) enviados += static_cast<std::size_t>(n);
            if (n <= 0 || enviados == entrada.size()) {
                close(fd_entrada);
                fd_entrada = -1;
            }
        }
    }
    if (fd_entrada >= 0) close(fd_entrada);
}

}  // namespace

namespace {

// Runs the program as Executa says, calling `prepara` in the child just before it starts.
Resultado ExecutaPreparado(const std::string& programa, const std::vector<std::string>& argumentos,
                           const std::string& entrada, const std::function<void()>& prepara) {
    std::signal(SIGPIPE, SIG_IGN);
    int in[2], out[2], err[2];
    if (pipe(in) || pipe(out) || pipe(err)) throw std::runtime_error("pipe");
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
            close(fd);
        prepara();
        ExecutaNoFilho(programa, argumentos);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    Resultado r;
    TrocaDados(in[1], out[0], err[0], entrada, r);
    int estado = 0;
    waitpid(pid, &estado, 0);
    r.status = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
    r.sinal = WIFSIGNALED(estado) ? WTERMSIG(estado) : 0;
    if (r.status == 0 && !r.saida.empty()) {
        if (programa == kMorvex) VerificaJobPCL(r.saida);
        if (programa == kMorvel) VerificaJobPS(r.saida);
        if (programa == kMorvpdf) VerificaJobPDF(r.saida);
    }
    return r;
}

}  // namespace

Resultado Executa(const std::string& programa, const std::vector<std::string>& argumentos,
                  const std::string& entrada) {
    return ExecutaPreparado(programa, argumentos, entrada, [] {});
}

Resultado ExecutaComMemoria(std::size_t bytes, const std::string& programa,
                            const std::vector<std::string>& argumentos) {
    return ExecutaPreparado(programa, argumentos, "", [bytes] {
        const rlimit limite = {bytes, bytes};
        setrlimit(RLIMIT_AS, &limite);
    });
}

Resultado ExecutaSemLeitor(const std::string& programa,
                           const std::vector<std::string>& argumentos) {
    return ExecutaPreparado(programa, argumentos, "", [] {
        int tubo[2];
        if (pipe(tubo) != 0) _exit(127);
        close(tubo[0]);
        dup2(tubo[1], STDOUT_FILENO);
        close(tubo[1]);
        std::signal(SIGPIPE, SIG_DFL);
    });
}

namespace {

std::string LeMemoria(int fd) {
    std::string texto;
    char bloco[65536];
    for (off_t pos = 0;;) {
        const ssize_t n = pread(fd, bloco, sizeof bloco, pos);
        if (n <= 0) break;
        texto.append(bloco, static_cast<std::size_t>(n));
        pos += n;
    }
    return texto;
}

}  // namespace

ExecucaoAberta::ExecucaoAberta(const std::string& programa,
                               const std::vector<std::string>& argumentos) {
    std::signal(SIGPIPE, SIG_IGN);
    int tubo[2];
    if (pipe2(tubo, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    saida_ = memfd_create("saida", MFD_CLOEXEC);
    erro_ = memfd_create("erro", MFD_CLOEXEC);
    if (saida_ < 0 || erro_ < 0) throw std::runtime_error("memfd_create");
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork");
    if (pid_ == 0) {
        dup2(tubo[0], STDIN_FILENO);
        dup2(saida_, STDOUT_FILENO);
        dup2(erro_, STDERR_FILENO);
        ExecutaNoFilho(programa, argumentos);
    }
    close(tubo[0]);
    entrada_ = tubo[1];
}

ExecucaoAberta::~ExecucaoAberta() {
    FechaEntrada();
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    close(saida_);
    close(erro_);
}

void ExecucaoAberta::Escreve(const std::string& texto) {
    for (std::size_t feitos = 0; feitos < texto.size();) {
        const ssize_t n = write(entrada_, texto.data() + feitos, texto.size() - feitos);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw std::runtime_error("write to the program");
        feitos += static_cast<std::size_t>(n);
    }
}

void ExecucaoAberta::FechaEntrada() {
    if (entrada_ >= 0) close(entrada_);
    entrada_ = -1;
}

void ExecucaoAberta::Sinaliza(int sinal) {
    kill(pid_, sinal);
}

Resultado ExecucaoAberta::Termina() {
    Resultado r;
    int estado = 0;
    while (waitpid(pid_, &estado, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    FechaEntrada();
    r.status = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
    r.sinal = WIFSIGNALED(estado) ? WTERMSIG(estado) : 0;
    r.saida = LeMemoria(saida_);
    r.erro = LeMemoria(erro_);
    return r;
}
