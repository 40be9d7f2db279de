#include "studio/formulario.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "studio/pedido.h"

namespace fs = std::filesystem;

namespace {

// A form saved for the first time may be read and written by all, less what the umask takes.
constexpr mode_t kPermissoesNovo = 0666;
// The mode bits a form keeps across a save: permissions, setgid and sticky.
constexpr mode_t kBitsModo = 07777;

std::string Motivo(const std::string& mensagem, const std::string& nome) {
    return mensagem + " [" + nome + "] (" + std::strerror(errno) + ")";
}

bool EscreveTudo(int fd, const std::string& bytes) {
    std::size_t feitos = 0;
    while (feitos < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + feitos, bytes.size() - feitos);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        feitos += static_cast<std::size_t>(n);
    }
    return true;
}

// The folder's own entry for the new name reaches the disk too.
void SincronizaPasta(const std::string& pasta) {
    const int fd = open(pasta.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

mode_t ModoNovo() {
    const mode_t mascara = umask(0);
    umask(mascara);
    return kPermissoesNovo & ~mascara;
}

}  // namespace

bool FormularioEditado::Abre(const std::string& caminho, std::string& erro) {
    std::error_code e;
    fs::path absoluto = fs::absolute(caminho, e);
    if (e) absoluto = caminho;
    // A form reached through a link is saved where the link leads, and the link stays.
    const fs::path real = fs::weakly_canonical(absoluto, e);
    caminho_ = (e ? absoluto : real).lexically_normal().string();
    pasta_ = fs::path(caminho_).parent_path().string();
    struct stat info {};
    if (stat(caminho_.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            erro = Motivo("Erro na abertura do arquivo", caminho);
            return false;
        }
        existe_ = false;
        return true;
    }
    if (!S_ISREG(info.st_mode)) {
        errno = EISDIR;
        erro = Motivo("Erro na abertura do arquivo", caminho);
        return false;
    }
    std::ifstream arquivo(caminho_, std::ios::binary);
    if (!arquivo) {
        erro = Motivo("Erro na abertura do arquivo", caminho);
        return false;
    }
    texto_.assign(std::istreambuf_iterator<char>(arquivo), std::istreambuf_iterator<char>());
    if (arquivo.bad()) {
        erro = Motivo("Erro na leitura do arquivo", caminho);
        return false;
    }
    existe_ = true;
    conjunto_ = ConjuntoDoFormulario(texto_);
    return true;
}

bool FormularioEditado::Grava(const std::string& bytes, std::string& erro) {
    struct stat info {};
    const bool havia = stat(caminho_.c_str(), &info) == 0;
    const std::string nome = fs::path(caminho_).filename().string();
    std::string rascunho = pasta_ + "/." + nome + ".XXXXXX";
    const int fd = mkstemp(rascunho.data());
    if (fd < 0) {
        erro = Motivo("Erro na criacao do arquivo temporario", rascunho);
        return false;
    }
    // The saved form keeps its mode, and its owner and group where the studio may keep them.
    bool ok = fchmod(fd, havia ? (info.st_mode & kBitsModo) : ModoNovo()) == 0;
    if (havia && (info.st_uid != geteuid() || info.st_gid != getegid()))
        static_cast<void>(fchown(fd, info.st_uid, info.st_gid));
    ok = ok && EscreveTudo(fd, bytes) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok && std::rename(rascunho.c_str(), caminho_.c_str()) == 0) {
        SincronizaPasta(pasta_);
        texto_ = bytes;
        existe_ = true;
        return true;
    }
    erro = Motivo("Erro na gravacao do arquivo", caminho_);
    std::remove(rascunho.c_str());
    return false;
}
