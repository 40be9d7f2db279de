#include "pdf/compressao.h"

#include <libdeflate.h>

#include <cstdlib>
#include <memory>
#include <new>

namespace {

// The level the bench measured best for the pages' time against the document's size: the
// higher ones make the bench's document 2% smaller at most, for a fifth more time and up.
constexpr int kNivelRapido = 1;
// The smallest at a compressor's common size: the levels above it take 9 MB of memory, ten
// times as much, for a few bytes less.
constexpr int kNivelMaximo = 9;

// One compressor per level for the life of the process: setting one up costs more than
// compressing a page.
class Compressor {
  public:
    explicit Compressor(int nivel) : c_(libdeflate_alloc_compressor(nivel)) {
        if (c_ == nullptr) throw std::bad_alloc();
    }
    ~Compressor() { libdeflate_free_compressor(c_); }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    void Comprime(std::string_view dados, std::string& comprimido) {
        const std::size_t limite = libdeflate_zlib_compress_bound(c_, dados.size());
        // Room for the worst case, left uninitialised: only what the compressor writes is ever
        // touched, so a large stream (the cross-reference table of a long run) costs memory
        // for its compressed size only.
        if (limite > tamanho_) {
            espaco_.reset(new char[limite]);
            tamanho_ = limite;
        }
        const std::size_t n =
            libdeflate_zlib_compress(c_, dados.data(), dados.size(), espaco_.get(), limite);
        // The bound leaves room for any input: nothing else can make it fail.
        if (n == 0) std::abort();
        comprimido.assign(espaco_.get(), n);
    }

  private:
    libdeflate_compressor* c_;
    std::unique_ptr<char[]> espaco_;
    std::size_t tamanho_ = 0;
};

}  // namespace

void Comprime(std::string_view dados, std::string& comprimido, Compressao compressao) {
    static Compressor rapido(kNivelRapido);
    static Compressor maximo(kNivelMaximo);
    (compressao == Compressao::rapida ? rapido : maximo).Comprime(dados, comprimido);
}
