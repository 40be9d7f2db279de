// Drawings of the PDF job: lines, boxes, boxes with curved corners, images, barcodes and matrix
// codes, on the same points as morvel's.
#include <cairo.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "barcode/barcode.h"
#include "barcode/matriz.h"
#include "bitmap/imagem.h"
#include "device/dispositivo.h"
#include "pdf/pdf.h"
#include "util/texto.h"

namespace {

// A width of 0 is the thinnest line the device can print: one dot of a 300-dpi printer, as
// morvel's printers print it (the drawing library would leave it out).
constexpr double kLinhaMaisFina = 72.0 / 300.0;
// A matrix code's module is a whole number of dots of this many to the inch.
constexpr double kPontosPorDot = 72.0 / kPontosModulo;

double Largura(int w) {
    const double largura = std::fabs(static_cast<double>(w)) * kQuartoPonto;
    if (largura == 0) return kLinhaMaisFina;
    return std::min(largura, static_cast<double>(kLimitePontos));
}

// Every drawing starts from the side's own state and leaves it as it was.
class Desenho {
  public:
    explicit Desenho(cairo_t* cr) : cr_(cr) {
        if (cr_ != nullptr) {
            cairo_save(cr_);
            cairo_new_path(cr_);
            cairo_set_source_rgb(cr_, 0, 0, 0);
        }
    }
    ~Desenho() {
        if (cr_ != nullptr) cairo_restore(cr_);
    }
    Desenho(const Desenho&) = delete;
    Desenho& operator=(const Desenho&) = delete;
    explicit operator bool() const { return cr_ != nullptr; }
    cairo_t* operator*() const { return cr_; }

