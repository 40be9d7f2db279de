#pragma once
// Reader of one-bit uncompressed Windows bitmap files for the IMAGEM object.
#include <cstdio>
#include <memory>
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

struct FechaArquivoImagem {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using ArquivoImagem = std::unique_ptr<std::FILE, FechaArquivoImagem>;

// The file an IMAGEM object names (found as CaminhoFormulario finds it), open for reading;
// nothing when it is missing, unreadable or not a regular file.
ArquivoImagem AbreArquivoImagem(const char* arquivo);

// Nothing when the file cannot be opened or is not a bitmap the back-ends can draw.
std::optional<Bitmap> CarregaBitmap(const char* arquivo, OrdemLinhas ordem);
// The same, of a file already open (read from its start).
std::optional<Bitmap> LeBitmap(std::FILE* arquivo, OrdemLinhas ordem);
