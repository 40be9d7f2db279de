#pragma once
// Barcode encoders: a text becomes one packed row of modules, eight to a byte, first module in
// the most significant bit.
#include <array>
#include <string_view>

// The row buffer holds at most this many bytes (2048 modules).
constexpr std::size_t kLinhaCodigo = 256;
using LinhaCodigo = std::array<unsigned char, kLinhaCodigo>;

// Which modules get a set bit: each printer language takes the row as it is.
enum class Marca {
    Barras,   // PCL: a set bit prints black
    Espacos,  // PostScript image data: a set bit paints white
};

// Each returns the number of modules, or -1 when the symbology cannot encode the text
// (the row is then left cleared and nothing should be drawn).
int i25(std::string_view texto, LinhaCodigo& linha, Marca marca);
int code128c(std::string_view texto, LinhaCodigo& linha, Marca marca);
int code39(std::string_view texto, LinhaCodigo& linha, Marca marca);

// The text in the symbology that a barcode object's type names: "i25", "code128c", any other
// word Code 39, as the forms in use rely on. The number of modules, at most the row's; -1, after
// "Codigo de barras invalido [%s]\n" on standard error, when the symbology cannot encode it.
int CodificaCodBar(std::string_view tipo, std::string_view texto, LinhaCodigo& linha, Marca marca);
