#pragma once
// PNG files for the tests, written by libspng's encoder: every colour type, depth and
// interlacing a designer's program may save, and the damaged copies of one.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A pixel as red, green, blue and alpha, 0 to 255 each.
using Rgba = std::array<unsigned char, 4>;

// What the encoder writes: the file's own colour type (0 grey, 2 RGB, 3 palette, 4 grey and
// alpha, 6 RGBA), bit depth and interlacing, with its samples as the file stores them (rows
// top first, packed below 8 bits, 16-bit samples in the machine's order) and, for a palette,
// its colours, whose alphas become the file's transparency.
struct Png {
    std::uint32_t largura = 1, altura = 1;
    int tipo = 6;
    int bits = 8;
    bool entrelacado = false;
    std::vector<unsigned char> amostras;
    std::vector<Rgba> paleta;
};
std::string FazPNG(const Png& png);

// An 8-bit RGBA picture whose pixel (x, y) is pixel(x, y).
std::string PngRGBA(int largura, int altura, const std::function<Rgba(int, int)>& pixel);
// An 8-bit grey picture without transparency whose pixel (x, y) is cinza(x, y).
std::string PngCinza(int largura, int altura, const std::function<unsigned char(int, int)>& cinza);

// The file with one bit of its first image data chunk's checksum changed.
std::string ComCRCErrado(const std::string& png);
