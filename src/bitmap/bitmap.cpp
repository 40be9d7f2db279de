#include "bitmap/bitmap.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "util/caminhos.h"

namespace {

// Header bytes read: file header and the information header up to the compression field.
constexpr std::size_t kCabecalho = 34;
// Offsets of the fields used.
constexpr std::size_t kPosDados = 10;       // offset of the pixel array, 4 bytes
constexpr std::size_t kPosTamInfo = 14;     // size of the information header, 4 bytes
constexpr std::size_t kPosLargura = 18;     // width in pixels, signed, 4 bytes
constexpr std::size_t kPosAltura = 22;      // height in rows, signed, negative when top first
constexpr std::size_t kPosBits = 28;        // bits per pixel, 2 bytes
constexpr std::size_t kPosCompressao = 30;  // compression, 4 bytes
// Smallest information header that has the bits-per-pixel and compression fields.
constexpr std::uint32_t kMinTamInfo = 40;

std::uint32_t le16(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8;
}

std::uint32_t le32(const unsigned char* p) {
    return le16(p) | le16(p + 2) << 16;
}

std::int32_t le32s(const unsigned char* p) {
    const std::uint32_t u = le32(p);
    // Two's complement without relying on an out-of-range conversion.
    return u <= 0x7fffffffu ? static_cast<std::int32_t>(u) : -static_cast<std::int32_t>(~u) - 1;
}

// Swaps rows end for end: bottom row first becomes top row first, and back.
void InverteLinhas(std::vector<unsigned char>& pixels, std::size_t tamlinha, std::size_t altura) {
    for (std::size_t i = 0, j = altura - 1; i < j; ++i, --j) {
        auto a = pixels.begin() + static_cast<std::ptrdiff_t>(i * tamlinha);
        auto b = pixels.begin() + static_cast<std::ptrdiff_t>(j * tamlinha);
        std::swap_ranges(a, a + static_cast<std::ptrdiff_t>(tamlinha), b);
    }
}

}  // namespace

ArquivoImagem AbreArquivoImagem(const char* arquivo) {
    if (arquivo == nullptr) return nullptr;
    const std::string caminho = CaminhoFormulario(arquivo);
    // Only regular files: opening a pipe or device could wait forever or never end.
    struct stat info {};
    if (stat(caminho.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
    ArquivoImagem f(std::fopen(caminho.c_str(), "rb"));
    if (!f) return nullptr;
    if (fstat(fileno(f.get()), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
    return f;
}

std::optional<Bitmap> CarregaBitmap(const char* arquivo, OrdemLinhas ordem) {
    const ArquivoImagem f = AbreArquivoImagem(arquivo);
    if (!f) return std::nullopt;
    return LeBitmap(f.get(), ordem);
}

std::optional<Bitmap> LeBitmap(std::FILE* f, OrdemLinhas ordem) {
    struct stat info {};
    if (fstat(fileno(f), &info) != 0 || std::fseek(f, 0, SEEK_SET) != 0) return std::nullopt;
    const auto tamarquivo = static_cast<std::uint64_t>(info.st_size);

    std::array<unsigned char, kCabecalho> cab{};
    if (std::fread(cab.data(), 1, cab.size(), f) != cab.size()) return std::nullopt;

    // Only what the back-ends can draw: one bit per pixel, stored uncompressed.
    if (le32(&cab[kPosTamInfo]) < kMinTamInfo || le16(&cab[kPosBits]) != 1 ||
        le32(&cab[kPosCompressao]) != 0) {
        return std::nullopt;
    }
    const std::int64_t largura = le32s(&cab[kPosLargura]);
    const std::int64_t altura_gravada = le32s(&cab[kPosAltura]);
    const bool topo_primeiro = altura_gravada < 0;
    const std::int64_t altura = topo_primeiro ? -altura_gravada : altura_gravada;
    if (largura <= 0 || altura == 0 || altura > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }

    // Rows are padded to whole 32-bit words. The pixel array is sized from the picture, never
    // from the file-size field, and must lie inside the file as it really is.
    const std::int64_t tamlinha = (largura + 31) / 32 * 4;
    const std::uint64_t tamdados = static_cast<std::uint64_t>(tamlinha * altura);
    const std::uint64_t posdados = le32(&cab[kPosDados]);
    if (posdados < kCabecalho || posdados > tamarquivo || tamdados > tamarquivo - posdados) {
        return std::nullopt;
    }

    Bitmap bmp;
    bmp.pixels.resize(static_cast<std::size_t>(tamdados));
    if (std::fseek(f, static_cast<long>(posdados), SEEK_SET) != 0 ||
        std::fread(bmp.pixels.data(), 1, bmp.pixels.size(), f) != bmp.pixels.size()) {
        return std::nullopt;  // the file changed under us
    }
    if (topo_primeiro != (ordem == OrdemLinhas::TopoPrimeiro)) {
        InverteLinhas(bmp.pixels, static_cast<std::size_t>(tamlinha),
                      static_cast<std::size_t>(altura));
    }
    bmp.largura = static_cast<int>(largura);
    bmp.altura = static_cast<int>(altura);
    bmp.tamlinha = static_cast<int>(tamlinha);
    return bmp;
}
