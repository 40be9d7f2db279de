#include "support/cupsd_privado.h"

#include <arpa/inet.h>
#include <cups/cups.h>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// CUPS's administration commands live here, outside some users' PATH.
constexpr const char* kPath = "PATH=/usr/sbin:/usr/bin:/sbin:/bin";
// The queues' backend: each job, from its file or standard input, into a file of its own named
// by the device's path and the job's number, so jobs of one queue never overwrite each other;
// called without arguments (the spooler looking for devices), it finds none. Owned by root and
// closed to everyone else, so the spooler runs it as root and it may write where it likes.
constexpr const char* kBackend = "trabalhos";
constexpr const char* kScriptBackend =
    "#!/bin/sh\n[ $# -eq 0 ] && exit 0\nexec cat ${6:+\"$6\"} >\"${DEVICE_URI#*:}-$1\"\n";
// How long a query of the server may wait for its connection, in milliseconds.
constexpr int kEsperaConexao = 30000;
// The reason the spooler gives a job it stopped because its filter failed.
constexpr const char* kFalhaDoFiltro = "job-completed-with-errors";

std::string Shell(const std::string& comando) {
    std::string saida = Executa("/usr/bin/env", {kPath, "sh", "-c", comando}).saida;
    while (!saida.empty() && saida.back() == '\n')
        saida.pop_back();
    return saida;
}

// A port nobody listens on now: the kernel's pick for a socket bound to port 0.
int PortaLivre() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in endereco{};
    endereco.sin_family = AF_INET;
    endereco.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t tamanho = sizeof endereco;
    bind(s, reinterpret_cast<sockaddr*>(&endereco), sizeof endereco);
    getsockname(s, reinterpret_cast<sockaddr*>(&endereco), &tamanho);
    close(s);
    return ntohs(endereco.sin_port);
}

}  // namespace

std::string CupsdPrivado::Impedimento() {
    if (Shell("command -v cupsd && command -v lpadmin && command -v cups-config").empty())
        return "cupsd, its clients or cups-config are missing (packages cups, libcups2-dev)";
    if (geteuid() != 0) return "a private cupsd needs root: it runs its filters as lp";
    if (getgrnam("lp") == nullptr) return "there is no group lp to run the filters";
    return "";
}

CupsdPrivado::CupsdPrivado(const std::vector<std::string>& filtros,
                           const std::vector<std::pair<std::string, std::string>>& ambiente,
                           const std::vector<std::string>& tipos) {
    std::string modelo = (fs::temp_directory_path() / "morv-cupsd-XXXXXX").string();
    if (mkdtemp(modelo.data()) == nullptr) throw std::runtime_error("mkdtemp");
    pasta_.caminho = modelo;
    const std::string& pasta = pasta_.caminho;
    // Filters run as lp and must reach their programs; cupsd makes and mends the rest.
    chmod(pasta.c_str(), 0755);
    for (const char* sub : {"/spool/tmp", "/log", "/saida", "/bin/filter", "/bin/backend"})
        fs::create_directories(pasta + sub);
    const fs::path sistema = Shell("cups-config --serverbin");
    fs::create_symlink(sistema / "daemon", pasta + "/bin/daemon");
    const std::string backend = pasta + "/bin/backend/" + kBackend;
    EscreveArquivo(backend, kScriptBackend);
    chmod(backend.c_str(), 0700);
    for (const auto& filtro : fs::directory_iterator(sistema / "filter"))
        fs::create_symlink(filtro, pasta + "/bin/filter/" + filtro.path().filename().string());
    // Copies, owned by root and writable by no one else, as cupsd demands; in place of the
    // system's own, never through it, should the machine have them installed.
    for (const fs::path filtro : filtros) {
        const std::string destino = pasta + "/bin/filter/" + filtro.filename().string();
        fs::remove(destino);
        fs::copy_file(filtro, destino);
        chmod(destino.c_str(), 0755);
    }
    // cupsd reads MIME files from its ServerRoot as well as from its datadir, where an install
    // puts them.
    for (const fs::path tipo : tipos)
        fs::copy_file(tipo, pasta + "/" + tipo.filename().string());
    std::string arquivos = "User lp\nGroup lp\n";
    for (const std::string diretiva :
         {"ServerRoot ", "RequestRoot /spool", "TempDir /spool/tmp", "CacheDir /cache",
          "StateDir /state", "ServerBin /bin", "ErrorLog /log/error_log",
          "AccessLog /log/access_log", "PageLog /log/page_log", "Printcap /printcap"}) {
        const std::size_t espaco = diretiva.find(' ');
        arquivos += diretiva.substr(0, espaco + 1) + pasta + diretiva.substr(espaco + 1) + "\n";
    }
    for (const auto& [nome, valor] : ambiente)
        arquivos += "SetEnv " + nome + " " + valor + "\n";
    EscreveArquivo(pasta + "/cups-files.conf", arquivos);
    porta_ = PortaLivre();
    servidor_ = "127.0.0.1:" + std::to_string(porta_);
    // Any client on the loopback may do anything: the server lives only as long as the test.
    EscreveArquivo(pasta + "/cupsd.conf", "Listen " + servidor_ +
                                              "\nLogLevel debug\nBrowsing No\n<Policy default>\n"
                                              "<Limit All>\nOrder deny,allow\n</Limit>\n"
                                              "</Policy>\n");

    const std::string cupsd = Shell("command -v cupsd"), log = pasta + "/log/cupsd.out";
    pid_ = fork();
    if (pid_ == 0) {
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, STDOUT_FILENO);
        dup2(fd, STDERR_FILENO);
        execl(cupsd.c_str(), cupsd.c_str(), "-f", "-c", (pasta + "/cupsd.conf").c_str(), "-s",
              (pasta + "/cups-files.conf").c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    pronto_ = Espera([&] {
                  return !Vivo() || Cliente("lpstat", {"-r"}).saida == "scheduler is running\n";
              }) &&
              Vivo();
}

bool CupsdPrivado::Vivo() {
    if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) != 0) pid_ = -1;
    return pid_ > 0;
}

