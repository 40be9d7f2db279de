#include "driver/antevisao.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "driver/folhas.h"
#include "interp/dados.h"
#include "interp/interp.h"
#include "util/rastro.h"

namespace {

// What the child writes before the value it read; nothing at all when it could not read one.
constexpr char kComValor = 'v';
// Bytes taken per read of the child's answer.
constexpr std::size_t kBloco = 4096;

void GravaTudo(int fd, std::string_view texto) {
    while (!texto.empty()) {
        const ssize_t n = write(fd, texto.data(), texto.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        texto.remove_prefix(static_cast<std::size_t>(n));
    }
}

// The child leaves everything of the run as it is: it writes no message, no trace line and
// nothing of the job, closes none of the run's files and ends without flushing their buffers.
[[noreturn]] void LeNoFilho(int escrita, const char* formato, const std::string& dados) {
    const int nulo = open("/dev/null", O_WRONLY);
    if (nulo >= 0) dup2(nulo, STDERR_FILENO);
    dbg = nullptr;
    std::string msg;
    if (InicializaInterp(formato, dados.c_str(), msg) == 0 && PrimeiraPagina() == 0) {
        LePaginaSemDesenhar();
        GravaTudo(escrita, std::string(1, kComValor) + ValorDoEnvelope());
    }
    _exit(0);
}

}  // namespace

std::optional<std::string> ValorNaPrimeiraFolha(const char* formato, const std::string& dados) {
    int tubo[2];
    if (pipe2(tubo, O_CLOEXEC) != 0) return std::nullopt;
    const pid_t filho = fork();
    if (filho == 0) {
        close(tubo[0]);
        LeNoFilho(tubo[1], formato, dados);
    }
    close(tubo[1]);
    std::string resposta;
    if (filho > 0) {
        char bloco[kBloco];
        for (;;) {
            const ssize_t n = read(tubo[0], bloco, sizeof bloco);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            resposta.append(bloco, static_cast<std::size_t>(n));
        }
        int estado = 0;
        while (waitpid(filho, &estado, 0) < 0 && errno == EINTR) {
        }
        if (!WIFEXITED(estado) || WEXITSTATUS(estado) != 0) resposta.clear();
    }
    close(tubo[0]);
    if (resposta.empty() || resposta.front() != kComValor) return std::nullopt;
    return resposta.substr(1);
}
