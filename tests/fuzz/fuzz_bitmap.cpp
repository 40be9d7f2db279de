// Bitmap reader: any bytes as an IMAGEM file, read in both row orders. A bitmap that is read
// has whole padded rows that lie inside the file, and the two orders hold the same rows, one
// the reverse of the other.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "bitmap/bitmap.h"
#include "comum.h"

namespace {

constexpr const char* kImagem = "imagem.bmp";

void ConfereForma(const Bitmap& b, std::size_t tamanho_arquivo) {
    fuzz::Exige(b.largura > 0 && b.altura > 0, "a bitmap without pixels was read");
    fuzz::Exige(b.tamlinha % 4 == 0, "rows are not padded to whole words");
    fuzz::Exige(static_cast<long long>(b.tamlinha) * 8 >= b.largura &&
                    static_cast<long long>(b.tamlinha) * 8 < b.largura + 32LL,
                "the row length does not fit the width");
    fuzz::Exige(b.pixels.size() ==
                    static_cast<std::size_t>(b.tamlinha) * static_cast<std::size_t>(b.altura),
                "the pixel rows are not altura rows of tamlinha bytes");
    fuzz::Exige(b.pixels.size() <= tamanho_arquivo, "more pixels than the file holds");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::Diretorio();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    fuzz::Grava(kImagem, std::string_view(reinterpret_cast<const char*>(dados), tamanho));
    const std::optional<Bitmap> topo = CarregaBitmap(kImagem, OrdemLinhas::TopoPrimeiro);
    const std::optional<Bitmap> gravado = CarregaBitmap(kImagem, OrdemLinhas::ComoGravado);
    fuzz::Exige(topo.has_value() == gravado.has_value(), "one row order reads, the other not");
    if (!topo) return 0;
    ConfereForma(*topo, tamanho);
    ConfereForma(*gravado, tamanho);
    fuzz::Exige(topo->largura == gravado->largura && topo->altura == gravado->altura &&
                    topo->tamlinha == gravado->tamlinha,
                "the row orders disagree on the size");
    const std::size_t l = static_cast<std::size_t>(topo->tamlinha);
    const std::size_t n = static_cast<std::size_t>(topo->altura);
    for (std::size_t i = 0; i < n; ++i) {
        const auto a = topo->pixels.begin() + static_cast<std::ptrdiff_t>(i * l);
        const auto b = gravado->pixels.begin() + static_cast<std::ptrdiff_t>((n - 1 - i) * l);
        fuzz::Exige(std::equal(a, a + static_cast<std::ptrdiff_t>(l), b),
                    "the row orders are not each other's reverse");
    }
    return 0;
}
