#include "util/sinais.h"

#include <limits.h>
#include <unistd.h>

#include <cstring>

namespace {

constexpr int kSinais[] = {SIGINT, SIGTERM, SIGHUP};

// The handler may run in the middle of anything, a memory allocation included: it reads only
// this storage, made before any file is noted, and makes only system calls.
char caminhos[kRemocoesMaximas][PATH_MAX];
volatile sig_atomic_t notados[kRemocoesMaximas];

void ConjuntoDosSinais(sigset_t& conjunto) {
    sigemptyset(&conjunto);
    for (const int sinal : kSinais)
        sigaddset(&conjunto, sinal);
}

void RemoveNotados(int sinal) {
    for (int i = 0; i < kRemocoesMaximas; ++i)
        if (notados[i]) unlink(caminhos[i]);
    // Ended by the signal itself, as if nothing had caught it.
    struct sigaction padrao {};
    padrao.sa_handler = SIG_DFL;
    sigemptyset(&padrao.sa_mask);
    sigaction(sinal, &padrao, nullptr);
    sigset_t este;
    sigemptyset(&este);
    sigaddset(&este, sinal);
    sigprocmask(SIG_UNBLOCK, &este, nullptr);
    raise(sinal);
    _exit(128 + sinal);
}

}  // namespace

void ArmaSinais() {
    struct sigaction acao {};
    acao.sa_handler = RemoveNotados;
    // A second signal waits until the first has removed the files.
    ConjuntoDosSinais(acao.sa_mask);
    for (const int sinal : kSinais) {
        struct sigaction atual {};
        if (sigaction(sinal, nullptr, &atual) != 0) continue;
        const bool livre = (atual.sa_flags & SA_SIGINFO) == 0 && atual.sa_handler == SIG_DFL;
        if (livre) sigaction(sinal, &acao, nullptr);
    }
}

bool NotaRemocao(const char* caminho) {
    const std::size_t tamanho = std::strlen(caminho);
    if (tamanho >= PATH_MAX) return false;
    const SinaisAdiados adiados;
    for (int i = 0; i < kRemocoesMaximas; ++i) {
        if (notados[i]) continue;
        std::memcpy(caminhos[i], caminho, tamanho + 1);
        notados[i] = 1;
        return true;
    }
    return false;
}

void EsqueceRemocao(const char* caminho) {
    const SinaisAdiados adiados;
    for (int i = 0; i < kRemocoesMaximas; ++i)
        if (notados[i] && std::strcmp(caminhos[i], caminho) == 0) {
            notados[i] = 0;
            return;
        }
}

SinaisAdiados::SinaisAdiados() {
    sigset_t sinais;
    ConjuntoDosSinais(sinais);
    sigprocmask(SIG_BLOCK, &sinais, &anterior_);
}

SinaisAdiados::~SinaisAdiados() {
    sigprocmask(SIG_SETMASK, &anterior_, nullptr);
}
