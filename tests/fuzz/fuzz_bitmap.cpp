// Image reader: any bytes as an IMAGEM file. A bitmap, read in both row orders, has whole padded
// rows that lie inside the file, and the two orders hold the same rows, one the reverse of the
// other. A PNG (the same bytes, and a copy with every chunk's checksum made right, so that
// mutations reach past the checksums into the chunks) decodes within the limits to samples and
// alpha of its size, which morvel's drawing then encodes whole.
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "bitmap/imagem.h"
#include "comum.h"
#include "device/dispositivo.h"
#include "ps/ps.h"

namespace {

constexpr const char* kImagem = "imagem.bmp";
// Larger pictures are decoded but not drawn: encoding their samples is slow and tests nothing
// more.
constexpr long long kMaxPixelsDesenhados = 1'000'000;

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

void ConfereBitmap(std::size_t tamanho) {
    const std::optional<Bitmap> topo = CarregaBitmap(kImagem, OrdemLinhas::TopoPrimeiro);
    const std::optional<Bitmap> gravado = CarregaBitmap(kImagem, OrdemLinhas::ComoGravado);
    fuzz::Exige(topo.has_value() == gravado.has_value(), "one row order reads, the other not");
    if (!topo) return;
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
}

void ConfereDecodificada(const ImagemDecodificada& d) {
    fuzz::Exige(d.largura > 0 && d.altura > 0, "a picture without pixels was read");
    fuzz::Exige(static_cast<unsigned>(d.largura) <= kMaxLadoImagem &&
                    static_cast<unsigned>(d.altura) <= kMaxLadoImagem &&
                    static_cast<long long>(d.largura) * d.altura <= kMaxPixelsImagem,
                "a picture beyond the limits was read");
    fuzz::Exige(d.componentes == 1 || d.componentes == 3, "neither grey nor colour");
    const std::size_t pixels = static_cast<std::size_t>(d.largura) * d.altura;
    fuzz::Exige(d.amostras.size() == pixels * d.componentes, "samples of another size");
    fuzz::Exige(d.alfa.empty() || d.alfa.size() == pixels, "alpha of another size");
    if (static_cast<long long>(pixels) > kMaxPixelsDesenhados) return;
    saida = fuzz::Descarte();
    DesenhaImagemCodificada({0, 100, 100, 0}, CodificaImagem(kImagem, d));
    EsqueceImagensPS();
}

void ConfereImagem() {
    const std::optional<Imagem> lida = LeImagem(kImagem, OrdemLinhas::TopoPrimeiro);
    if (lida && std::holds_alternative<ImagemDecodificada>(*lida))
        ConfereDecodificada(std::get<ImagemDecodificada>(*lida));
}

// The bytes with each chunk's checksum made right, as far as whole chunks go.
std::string ComCRCsCertos(std::string png) {
    constexpr std::size_t kAssinatura = 8;
    for (std::size_t i = kAssinatura; i + 12 <= png.size();) {
        const auto* p = reinterpret_cast<const unsigned char*>(png.data()) + i;
        const std::size_t tamanho =
            std::size_t{p[0]} << 24 | std::size_t{p[1]} << 16 | std::size_t{p[2]} << 8 | p[3];
        if (tamanho > png.size() - i - 12) break;
        const uLong crc = crc32(0, p + 4, static_cast<uInt>(tamanho + 4));
        for (int k = 0; k < 4; ++k)
            png[i + 8 + tamanho + static_cast<std::size_t>(k)] =
                static_cast<char>(crc >> (24 - 8 * k) & 0xff);
        i += 12 + tamanho;
    }
    return png;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::Diretorio();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const std::string bytes(reinterpret_cast<const char*>(dados), tamanho);
    fuzz::Grava(kImagem, bytes);
    ConfereBitmap(tamanho);
    ConfereImagem();
    if (bytes.starts_with(std::string_view("\x89PNG\r\n\x1a\n", 8))) {
        fuzz::Grava(kImagem, ComCRCsCertos(bytes));
        ConfereImagem();
    }
    return 0;
}