  private:
    cairo_t* cr_;
};

// A dashed line as morvel draws it: each dash a path of its own.
void Tracejado(cairo_t* cr, int X1, int Y1, int X2, int Y2) {
    Tracos(X1, Y1, X2, Y2, [cr](int X, int Y, int dx, int dy) {
        cairo_move_to(cr, X, Y);
        cairo_rel_line_to(cr, dx, dy);
    });
}

void Segmento(cairo_t* cr, int xa, int ya, int xb, int yb) {
    cairo_new_path(cr);
    cairo_move_to(cr, xa, ya);
    cairo_line_to(cr, xb, yb);
    cairo_stroke(cr);
}

// A square corner: two strokes of kRaio points meeting at the corner point.
void Quina(cairo_t* cr, int xa, int ya, int xc, int yc, int xb, int yb) {
    cairo_move_to(cr, xa, ya);
    cairo_line_to(cr, xc, yc);
    cairo_line_to(cr, xb, yb);
}

// A curved corner: a quarter of a circle of kRaio points about (xc, yc), from angle a to b in
// degrees, counter-clockwise.
void Arco(cairo_t* cr, int xc, int yc, int a, int b) {
    cairo_arc(cr, xc, yc, kRaio, a * M_PI / 180, b * M_PI / 180);
}

bool Curvo(std::string_view cantos, std::size_t i) {
    return i < cantos.size() && i < kCantos && cantos[i] == '0';
}

struct Canto {
    std::size_t flag;
    int angulo_a, angulo_b;
};

long long BytesLinha(int largura) {
    return (static_cast<long long>(largura) + 7) / 8;
}

bool BitmapCoerente(const Bitmap& b) {
    if (b.largura <= 0 || b.altura <= 0 || b.tamlinha < BytesLinha(b.largura)) return false;
    return static_cast<long long>(b.pixels.size()) >= static_cast<long long>(b.altura) * b.tamlinha;
}

struct FechaSuperficie {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Superficie = std::unique_ptr<cairo_surface_t, FechaSuperficie>;

// The bit order of the drawing library's one-bit images follows the machine's byte order: on a
// little-endian machine the first pixel is a byte's lowest bit.
unsigned char OrdemDoDispositivo(unsigned char byte) {
    if constexpr (std::endian::native == std::endian::big) return byte;
    byte = static_cast<unsigned char>((byte & 0xF0) >> 4 | (byte & 0x0F) << 4);
    byte = static_cast<unsigned char>((byte & 0xCC) >> 2 | (byte & 0x33) << 2);
    return static_cast<unsigned char>((byte & 0xAA) >> 1 | (byte & 0x55) << 1);
}

// The bitmap's dark pixels (clear bits) as a one-bit mask, rows as the file stores them (bottom
// first, which is the side's y upwards). The document embeds one mask once however many pages
// draw it, since every page draws the same mask of the same file.
Superficie Mascara(const Bitmap& b) {
    Superficie s(cairo_image_surface_create(CAIRO_FORMAT_A1, b.largura, b.altura));
    if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    cairo_surface_flush(s.get());
    unsigned char* destino = cairo_image_surface_get_data(s.get());
    const int passo = cairo_image_surface_get_stride(s.get());
    const auto por_linha = static_cast<std::size_t>(BytesLinha(b.largura));
    for (std::size_t r = 0; r < static_cast<std::size_t>(b.altura); ++r) {
        const unsigned char* origem = b.pixels.data() + r * static_cast<std::size_t>(b.tamlinha);
        unsigned char* linha = destino + r * static_cast<std::size_t>(passo);
        for (std::size_t j = 0; j < por_linha; ++j)
            linha[j] = OrdemDoDispositivo(static_cast<unsigned char>(~origem[j]));
    }
    cairo_surface_mark_dirty(s.get());
    return s;
}

// The images of the run by file name: each read once. A bitmap is a mask of its dark pixels; a
// decoded picture is an image of its own colours (see imagens.cpp).
struct ImagemLida {
    Superficie superficie;
    int largura, altura;
    bool decodificada;
};
std::map<std::string, ImagemLida>& Imagens() {
    static std::map<std::string, ImagemLida> imagens;
    return imagens;
}

const ImagemLida* ImagemDoArquivo(const char* arquivo) {
    auto& imagens = Imagens();
    const auto achada = imagens.find(arquivo);
    if (achada != imagens.end()) return achada->second.superficie ? &achada->second : nullptr;
    ImagemLida lida{nullptr, 0, 0, false};
    const std::optional<Imagem> imagem = CarregaImagem(arquivo, OrdemLinhas::ComoGravado);
    if (const auto* d = imagem ? std::get_if<ImagemDecodificada>(&*imagem) : nullptr)
        lida = {Superficie(SuperficieDaImagem(*d)), d->largura, d->altura, true};
    else if (const auto* b = imagem ? std::get_if<Bitmap>(&*imagem) : nullptr;
             b && BitmapCoerente(*b))
        lida = {Mascara(*b), b->largura, b->altura, false};
    const auto [item, novo] = imagens.emplace(arquivo, std::move(lida));
    return item->second.superficie ? &item->second : nullptr;
}

// A decoded picture in its box, whole points as morvel's: its colours, its transparent parts
// leaving the page as it is.
void DesenhaDecodificada(cairo_t* cr, float x, float y, float largura, float altura,
                         const ImagemLida& imagem) {
    const MedidaImagem medida = MedeImagem(largura, altura, imagem.largura, imagem.altura);
    const Caixa c = ConverteCaixa(x, y, medida.largura, medida.altura);
    const double largura_pt = static_cast<double>(c.X2) - c.X1;
    const double altura_pt = static_cast<double>(c.Y1) - c.Y2;
    // A picture of less than a point prints nothing.
    if (largura_pt <= 0 || altura_pt <= 0) return;
    // Rows top first: the first row at the box's top, the next ones down the page.
    cairo_translate(cr, c.X1, c.Y1);
    cairo_scale(cr, largura_pt / imagem.largura, -altura_pt / imagem.altura);
    AvisaTinta(cr, 0, 0, imagem.largura, imagem.altura);
    cairo_set_source_surface(cr, imagem.superficie.get(), 0, 0);
    cairo_rectangle(cr, 0, 0, imagem.largura, imagem.altura);
    cairo_fill(cr);
}

}  // namespace

void DesenhaLinha(float x1, float y1, float x2, float y2, int largura) {
    const Desenho d(Lado());
    if (!d) return;
    const int X1 = PontoX(x1), Y1 = PontoY(y1), X2 = PontoX(x2), Y2 = PontoY(y2);
    if (largura >= 0) {
        cairo_move_to(*d, X1, Y1);
        cairo_rel_line_to(*d, static_cast<double>(X2) - X1, static_cast<double>(Y2) - Y1);
    } else {
        Tracejado(*d, X1, Y1, X2, Y2);
    }
    cairo_close_path(*d);
    cairo_set_line_width(*d, Largura(largura));
    AvisaTinta(*d, std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2), std::max(Y1, Y2),
               Largura(largura) / 2);
    cairo_stroke(*d);
}