CupsdPrivado::~CupsdPrivado() {
    if (Vivo() && kill(pid_, SIGTERM) == 0 && !Espera([&] { return !Vivo(); })) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

CupsdPrivado::Pasta::~Pasta() {
    std::error_code erro;
    fs::remove_all(caminho, erro);
}

Resultado CupsdPrivado::Cliente(const std::string& programa,
                                std::vector<std::string> argumentos) const {
    argumentos.insert(argumentos.begin(), {kPath, programa, "-h", servidor_});
    return Executa("/usr/bin/env", argumentos);
}

std::string CupsdPrivado::Dispositivo(const std::string& fila) const {
    return std::string(kBackend) + ":" + pasta_.caminho + "/saida/" + fila;
}

std::string CupsdPrivado::Impresso(const std::string& trabalho) const {
    return LeArquivo(pasta_.caminho + "/saida/" + trabalho);
}

// A job has ended when it is no longer among the unfinished ones, or when its filter failed: the
// spooler then keeps it stopped, for the operator to cancel or restart.
bool CupsdPrivado::EsperaTrabalhos() const {
    return Espera([&] {
        const Resultado r = Cliente("lpstat", {"-W", "not-completed", "-l", "-o"});
        std::istringstream linhas(r.saida);
        int em_curso = 0;
        for (std::string linha; std::getline(linhas, linha);) {
            // Each job's lines start with its id, flush left.
            if (!linha.empty() && !std::isspace(static_cast<unsigned char>(linha[0]))) ++em_curso;
            if (linha.find(kFalhaDoFiltro) != std::string::npos) --em_curso;
        }
        return r.status == 0 && em_curso == 0;
    });
}

std::string CupsdPrivado::Log(const std::string& nome) const {
    return LeArquivo(pasta_.caminho + "/log/" + nome);
}

std::string CupsdPrivado::Temporarios() const {
    return pasta_.caminho + "/spool/tmp";
}

int CupsdPrivado::EstadoTrabalho(const std::string& trabalho) const {
    const std::size_t traco = trabalho.rfind('-');
    const std::string fila = trabalho.substr(0, traco);
    const int numero = std::atoi(trabalho.c_str() + traco + 1);
    http_t* http = httpConnect2("127.0.0.1", porta_, nullptr, AF_INET, HTTP_ENCRYPTION_NEVER, 1,
                                kEsperaConexao, nullptr);
    if (http == nullptr) return 0;
    cups_job_t* trabalhos = nullptr;
    const int quantos = cupsGetJobs2(http, &trabalhos, fila.c_str(), 0, CUPS_WHICHJOBS_ALL);
    int estado = 0;
    for (int i = 0; i < quantos; ++i)
        if (trabalhos[i].id == numero) estado = trabalhos[i].state;
    cupsFreeJobs(quantos, trabalhos);
    httpClose(http);
    return estado;
}
