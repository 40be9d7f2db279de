#pragma once
// The picture an IMAGEM object names: a one-bit bitmap, drawn as the printers always drew it, or
// a PNG file (known by its signature, whatever its name), decoded to 8-bit grey or colour
// samples with their transparency, which each back-end draws as its page can show it.
#include <cstddef>
#include <optional>
#include <variant>
#include <vector>

#include "bitmap/bitmap.h"

// A larger picture is refused: its samples are held in memory whole, and the raster of a PCL
// job grows with them.
constexpr long long kMaxPixelsImagem = 20'000'000;
constexpr unsigned kMaxLadoImagem = 10'000;

// Rows top first, `componentes` bytes a pixel: grey (1) or red, green and blue (3), as the file
// holds its picture (a palette is colour). `alfa` has a byte a pixel, from 0 (transparent) to
// 255 (opaque), and is empty when every pixel is opaque. The alpha is straight: the samples of
// a half transparent pixel are its full colour.
struct ImagemDecodificada {
    int largura = 0;
    int altura = 0;
    int componentes = 0;
    std::vector<unsigned char> amostras;
    std::vector<unsigned char> alfa;

    std::size_t Indice(int linha, int coluna) const {
        return static_cast<std::size_t>(linha) * static_cast<std::size_t>(largura) +
               static_cast<std::size_t>(coluna);
    }
    bool Transparente() const { return !alfa.empty(); }
};

using Imagem = std::variant<Bitmap, ImagemDecodificada>;

// The picture of the file, a bitmap's rows in the given order; nothing when the file cannot be
// used (missing, unreadable, not a regular file, a bitmap the back-ends cannot draw, a PNG that
// is corrupt, truncated or too large).
std::optional<Imagem> LeImagem(const char* arquivo, OrdemLinhas ordem);

// The picture of an IMAGEM object, for a back-end to draw. A file that cannot be used leaves a
// slip without its logo: it is reported with "Erro na abertura do arquivo [%s]\n", the name as
// the form gives it, once per name and run; the rest of the page prints and the run's status
// stays as it is.
std::optional<Imagem> CarregaImagem(const char* arquivo, OrdemLinhas ordem);

// The size in inches at which a decoded picture is drawn: the object's width and height; with
// only one of them above 0, that one and the picture's proportions; with neither, the picture's
// own pixels at 300 to the inch, as a bitmap prints.
struct MedidaImagem {
    float largura, altura;
};
MedidaImagem MedeImagem(float largura, float altura, int pixels_largura, int pixels_altura);
