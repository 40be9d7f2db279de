// A decoded picture as black and white PCL raster: scaled to its size in dots, its luminance
// ordered-dithered.
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <vector>

#include "bitmap/imagem.h"
#include "device/dispositivo.h"
#include "pcl/pcl.h"

namespace {

// The 8 by 8 Bayer matrix: the order in which the dots of a cell take ink as the grey darkens,
// so that each of its 65 levels is an even spread of dots.
constexpr int kLadoBayer = 8;
constexpr int kBayer[kLadoBayer][kLadoBayer] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
};
constexpr int kNiveisBayer = kLadoBayer * kLadoBayer;
constexpr int kMaxAmostra = 255;

// At most this many dots a side are sent (18 inches, more than any sheet): a picture drawn
// larger is cut there, at its own scale, so that an absurd size cannot write without end.
constexpr int kMaxPontosImagem = 18 * 300;

// Luminance weights of red, green and blue, in thousandths.
constexpr int kPesoR = 299, kPesoG = 587, kPesoB = 114, kMilesimos = 1000;

// The ink of a pixel, 0 (none) to 255 (black): its darkness, weighted by its opacity, so that
// a transparent pixel takes none and a half transparent one half.
int Tinta(const ImagemDecodificada& imagem, std::size_t pixel) {
    int luz;
    if (imagem.componentes == 3) {
        const unsigned char* c = &imagem.amostras[pixel * 3];
        luz = (kPesoR * c[0] + kPesoG * c[1] + kPesoB * c[2] + kMilesimos / 2) / kMilesimos;
    } else {
        luz = imagem.amostras[pixel];
    }
    const int tinta = kMaxAmostra - luz;
    if (!imagem.Transparente()) return tinta;
    return (tinta * imagem.alfa[pixel] + kMaxAmostra / 2) / kMaxAmostra;
}

// Whether the dot at (coluna, linha) of the raster takes ink: when the ink passes the middle
// of the dot's level in the matrix (so 0 never inks, 255 always).
bool Entinta(int tinta, int coluna, int linha) {
    const int nivel = kBayer[linha % kLadoBayer][coluna % kLadoBayer];
    return tinta * 2 * kNiveisBayer > (2 * nivel + 1) * kMaxAmostra;
}

// A pixel at least this opaque covers what lies under it, as a level 2 page draws it.
constexpr unsigned char kMeioOpaco = 128;

bool Desenhado(const ImagemDecodificada& imagem, std::size_t pixel) {
    return !imagem.Transparente() || imagem.alfa[pixel] >= kMeioOpaco;
}

// The pixel under the centre of dot i of n dots across a side of `pixels` pixels.
int PixelSob(long long i, long long n, long long pixels) {
    return static_cast<int>((2 * i + 1) * pixels / (2 * n));
}

// One raster of the picture at (X, Y), W by H dots (cut at kMaxPontosImagem): each dot shows
// the pixel under its centre, and is set when `marca(pixel, coluna, linha)` says so.
template <typename Marca>
void Raster(const ImagemDecodificada& imagem, int X, int Y, int W, int H, Marca marca) {
    std::fprintf(saida, "\x1b*p%dX", X);
    std::fprintf(saida, "\x1b*p%dY", Y);
    std::fprintf(saida, "\x1b*t300R\x1b*r0f1A\x1b*b0M");
    const int colunas = std::min(W, kMaxPontosImagem), linhas = std::min(H, kMaxPontosImagem);
    std::vector<int> pixel_da_coluna(static_cast<std::size_t>(colunas));
    for (int i = 0; i < colunas; ++i)
        pixel_da_coluna[static_cast<std::size_t>(i)] = PixelSob(i, W, imagem.largura);
    std::vector<unsigned char> linha(static_cast<std::size_t>(colunas + 7) / 8);
    for (int j = 0; j < linhas; ++j) {
        const int l = PixelSob(j, H, imagem.altura);
        std::fill(linha.begin(), linha.end(), 0);
        for (int i = 0; i < colunas; ++i) {
            const std::size_t pixel =
                imagem.Indice(l, pixel_da_coluna[static_cast<std::size_t>(i)]);
            if (marca(pixel, i, j))
                linha[static_cast<std::size_t>(i / 8)] |=
                    static_cast<unsigned char>(0x80u >> (i % 8));
        }
        // A row ends with its last set byte: the printer leaves the rest of it alone, and a
        // logo's transparent surround costs nothing.
        std::size_t n = linha.size();
        while (n > 0 && linha[n - 1] == 0)
            --n;
        EscreveLinhaRaster(linha.data(), static_cast<int>(n));
    }
    std::fprintf(saida, "\x1b*rB");
}

}  // namespace

void EnviaImagemPontilhada(const ImagemDecodificada& imagem, int X, int Y, int W, int H) {
    // The raster the caller started is ended: the pattern changes between the two below.
    std::fprintf(saida, "\x1b*rB");
    if (W <= 0 || H <= 0 || imagem.largura <= 0 || imagem.altura <= 0) return;
    // The drawn pixels first, in an opaque white pattern: the picture's light parts cover what
    // lies under them, as the other programs' images do, and its transparent parts do not.
    std::fprintf(saida, "\x1b*v1o1T");
    Raster(imagem, X, Y, W, H,
           [&](std::size_t pixel, int, int) { return Desenhado(imagem, pixel); });
    // Then the ink, in the printer's default pattern, solid black, with white left transparent.
    std::fprintf(saida, "\x1b*v0o0T");
    Raster(imagem, X, Y, W, H, [&](std::size_t pixel, int coluna, int linha) {
        return Entinta(Tinta(imagem, pixel), coluna, linha);
    });
}
