#include "studio/formulario.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "studio/pedido.h"
#include "util/rascunho.h"

namespace fs = std::filesystem;

namespace {

// The mode bits a form keeps across a save: permissions, setgid and sticky.
constexpr mode_t kBitsModo = 07777;

std::string Motivo(const std::string& mensagem, const std::string& nome, int erro = errno) {
    return mensagem + " [" + nome + "] (" + std::strerror(erro) + ")";
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
    // The saved form keeps its mode, and its owner and group where the studio may keep them.
    Rascunho rascunho;
    if (!rascunho.Abre(caminho_, havia ? (info.st_mode & kBitsModo) : PermissoesNovoArquivo())) {
        erro = Motivo("Erro na criacao do arquivo temporario", caminho_, rascunho.erro());
        return false;
    }
    if (havia && (info.st_uid != geteuid() || info.st_gid != getegid()))
        static_cast<void>(fchown(rascunho.descritor(), info.st_uid, info.st_gid));
    std::fwrite(bytes.data(), 1, bytes.size(), rascunho.fluxo());
    if (!rascunho.Conclui()) {
        erro = Motivo("Erro na gravacao do arquivo", caminho_, rascunho.erro());
        return false;
    }
    texto_ = bytes;
    existe_ = true;
    return true;
}
