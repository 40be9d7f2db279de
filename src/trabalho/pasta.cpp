#include "trabalho/pasta.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "trabalho/cancelamento.h"

namespace {

// The random end of the directory's name, as mkdtemp wants it.
constexpr const char* kSufixoUnico = "XXXXXX";

// $TMPDIR made absolute: the job runs with its directory as working directory, where a relative
// name would point elsewhere, and the directory must still be found to be removed.
std::string Temporarios() {
    const char* tmpdir = std::getenv("TMPDIR");
    const std::string pasta = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
    std::error_code erro;
    const std::filesystem::path absoluta = std::filesystem::absolute(pasta, erro);
    return erro ? pasta : absoluta.lexically_normal().string();
}

}  // namespace

PastaTrabalho::PastaTrabalho(const std::string& prefixo, int status_cancelado) {
    std::string pasta = Temporarios();
    if (pasta.size() > 1 && pasta.back() == '/') pasta.pop_back();
    modelo_ = pasta + "/" + prefixo + kSufixoUnico;
    std::string nome = modelo_;
    if (mkdtemp(nome.data()) == nullptr) {
        motivo_ = std::strerror(errno);
        return;
    }
    caminho_ = nome;
    descritor_ = open(caminho_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descritor_ >= 0) RemoveAoCancelar(descritor_, caminho_.c_str(), status_cancelado);
}

PastaTrabalho::~PastaTrabalho() {
    if (caminho_.empty()) return;
    std::error_code erro;
    std::filesystem::remove_all(caminho_, erro);
    if (descritor_ < 0) return;
    DesarmaCancelamento();
    close(descritor_);
}
