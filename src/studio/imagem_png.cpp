#include "studio/imagem_png.h"

#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-image.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>
#include <spng.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

constexpr double kPontosPorPolegada = 72.0;
constexpr int kBytesPorPixel = 3;
// Mostly white pages compress well at the fastest level; the picture is made anew on every
// change of the form, so speed counts for more than bytes.
constexpr int kCompressao = 1;

struct FechaSpng {
    void operator()(spng_ctx* c) const { spng_ctx_free(c); }
};

// The size poppler's own renderer gives a page: every pixel the page touches, rounded up.
int Pixels(double pontos, double dpi) {
    return static_cast<int>(std::ceil(pontos * dpi / kPontosPorPolegada));
}

std::optional<std::string> CodificaPNG(const poppler::image& imagem, std::string& erro) {
    std::unique_ptr<spng_ctx, FechaSpng> ctx(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!ctx) {
        erro = "Erro na codificacao da imagem";
        return std::nullopt;
    }
    spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1);
    spng_set_option(ctx.get(), SPNG_IMG_COMPRESSION_LEVEL, kCompressao);
    spng_set_option(ctx.get(), SPNG_FILTER_CHOICE, SPNG_FILTER_CHOICE_UP);
    spng_ihdr ihdr{};
    ihdr.width = static_cast<std::uint32_t>(imagem.width());
    ihdr.height = static_cast<std::uint32_t>(imagem.height());
    ihdr.bit_depth = 8;
    ihdr.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
    int r = spng_set_ihdr(ctx.get(), &ihdr);
    if (r == 0) r = spng_encode_image(ctx.get(), nullptr, 0, SPNG_FMT_PNG,
                                       SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
    // Poppler's rows may be padded beyond the pixels: each goes on its own.
    const auto largura = static_cast<std::size_t>(imagem.width()) * kBytesPorPixel;
    for (int y = 0; r == 0 && y < imagem.height(); ++y)
        r = spng_encode_row(ctx.get(), imagem.const_data() + static_cast<std::size_t>(y) *
                                                                 static_cast<std::size_t>(imagem.bytes_per_row()),
                            largura);
    if (r == SPNG_EOI) r = 0;
    std::size_t tamanho = 0;
    void* dados = r == 0 ? spng_get_png_buffer(ctx.get(), &tamanho, &r) : nullptr;
    if (dados == nullptr || r != 0) {
        std::free(dados);
        erro = std::string("Erro na codificacao da imagem (") + spng_strerror(r) + ")";
        return std::nullopt;
    }
    std::string png(static_cast<const char*>(dados), tamanho);
    std::free(dados);
    return png;
}

}  // namespace

int PaginasDoPDF(const std::string& pdf) {
    std::unique_ptr<poppler::document> documento(poppler::document::load_from_file(pdf));
    return documento ? documento->pages() : -1;
}

std::optional<QuadroPNG> RenderizaPaginaPDF(const std::string& pdf, int indice, double dpi,
                                            std::string& erro) {
    std::unique_ptr<poppler::document> documento(poppler::document::load_from_file(pdf));
    if (!documento || indice < 0 || indice >= documento->pages()) {
        erro = "Erro na leitura do PDF da pagina";
        return std::nullopt;
    }
    std::unique_ptr<poppler::page> pagina(documento->create_page(indice));
    if (!pagina) {
        erro = "Erro na leitura do PDF da pagina";
        return std::nullopt;
    }
    poppler::page_renderer renderizador;
    renderizador.set_render_hint(poppler::page_renderer::antialiasing, true);
    renderizador.set_render_hint(poppler::page_renderer::text_antialiasing, true);
    renderizador.set_image_format(poppler::image::format_rgb24);
    const poppler::rectf caixa = pagina->page_rect();
    const poppler::image imagem =
        renderizador.render_page(pagina.get(), dpi, dpi, 0, 0, Pixels(caixa.width(), dpi),
                                 Pixels(caixa.height(), dpi));
    if (!imagem.is_valid()) {
        erro = "Erro no desenho da pagina";
        return std::nullopt;
    }
    std::optional<std::string> png = CodificaPNG(imagem, erro);
    if (!png) return std::nullopt;
    return QuadroPNG{std::move(*png), imagem.width(), imagem.height()};
}