void DesenhaRetang(float x, float y, float largura, float altura, int sombra, int borda) {
    const Desenho d(Lado());
    if (!d) return;
    sombra = std::clamp(sombra, 0, kSombraMax);
    const Caixa c = ConverteCaixa(x, y, largura, altura);
    cairo_move_to(*d, c.X1, c.Y1);
    cairo_line_to(*d, c.X2, c.Y1);
    cairo_line_to(*d, c.X2, c.Y2);
    cairo_line_to(*d, c.X1, c.Y2);
    cairo_close_path(*d);
    // morvel's grey is the shade's complement in hundredths.
    const double cinza = static_cast<double>(kSombraMax - sombra) / kSombraMax;
    cairo_set_source_rgb(*d, cinza, cinza, cinza);
    AvisaTinta(*d, c.X1, c.Y2, c.X2, c.Y1, borda != 0 ? Largura(borda) / 2 : 0);
    cairo_fill_preserve(*d);
    if (borda != 0) {
        cairo_set_source_rgb(*d, 0, 0, 0);
        cairo_set_line_width(*d, Largura(borda));
        cairo_stroke(*d);
    }
}

void DesenhaRetangA(float x, float y, float largura, float altura, const char* cantos, int pena) {
    const Desenho d(Lado());
    if (!d) return;
    const std::string_view flags = cantos != nullptr ? cantos : "";
    const Caixa c = ConverteCaixa(x, y, largura, altura);
    cairo_set_line_width(*d, Largura(pena));
    AvisaTinta(*d, c.X1, c.Y2, c.X2, c.Y1, Largura(pena) / 2);
    Segmento(*d, c.X1 + kRaio, c.Y1, c.X2 - kRaio, c.Y1);
    Segmento(*d, c.X2, c.Y1 - kRaio, c.X2, c.Y2 + kRaio);
    Segmento(*d, c.X1 + kRaio, c.Y2, c.X2 - kRaio, c.Y2);
    Segmento(*d, c.X1, c.Y1 - kRaio, c.X1, c.Y2 + kRaio);
    // Top right, bottom right, bottom left, top left, each stroked on its own.
    cairo_new_path(*d);
    if (Curvo(flags, 1))
        Arco(*d, c.X2 - kRaio, c.Y1 - kRaio, 0, 90);
    else
        Quina(*d, c.X2 - kRaio, c.Y1, c.X2, c.Y1, c.X2, c.Y1 - kRaio);
    cairo_stroke(*d);
    if (Curvo(flags, 2))
        Arco(*d, c.X2 - kRaio, c.Y2 + kRaio, 270, 360);
    else
        Quina(*d, c.X2, c.Y2 + kRaio, c.X2, c.Y2, c.X2 - kRaio, c.Y2);
    cairo_stroke(*d);
    if (Curvo(flags, 3))
        Arco(*d, c.X1 + kRaio, c.Y2 + kRaio, 180, 270);
    else
        Quina(*d, c.X1 + kRaio, c.Y2, c.X1, c.Y2, c.X1, c.Y2 + kRaio);
    cairo_stroke(*d);
    if (Curvo(flags, 0))
        Arco(*d, c.X1 + kRaio, c.Y1 - kRaio, 90, 180);
    else
        Quina(*d, c.X1, c.Y1 - kRaio, c.X1, c.Y1, c.X1 + kRaio, c.Y1);
    cairo_stroke(*d);
}

void EsqueceImagens() {
    Imagens().clear();
}

// The image's box, in whole points as morvel scales it, with its top left corner at (x, y). A
// plain bitmap paints its light pixels white; a mask (mascara not 0) leaves them as they were.
void DesenhaImagem(float x, float y, float largura, float altura, const char* arquivo,
                   int mascara) {
    const Desenho d(Lado());
    if (!d || arquivo == nullptr) return;
    const ImagemLida* imagem = ImagemDoArquivo(arquivo);
    if (imagem == nullptr) return;
    if (imagem->decodificada) {
        DesenhaDecodificada(*d, x, y, largura, altura, *imagem);
        return;
    }
    const long long altura_pt = static_cast<long long>(imagem->altura) * 72 / kPixelsPolegada;
    const long long largura_pt = static_cast<long long>(imagem->largura) * 72 / kPixelsPolegada;
    // An image of less than a point prints nothing.
    if (altura_pt <= 0 || largura_pt <= 0) return;
    const int X = PontoX(x), Y = PontoY(y);
    cairo_translate(*d, X, LimitaAInt(Y - altura_pt));
    AvisaTinta(*d, 0, 0, static_cast<double>(largura_pt), static_cast<double>(altura_pt));
    if (mascara == 0) {
        cairo_set_source_rgb(*d, 1, 1, 1);
        cairo_rectangle(*d, 0, 0, static_cast<double>(largura_pt), static_cast<double>(altura_pt));
        cairo_fill(*d);
        cairo_set_source_rgb(*d, 0, 0, 0);
    }
    cairo_scale(*d, static_cast<double>(largura_pt) / imagem->largura,
                static_cast<double>(altura_pt) / imagem->altura);
    cairo_pattern_t* p = cairo_pattern_create_for_surface(imagem->superficie.get());
    cairo_pattern_set_filter(p, CAIRO_FILTER_NEAREST);
    cairo_mask(*d, p);
    cairo_pattern_destroy(p);
}

