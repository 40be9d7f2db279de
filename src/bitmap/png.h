#pragma once
// PNG files for the IMAGEM object, decoded by libspng: this is the one file that knows it.
#include <cstdio>
#include <optional>

#include "bitmap/imagem.h"

// Whether the file starts with the PNG signature (read from its start).
bool AssinaturaPNG(std::FILE* arquivo);

// The picture of a PNG file of any colour type and bit depth, interlaced or not, read from its
// start; nothing when it is corrupt (a bad checksum, a broken stream), truncated, or larger
// than kMaxLadoImagem a side or kMaxPixelsImagem in all.
std::optional<ImagemDecodificada> DecodificaPNG(std::FILE* arquivo);
