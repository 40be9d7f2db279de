#pragma once
// The images of the document: each read once a run, compressed once, and embedded once a
// document as an image object that every page showing it refers to.
#include <optional>
#include <string>
#include <vector>

class Escritor;

// A decoded image as the document embeds it: rows top first, each row's samples packed into
// whole bytes.
struct ImagemPDF {
    int largura = 0, altura = 0;
    int componentes = 1;  // 1: grey; 3: red, green, blue
    int bits = 8;         // bits a sample: 1 or 8
    // A one-bit stencil: its clear bits painted in the fill's grey, its set bits leaving the
    // page as it was; otherwise an opaque image (one bit: a clear bit black, a set bit white).
    bool mascara = false;
    std::vector<unsigned char> amostras;
    // The opacity of each pixel, 8 bits, or empty for an opaque image: a soft mask.
    std::vector<unsigned char> alfa;
};

// An image of the run: its number, its size in pixels, and whether it is a decoded picture (a
// PNG file) rather than a one-bit bitmap.
struct ImagemRegistrada {
    int numero;
    int largura, altura;
    bool decodificada;
};
// The picture of an IMAGEM object, read the first time it is asked for: a bitmap, opaque or as
// a mask, or a decoded picture (which has no mask of its own); nothing when the file cannot be
// used (reported once a run by the reader).
std::optional<ImagemRegistrada> ImagemDoArquivo(const char* arquivo, bool mascara);
// A decoded image, registered under `chave` (its file, say) the first time; later calls with the
// same key give the same image and leave `imagem` unused.
ImagemRegistrada RegistraImagem(const std::string& chave, ImagemPDF imagem);

// The image's resource name in every stream that shows it: /Im<number>.
std::string NomeImagem(int numero);
// Writes image `numero` into the document; the number of its object.
int EscreveImagem(Escritor& escritor, int numero);

// Forgets the images of the run.
void EsqueceImagens();
