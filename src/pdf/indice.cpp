#include "pdf/indice.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

constexpr const char* kCabecalho =
    "arquivo,valor,folha_inicial,folha_final,folhas,paginas,bytes,situacao";
constexpr const char* kFimLinha = "\r\n";
// The room asked of the disk is at most this share of its free room, so that the customers'
// files keep the rest, and is halved until it fits, down to one page.
constexpr long long kParteDoDisco = 2;
constexpr long long kMenorReserva = 4096;

// A field as RFC 4180 writes it: quoted, with its quotes doubled, when it holds a separator.
std::string Campo(std::string_view texto) {
    if (texto.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(texto);
    std::string campo = "\"";
    for (const char c : texto) {
        if (c == '"') campo += '"';
        campo += c;
    }
    return campo + "\"";
}

}  // namespace

bool Indice::Abre(const std::string& pasta) {
    escritos_ = reservados_ = maior_linha_ = 0;
    if (!arquivo_.Abre(pasta + "/" + kNomeIndice, PermissoesNovoArquivo())) {
        std::fprintf(stderr, "Erro na abertura do arquivo [%s] - %s\n", arquivo_.final().c_str(),
                     std::strerror(arquivo_.erro()));
        return false;
    }
    Escreve(std::string(kCabecalho) + kFimLinha);
    return true;
}

void Indice::ReservaEspaco(long linhas) {
    if (!aberto()) return;
    long long falta = escritos_ + linhas * std::max(kLinhaIndiceTipica, maior_linha_) - reservados_;
    struct statvfs disco {};
    if (fstatvfs(arquivo_.descritor(), &disco) == 0)
        falta = std::min(falta, static_cast<long long>(disco.f_bavail) *
                                    static_cast<long long>(disco.f_frsize) / kParteDoDisco);
    // Without this a file system keeps no room; the rows are then written as any file is.
    for (; falta >= kMenorReserva; falta /= 2) {
        if (fallocate(arquivo_.descritor(), FALLOC_FL_KEEP_SIZE, reservados_, falta) == 0) {
            reservados_ += falta;
            return;
        }
    }
}

void Indice::Acrescenta(const LinhaIndice& l) {
    if (!aberto()) return;
    Escreve(Campo(l.arquivo) + "," + Campo(l.valor) + "," + std::to_string(l.primeira) + "," +
            std::to_string(l.ultima) + "," + std::to_string(l.folhas) + "," +
            std::to_string(l.paginas) + "," + std::to_string(l.bytes) + "," + Campo(l.situacao) +
            kFimLinha);
}

void Indice::Escreve(const std::string& texto) {
    std::fwrite(texto.data(), 1, texto.size(), arquivo_.fluxo());
    const auto tamanho = static_cast<long long>(texto.size());
    escritos_ += tamanho;
    maior_linha_ = std::max(maior_linha_, tamanho);
}

bool Indice::Conclui() {
    if (!aberto()) return true;
    // The room kept past the last row goes back to the disk: some file systems free it for a
    // hole punched there, others for a truncation to the file's own size.
    const int fd = arquivo_.descritor();
    if (std::fflush(arquivo_.fluxo()) == 0 && arquivo_.bytes() == escritos_ &&
        reservados_ > escritos_) {
        fallocate(fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, escritos_,
                  reservados_ - escritos_);
        [[maybe_unused]] const int truncado = ftruncate(fd, escritos_);
    }
    if (arquivo_.Conclui()) return true;
    std::fprintf(stderr, "Erro na gravacao do arquivo [%s] - %s\n", arquivo_.final().c_str(),
                 std::strerror(arquivo_.erro()));
    return false;
}
