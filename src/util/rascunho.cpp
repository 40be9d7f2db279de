#include "util/rascunho.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "util/sinais.h"

namespace {

// The file is written in blocks of this size rather than the stream's default 4 KiB.
constexpr std::size_t kBufferRascunho = 64 * 1024;
// A draft's name keeps at most this many bytes of the final one: with its dot and its unique
// ending it stays under any file system's 255.
constexpr std::size_t kNomeNoRascunho = 200;
// What mkostemp replaces with the draft's unique ending.
constexpr const char* kFimUnico = ".XXXXXX";

// The folder of a path ("." for a bare name) and its last component.
std::string PastaDe(const std::string& caminho) {
    const std::size_t barra = caminho.find_last_of('/');
    if (barra == std::string::npos) return ".";
    return barra == 0 ? "/" : caminho.substr(0, barra);
}

std::string NomeDe(const std::string& caminho) {
    const std::size_t barra = caminho.find_last_of('/');
    return barra == std::string::npos ? caminho : caminho.substr(barra + 1);
}

std::string NomeDoRascunho(const std::string& final) {
    const std::size_t barra = final.find_last_of('/');
    const std::string pasta = barra == std::string::npos ? "" : final.substr(0, barra + 1);
    return pasta + "." + NomeDe(final).substr(0, kNomeNoRascunho) + kFimUnico;
}

// A folder that cannot be synced by its file system (EINVAL) has nothing more to do.
int SincronizaPasta(const std::string& pasta) {
    const int fd = open(pasta.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int erro = fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    if (close(fd) != 0 && erro == 0) erro = errno;
    return erro;
}

}  // namespace

mode_t PermissoesNovoArquivo() {
    const mode_t mascara = umask(0);
    umask(mascara);
    return 0666 & ~mascara;
}

Rascunho::~Rascunho() {
    Descarta();
}

bool Rascunho::Abre(const std::string& final, mode_t modo) {
    Descarta();
    final_ = final;
    erro_ = 0;
    bytes_ = 0;
    std::string nome = NomeDoRascunho(final);
    {
        // Between its making and its note, a signal would leave the draft behind.
        const SinaisAdiados adiados;
        fd_ = mkostemp(nome.data(), O_CLOEXEC);
        if (fd_ < 0) return Falha(errno);
        if (!NotaRemocao(nome.c_str())) {
            unlink(nome.c_str());
            close(fd_);
            fd_ = -1;
            return Falha(ENAMETOOLONG);
        }
    }
    rascunho_ = nome;
    // mkostemp makes the file for its owner alone.
    if (fchmod(fd_, modo) != 0) return Falha(errno);
    const cookie_io_functions_t funcoes = {nullptr, EscreveNoRascunho, nullptr, nullptr};
    fluxo_ = fopencookie(this, "w", funcoes);
    if (fluxo_ == nullptr) return Falha(errno);
    std::setvbuf(fluxo_, nullptr, _IOFBF, kBufferRascunho);
    return true;
}

ssize_t Rascunho::EscreveNoRascunho(void* rascunho, const char* dados, std::size_t tamanho) {
    auto* r = static_cast<Rascunho*>(rascunho);
    // After a failure, and once the draft is being thrown away, nothing more goes to it.
    if (r->erro_ != 0 || r->descartando_) return 0;
    for (std::size_t feitos = 0; feitos < tamanho;) {
        const ssize_t n = write(r->fd_, dados + feitos, tamanho - feitos);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            r->erro_ = n < 0 ? errno : ENOSPC;
            errno = r->erro_;
            return 0;
        }
        feitos += static_cast<std::size_t>(n);
        r->bytes_ += n;
    }
    return static_cast<ssize_t>(tamanho);
}

bool Rascunho::Falha(int erro) {
    if (erro_ == 0) erro_ = erro;
    Descarta();
    return false;
}

void Rascunho::Fecha() {
    if (fluxo_ != nullptr) std::fclose(fluxo_);
    fluxo_ = nullptr;
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

bool Rascunho::Conclui() {
    if (fd_ < 0) return Falha(erro_ != 0 ? erro_ : EBADF);
    if (fluxo_ != nullptr && std::fflush(fluxo_) != 0 && erro_ == 0) erro_ = errno;
    if (erro_ != 0) return Falha(erro_);
    if (fsync(fd_) != 0) return Falha(errno);
    std::fclose(fluxo_);
    fluxo_ = nullptr;
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) return Falha(errno);
    if (std::rename(rascunho_.c_str(), final_.c_str()) != 0) return Falha(errno);
    EsqueceRemocao(rascunho_.c_str());
    rascunho_.clear();
    // Without its folder on the disk, the renamed file may be lost with a power cut.
    if (const int erro = SincronizaPasta(PastaDe(final_)); erro != 0) {
        unlink(final_.c_str());
        erro_ = erro;
        return false;
    }
    return true;
}

void Rascunho::Descarta() {
    descartando_ = true;
    Fecha();
    descartando_ = false;
    if (rascunho_.empty()) return;
    unlink(rascunho_.c_str());
    EsqueceRemocao(rascunho_.c_str());
    rascunho_.clear();
}
