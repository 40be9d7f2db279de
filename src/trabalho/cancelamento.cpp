#include "trabalho/cancelamento.h"

#include <dirent.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

// The handler may run in the middle of anything, so it only makes system calls, on state set
// before it was armed.
int pasta_cancelavel = -1;
const char* caminho_cancelavel = nullptr;
int status_cancelado = 0;
// Read by the handler: it must never be seen half-written.
std::atomic<pid_t> processo_cancelavel{0};
static_assert(std::atomic<pid_t>::is_always_lock_free);

// One read of the directory's entries.
constexpr std::size_t kBlocoEntradas = 4096;
alignas(dirent64) char entradas[kBlocoEntradas];
// Entries removed while the directory is read may hide others from that read: every pass reads
// it again from the start, until it can go, a few times at most.
constexpr int kPassagens = 8;

bool PontoOuPontoPonto(const char* nome) {
    return std::strcmp(nome, ".") == 0 || std::strcmp(nome, "..") == 0;
}

void EsvaziaPasta() {
    lseek(pasta_cancelavel, 0, SEEK_SET);
    long lidos;
    while ((lidos = syscall(SYS_getdents64, pasta_cancelavel, entradas, sizeof entradas)) > 0) {
        for (long pos = 0; pos < lidos;) {
            const auto* entrada = reinterpret_cast<const dirent64*>(entradas + pos);
            if (!PontoOuPontoPonto(entrada->d_name)) unlinkat(pasta_cancelavel, entrada->d_name, 0);
            pos += entrada->d_reclen;
        }
    }
}

void RemovePasta(int) {
    // The job's process first, or it could go on making files in the directory being removed.
    if (const pid_t processo = processo_cancelavel.load(); processo > 0) {
        kill(processo, SIGKILL);
        while (waitpid(processo, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    for (int passagem = 0; passagem < kPassagens; ++passagem) {
        EsvaziaPasta();
        if (rmdir(caminho_cancelavel) == 0 || errno == ENOENT) break;
    }
    _exit(status_cancelado);
}

void TrataSigterm(void (*tratador)(int)) {
    struct sigaction acao {};
    acao.sa_handler = tratador;
    sigfillset(&acao.sa_mask);
    sigaction(SIGTERM, &acao, nullptr);
}

}  // namespace

void RemoveAoCancelar(int pasta, const char* caminho, int status) {
    pasta_cancelavel = pasta;
    caminho_cancelavel = caminho;
    status_cancelado = status;
    TrataSigterm(RemovePasta);
}

void CancelaTambem(pid_t processo) {
    processo_cancelavel = processo;
}

void DesarmaCancelamento() {
    TrataSigterm(SIG_DFL);
    pasta_cancelavel = -1;
    caminho_cancelavel = nullptr;
    processo_cancelavel = 0;
}
