#pragma once
// Reader of one-bit uncompressed Windows bitmap files for the IMAGEM object.
#include <optional>
#include <vector>

// The row order each printer language wants.
enum class OrdemLinhas {
    TopoPrimeiro,  // PCL raster: top row first
    ComoGravado,   // PostScript image data: bottom row first, as the file stores them
};

struct Bitmap {
    std::vector<unsigned char> pixels;  // altura rows of tamlinha bytes
    int largura = 0;                    // pixels per row
    int altura = 0;                     // number of rows
    int tamlinha = 0;                   // bytes per stored row (a multiple of 4)
};

// Nothing when the file cannot be opened or is not a bitmap the back-ends can draw.
std::optional<Bitmap> CarregaBitmap(const char* arquivo, OrdemLinhas ordem);

// The bitmap of an IMAGEM object, for a back-end to draw. A file that cannot be used (missing,
// unreadable, not a bitmap the back-ends can draw) leaves a slip without its logo: it is
// reported with "Erro na abertura do arquivo [%s]\n", the name as the form gives it, once per
// name and run; the rest of the page prints and the run's status stays as it is.
std::optional<Bitmap> CarregaImagem(const char* arquivo, OrdemLinhas ordem);
