// Decoded pictures as images of the drawing library. The document embeds each surface once,
// however many pages show it: an image of its colours, and its alpha as the image's soft mask.
#include <cairo.h>

#include <cstdint>

#include "bitmap/imagem.h"
#include "pdf/pdf.h"

namespace {

constexpr unsigned kMaxAmostra = 255;

// The library keeps colours premultiplied by their alpha, in a 32-bit word a pixel: alpha,
// red, green and blue from the most significant byte.
std::uint32_t Pixel(unsigned a, unsigned r, unsigned g, unsigned b) {
    auto pre = [a](unsigned c) { return (c * a + kMaxAmostra / 2) / kMaxAmostra; };
    return a << 24 | pre(r) << 16 | pre(g) << 8 | pre(b);
}

}  // namespace

cairo_surface_t* SuperficieDaImagem(const ImagemDecodificada& imagem) {
    const cairo_format_t formato = imagem.Transparente() ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24;
    cairo_surface_t* s = cairo_image_surface_create(formato, imagem.largura, imagem.altura);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    cairo_surface_flush(s);
    unsigned char* dados = cairo_image_surface_get_data(s);
    const auto passo = static_cast<std::size_t>(cairo_image_surface_get_stride(s));
    for (int l = 0; l < imagem.altura; ++l) {
        auto* linha = reinterpret_cast<std::uint32_t*>(dados + static_cast<std::size_t>(l) * passo);
        for (int c = 0; c < imagem.largura; ++c) {
            const std::size_t i = imagem.Indice(l, c);
            const unsigned char* cor = &imagem.amostras[i * imagem.componentes];
            const unsigned a = imagem.Transparente() ? imagem.alfa[i] : kMaxAmostra;
            linha[c] = imagem.componentes == 3 ? Pixel(a, cor[0], cor[1], cor[2])
                                               : Pixel(a, cor[0], cor[0], cor[0]);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}
