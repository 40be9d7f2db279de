#include "support/png.h"

#include <spng.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace {

struct ApagaContexto {
    void operator()(spng_ctx* c) const { spng_ctx_free(c); }
};

// The chunks start after the signature.
constexpr std::size_t kAssinatura = 8;

std::uint32_t Be32(const std::string& s, std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(s[i])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[i + 1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[i + 2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[i + 3]));
}

}  // namespace

std::string FazPNG(const Png& png) {
    std::unique_ptr<spng_ctx, ApagaContexto> ctx(spng_ctx_new(SPNG_CTX_ENCODER));
    spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr ihdr{};
    ihdr.width = png.largura;
    ihdr.height = png.altura;
    ihdr.bit_depth = static_cast<std::uint8_t>(png.bits);
    ihdr.color_type = static_cast<std::uint8_t>(png.tipo);
    ihdr.interlace_method = png.entrelacado ? SPNG_INTERLACE_ADAM7 : SPNG_INTERLACE_NONE;
    spng_set_ihdr(ctx.get(), &ihdr);
    if (!png.paleta.empty()) {
        spng_plte plte{};
        spng_trns trns{};
        plte.n_entries = static_cast<std::uint32_t>(png.paleta.size());
        trns.n_type3_entries = plte.n_entries;
        for (std::size_t i = 0; i < png.paleta.size(); ++i) {
            plte.entries[i] = {png.paleta[i][0], png.paleta[i][1], png.paleta[i][2], 0};
            trns.type3_alpha[i] = png.paleta[i][3];
        }
        spng_set_plte(ctx.get(), &plte);
        spng_set_trns(ctx.get(), &trns);
    }
    int erro = spng_encode_image(ctx.get(), png.amostras.data(), png.amostras.size(), SPNG_FMT_PNG,
                                 SPNG_ENCODE_FINALIZE);
    if (erro != 0) throw std::runtime_error(std::string("PNG: ") + spng_strerror(erro));
    std::size_t tamanho = 0;
    void* dados = spng_get_png_buffer(ctx.get(), &tamanho, &erro);
    if (dados == nullptr) throw std::runtime_error(std::string("PNG: ") + spng_strerror(erro));
    std::string r(static_cast<const char*>(dados), tamanho);
    std::free(dados);
    return r;
}

std::string PngRGBA(int largura, int altura, const std::function<Rgba(int, int)>& pixel) {
    Png png;
    png.largura = static_cast<std::uint32_t>(largura);
    png.altura = static_cast<std::uint32_t>(altura);
    for (int y = 0; y < altura; ++y)
        for (int x = 0; x < largura; ++x) {
            const Rgba p = pixel(x, y);
            png.amostras.insert(png.amostras.end(), p.begin(), p.end());
        }
    return FazPNG(png);
}

std::string PngCinza(int largura, int altura, const std::function<unsigned char(int, int)>& cinza) {
    Png png;
    png.largura = static_cast<std::uint32_t>(largura);
    png.altura = static_cast<std::uint32_t>(altura);
    png.tipo = 0;
    for (int y = 0; y < altura; ++y)
        for (int x = 0; x < largura; ++x)
            png.amostras.push_back(cinza(x, y));
    return FazPNG(png);
}

std::string ComCRCErrado(const std::string& png) {
    std::string r = png;
    // Chunks: length, type, data, checksum; the first IDAT's checksum gets one bit changed.
    for (std::size_t i = kAssinatura; i + 12 <= r.size();) {
        const std::uint32_t tamanho = Be32(r, i);
        if (r.compare(i + 4, 4, "IDAT") == 0) {
            r[i + 8 + tamanho] = static_cast<char>(r[i + 8 + tamanho] ^ 1);
            return r;
        }
        i += 12 + tamanho;
    }
    throw std::runtime_error("PNG without image data");
}
