#pragma once
// Printed pages of a program's job, as its interpreter renders it in the working directory
// (Ghostscript for morvel's PostScript and morvpdf's PDF, gpcl6 for morvex's PCL), or poppler
// for a PDF: greyscale pixels, and barcodes
// read with zbarimg.
#include <string>
#include <vector>

#include "support/ferramentas.h"

bool TemPrograma(const std::string& nome);
// Standard output of a shell command (its standard error is dropped).
std::string SaidaDe(const std::string& comando);

struct Interpretador {
    const char* nome;     // as looked up on PATH
    const char* comando;  // the command line that renders a job, but for device and files
    const char* falta;    // what a test says when it is missing
};
// The interpreter of the program's printer language.
const Interpretador& InterpretadorDe(const std::string& programa);

// Decoders of printed symbols, looked up on PATH.
constexpr const char* kZbarimg = "zbarimg";
constexpr const char* kDmtxread = "dmtxread";
// Poppler's renderer, the second reader of every PDF.
constexpr const char* kPdftoppm = "pdftoppm";
// Why a test of printed pages cannot run here: the first missing interpreter of the programs
// given or decoder named, with what to install; empty when everything is there.
std::string FaltaFerramenta(const std::vector<std::string>& programas,
                            const std::vector<std::string>& decodificadores);

// Who reads a job: the interpreter of its language, or poppler (a PDF only), the other reader
// of PDF most viewers build on.
enum class Leitor { interpretador, poppler };

// Adds a test failure when the reader reports an error on the job, as a printer would flush
// the rest of it; notes once on standard error that the check is skipped without the reader.
void RenderizaSemErro(const std::string& job, const std::string& programa,
                      Leitor leitor = Leitor::interpretador);

// One rendered page: 0 is black, 255 white; grey, or red, green and blue (canais 3).
struct Pagina {
    int largura = 0, altura = 0;
    int canais = 1;
    std::vector<unsigned char> pixels;
    unsigned char em(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(largura) +
                      static_cast<std::size_t>(x)];
    }
    // Component c of pixel (x, y) of a page in colour.
    unsigned char cor(int x, int y, int c) const {
        return pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(largura) +
                       static_cast<std::size_t>(x)) *
                          3 +
                      static_cast<std::size_t>(c)];
    }
};

// A grey map (P5) or, with canais 3, a pixel map (P6).
bool LePGM(const std::string& nome, Pagina& p, int canais = 1);

// Every page of the program's job at the given resolution; empty when it cannot be rendered.
std::vector<Pagina> Renderiza(const std::string& job, int dpi,
                              const std::string& programa = kMorvel,
                              Leitor leitor = Leitor::interpretador);
// The same in colour.
std::vector<Pagina> RenderizaEmCores(const std::string& job, int dpi, const std::string& programa,
                                     Leitor leitor = Leitor::interpretador);

// The text of each page, as the program's interpreter lays it out (its txtwrite device).
std::vector<std::string> TextosDasPaginas(const std::string& job, const std::string& programa);

// The texts of the barcodes and QR codes on every page, as zbarimg reads them from a 300 dpi
// render.
std::vector<std::string> LeCodigos(const std::string& job, const std::string& programa = kMorvel,
                                   Leitor leitor = Leitor::interpretador);

// A part of a page, in inches from its top left corner.
struct Regiao {
    double x, y, largura, altura;
};
// The text of the Data Matrix symbol in the region of each page, as dmtxread reads it from a
// 300 dpi render (pages where it finds none give nothing). dmtxread searches a whole page slowly:
// each search keeps to the region where the form places the symbol.
std::vector<std::string> LeDataMatrix(const std::string& job, const std::string& programa,
                                      const Regiao& regiao, Leitor leitor = Leitor::interpretador);
