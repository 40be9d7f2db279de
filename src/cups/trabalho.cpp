#include "cups/trabalho.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cups/cancelamento.h"
#include "driver/driver.h"

namespace {

// The job's directory, among whatever else the spooler keeps in its TMPDIR.
constexpr const char* kModeloPasta = "/morv-filtro-XXXXXX";
// Names inside the job's directory; the program's own files there are "vodrel.dbg",
// "md5.tmp" and the data files "morvXXXXXX".
constexpr const char* kArquivoJob = "/job";
constexpr const char* kArquivoMensagens = "/mensagens";
// The program's status on any error.
constexpr int kFalha = -1;

// Points a standard descriptor at a new file for the life of the object, then gives the
// descriptor back what it had.
class DescritorDesviado {
  public:
    DescritorDesviado(int fd, const std::string& arquivo)
        : fd_(fd), original_(fcntl(fd, F_DUPFD_CLOEXEC, 0)) {
        const int novo = open(arquivo.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        desviado_ = original_ >= 0 && novo >= 0 && dup2(novo, fd_) == fd_;
        if (novo >= 0) close(novo);
    }
    ~DescritorDesviado() {
        if (original_ < 0) return;
        dup2(original_, fd_);
        close(original_);
    }
    DescritorDesviado(const DescritorDesviado&) = delete;
    DescritorDesviado& operator=(const DescritorDesviado&) = delete;
    bool desviado() const { return desviado_; }

  private:
    int fd_;
    int original_;
    bool desviado_ = false;
};

std::string LeTudo(const std::string& nome) {
    std::ifstream arquivo(nome, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(arquivo), std::istreambuf_iterator<char>());
}

}  // namespace

PastaTrabalho::PastaTrabalho(int status_cancelado) {
    const char* tmpdir = std::getenv("TMPDIR");
    modelo_ = std::string(tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp") + kModeloPasta;
    std::string nome = modelo_;
    if (mkdtemp(nome.data()) == nullptr) return;
    caminho_ = nome;
    descritor_ = open(caminho_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descritor_ >= 0) RemoveAoCancelar(descritor_, caminho_.c_str(), status_cancelado);
}

PastaTrabalho::~PastaTrabalho() {
    if (caminho_.empty()) return;
    std::error_code erro;
    std::filesystem::current_path("/", erro);
    std::filesystem::remove_all(caminho_, erro);
    if (descritor_ < 0) return;
    DesarmaCancelamento();
    close(descritor_);
}

Execucao ExecutaTrabalho(const PastaTrabalho& pasta, const std::vector<std::string>& argumentos) {
    Execucao e;
    e.job = pasta.caminho() + kArquivoJob;
    const std::string mensagens = pasta.caminho() + kArquivoMensagens;
    std::vector<std::string> copia = argumentos;
    std::vector<char*> argv;
    for (std::string& a : copia)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    setenv("TMPDIR", pasta.caminho().c_str(), 1);
    e.status = kFalha;
    e.mensagens = "Erro na criacao do arquivo [" + e.job + "]\n";
    if (chdir(pasta.caminho().c_str()) != 0) return e;
    {
        DescritorDesviado saida(STDOUT_FILENO, e.job);
        DescritorDesviado erros(STDERR_FILENO, mensagens);
        if (!saida.desviado() || !erros.desviado()) return e;
        e.status = Principal(static_cast<int>(copia.size()), argv.data());
        std::fflush(stdout);
    }
    e.mensagens = LeTudo(mensagens);
    e.paginas = paginas_impressas;
    return e;
}
