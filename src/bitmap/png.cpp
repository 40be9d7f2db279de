#include "bitmap/png.h"

#include <spng.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr std::array<unsigned char, 8> kAssinatura = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

// Chunks beside the picture (colour profiles, texts, metadata that design programs add) are
// held in memory while the file is read; these bound one of them and all of them, so that a
// compressed text cannot unfold into gigabytes. Both are far beyond what a logo carries.
constexpr std::size_t kMaxBloco = 64u << 20;
constexpr std::size_t kMaxBlocos = 64u << 20;

// The decoder's output: red, green, blue and alpha, a byte each.
constexpr int kCanaisRGBA = 4;
constexpr unsigned char kOpaco = 255;
// The colour types whose bit 2 is set carry colour samples (or a palette of colours).
constexpr unsigned kTipoComCor = 2;

struct ApagaContexto {
    void operator()(spng_ctx* c) const { spng_ctx_free(c); }
};
using Contexto = std::unique_ptr<spng_ctx, ApagaContexto>;

// The file's samples in the picture's own components, and its alpha when any pixel is not
// wholly opaque.
ImagemDecodificada Separa(const std::vector<unsigned char>& rgba, const spng_ihdr& ihdr) {
    ImagemDecodificada imagem;
    imagem.largura = static_cast<int>(ihdr.width);
    imagem.altura = static_cast<int>(ihdr.height);
    imagem.componentes = (ihdr.color_type & kTipoComCor) != 0 ? 3 : 1;
    const std::size_t pixels = rgba.size() / kCanaisRGBA;
    imagem.amostras.resize(pixels * static_cast<std::size_t>(imagem.componentes));
    bool transparente = false;
    for (std::size_t i = 0; i < pixels; ++i) {
        const unsigned char* p = &rgba[i * kCanaisRGBA];
        if (imagem.componentes == 3)
            std::memcpy(&imagem.amostras[i * 3], p, 3);
        else
            imagem.amostras[i] = p[0];  // a grey picture decodes to three equal components
        transparente = transparente || p[3] != kOpaco;
    }
    if (transparente) {
        imagem.alfa.resize(pixels);
        for (std::size_t i = 0; i < pixels; ++i)
            imagem.alfa[i] = rgba[i * kCanaisRGBA + 3];
    }
    return imagem;
}

}  // namespace

bool AssinaturaPNG(std::FILE* arquivo) {
    std::array<unsigned char, kAssinatura.size()> inicio{};
    return std::fseek(arquivo, 0, SEEK_SET) == 0 &&
           std::fread(inicio.data(), 1, inicio.size(), arquivo) == inicio.size() &&
           inicio == kAssinatura;
}

std::optional<ImagemDecodificada> DecodificaPNG(std::FILE* arquivo) {
    if (std::fseek(arquivo, 0, SEEK_SET) != 0) return std::nullopt;
    Contexto ctx(spng_ctx_new(0));
    if (!ctx || spng_set_image_limits(ctx.get(), kMaxLadoImagem, kMaxLadoImagem) != 0 ||
        spng_set_chunk_limits(ctx.get(), kMaxBloco, kMaxBlocos) != 0 ||
        spng_set_png_file(ctx.get(), arquivo) != 0)
        return std::nullopt;
    spng_ihdr ihdr{};
    if (spng_get_ihdr(ctx.get(), &ihdr) != 0 ||
        static_cast<long long>(ihdr.width) * ihdr.height > kMaxPixelsImagem)
        return std::nullopt;
    // Every colour type and depth decodes to 8-bit RGBA, a palette's or a single colour's
    // transparency (tRNS) included; 16-bit samples keep their high byte.
    std::size_t tamanho = 0;
    if (spng_decoded_image_size(ctx.get(), SPNG_FMT_RGBA8, &tamanho) != 0) return std::nullopt;
    std::vector<unsigned char> rgba(tamanho);
    if (spng_decode_image(ctx.get(), rgba.data(), rgba.size(), SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) !=
        0)
        return std::nullopt;
    // Read on to the end marker: a file cut short after its picture is truncated all the same,
    // and a copy that never finished is better refused than printed.
    if (spng_decode_chunks(ctx.get()) != 0) return std::nullopt;
    return Separa(rgba, ihdr);
}