// The bars as a one-bit image mask one module a pixel, stretched over the height of every strip,
// over the white of the spaces: as morvel's strips, which are opaque images, print them. A
// barcode holds a few hundred bars; drawn as boxes, each would cost the document far more.
void DesenhaCodBar(float x, float y, int altura, const char* tipo, const char* codigo) {
    std::string texto = codigo != nullptr ? codigo : "";
    rtrim(texto);
    if (texto.empty()) return;
    LinhaCodigo linha{};
    const int m = CodificaCodBar(tipo != nullptr ? tipo : "", texto, linha, Marca::Barras);
    if (m < 0) return;
    const Desenho d(Lado());
    const int faixas = std::min(altura, kMaxFaixas);
    if (!d || m == 0 || faixas <= 0) return;
    const int X = PontoX(x), Y = PontoY(y);
    const int largura_pt = static_cast<int>(static_cast<long long>(m) * 72 / kModulosPolegada);
    // A barcode of less than a point prints nothing.
    if (largura_pt <= 0) return;
    const double alto = static_cast<double>(kAlturaFaixa) * faixas;
    Superficie barras(cairo_image_surface_create(CAIRO_FORMAT_A1, m, 1));
    if (cairo_surface_status(barras.get()) != CAIRO_STATUS_SUCCESS) return;
    cairo_surface_flush(barras.get());
    unsigned char* dados = cairo_image_surface_get_data(barras.get());
    for (std::size_t j = 0; j < static_cast<std::size_t>(BytesLinha(m)); ++j)
        dados[j] = OrdemDoDispositivo(linha[j]);
    cairo_surface_mark_dirty(barras.get());
    cairo_translate(*d, X, Y - alto);
    AvisaTinta(*d, 0, 0, largura_pt, alto);
    cairo_set_source_rgb(*d, 1, 1, 1);
    cairo_rectangle(*d, 0, 0, largura_pt, alto);
    cairo_fill(*d);
    cairo_set_source_rgb(*d, 0, 0, 0);
    cairo_scale(*d, static_cast<double>(largura_pt) / m, alto);
    cairo_pattern_t* p = cairo_pattern_create_for_surface(barras.get());
    cairo_pattern_set_filter(p, CAIRO_FILTER_NEAREST);
    cairo_mask(*d, p);
    cairo_pattern_destroy(p);
}

// The dark modules as a one-bit image mask, one module a pixel, each pixel a square of the
// module's side: light modules leave the page as it was.
void DesenhaCodMatriz(float x, float y, const SimboloMatriz& simbolo) {
    const Desenho d(Lado());
    if (!d || simbolo.modulo <= 0 || simbolo.largura <= 0 || simbolo.altura <= 0) return;
    Superficie modulos(
        cairo_image_surface_create(CAIRO_FORMAT_A1, simbolo.largura, simbolo.altura));
    if (cairo_surface_status(modulos.get()) != CAIRO_STATUS_SUCCESS) return;
    cairo_surface_flush(modulos.get());
    unsigned char* dados = cairo_image_surface_get_data(modulos.get());
    const auto passo = static_cast<std::size_t>(cairo_image_surface_get_stride(modulos.get()));
    const auto por_linha = static_cast<std::size_t>(simbolo.BytesLinha());
    for (int r = 0; r < simbolo.altura; ++r) {
        const unsigned char* origem = simbolo.Linha(r);
        unsigned char* destino = dados + static_cast<std::size_t>(r) * passo;
        for (std::size_t j = 0; j < por_linha; ++j)
            destino[j] = OrdemDoDispositivo(origem[j]);
    }
    cairo_surface_mark_dirty(modulos.get());
    // Rows top first: the first row hangs from (x, y) and the next ones go down the page.
    const double lado = simbolo.modulo * kPontosPorDot;
    cairo_translate(*d, PontoX(x), PontoY(y));
    cairo_scale(*d, lado, -lado);
    AvisaTinta(*d, 0, 0, simbolo.largura, simbolo.altura);
    cairo_pattern_t* p = cairo_pattern_create_for_surface(modulos.get());
    cairo_pattern_set_filter(p, CAIRO_FILTER_NEAREST);
    cairo_mask(*d, p);
    cairo_pattern_destroy(p);
}
