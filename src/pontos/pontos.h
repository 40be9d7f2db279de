#pragma once
// The page of the back-ends that draw in points, morvel's PostScript and morvpdf's PDF: its size,
// the form origin, the coordinate rule by which a form's inches become whole points from the
// page's bottom left corner, and where a text starts. Both programs place every object on the
// same points, so they share the rule rather than keep two copies of it.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <string_view>

// Points to the inch of PostScript's and PDF's default user space.
constexpr double kPontosPorPolegada = 72.0;

// Every converted coordinate is kept within this many points of the page origin (about 1400
// inches): no form reaches that far, and beyond it interpreters refuse arcs and paths
// (limitcheck), which would flush the rest of the job on the printer.
constexpr int kLimitePontos = 100000;

// Page sizes in points, portrait, as the page device takes them: width then height.
constexpr int kCartaLargura = 612, kCartaAltura = 792;
constexpr int kA4Largura = 595, kA4Altura = 842;
// The page height that stands for letter paper, in inches; any other height means A4.
constexpr float kAlturaCarta = 11.0f;
constexpr float kAlturaA4 = 11.7f;
// Page heights of a landscape sheet, in inches: letter and A4.
constexpr float kAlturaCartaPaisagem = 8.5f;
constexpr float kAlturaA4Paisagem = 8.26f;

// How the drawings are measured in points.
// Line widths are given in quarter points.
constexpr double kQuartoPonto = 0.25;
// Dashes are 6 points long, one every 12 points.
constexpr int kTraco = 6;
constexpr int kPassoTraco = 12;
// Radius of a curved corner and the length by which each side is shortened for it, in points.
constexpr int kRaio = 5;
// Bitmaps are drawn at 300 pixels to the inch.
constexpr long long kPixelsPolegada = 300;
// One barcode module is 1/100 inch; one strip of bars is a quarter inch (18 points) high.
constexpr long long kModulosPolegada = 100;
constexpr int kAlturaFaixa = 18;
// A barcode is at most this many strips high (50 inches): the count comes from the format, and
// an absurd one must not write millions of strips.
constexpr int kMaxFaixas = 200;
// Shades are percentages of black.
constexpr int kSombraMax = 100;
// Only the first four corner flags count: top left, top right, bottom right, bottom left.
constexpr std::size_t kCantos = 4;

// The page of the current job: its size in points, the height (in inches, the short side in
// landscape) by which the rule turns y upwards, and the form origin, exchanged in landscape,
// less the shift of the side being drawn (which moves the form along its own axes, landscape
// or not). Always derived from the device variables as the loader left them, so that a later
// batch starts from its own settings, never from an earlier batch's adjustment.
struct PaginaPontos {
    double largura;
    double altura;
    float altura_forma;
    double xtop;
    double ytop;
};
PaginaPontos PaginaEfetiva();

// The coordinate rule: a form x or y in inches (already widened, sums formed in double) into
// whole points from the bottom left corner of the page, truncated towards zero.
int PontoX(double x);
int PontoY(double y);
// An int result of a sum or product of device values, kept inside kLimitePontos.
int LimitaPontos(long long valor);

// A sum or difference of whole points kept inside the int range.
inline int LimitaAInt(long long valor) {
    return static_cast<int>(std::clamp<long long>(valor, INT_MIN, INT_MAX));
}

// The corners of a box in points: its right edge from x + width and its bottom edge from
// y + height, each sum formed in double.
struct Caixa {
    int X1, Y1, X2, Y2;
};
Caixa ConverteCaixa(float x, float y, float largura, float altura);

// The dashes of a dashed line between two converted points, as morvel draws them: a line given
// from its right end is the same line, drawn from its left end, each dash kTraco points along x
// with the line's whole rise, the last one reaching up to kTraco - 1 points beyond the end; a
// vertical line from its upper end down. `traco(X, Y, dx, dy)` draws one dash from (X, Y).
template <typename F>
void Tracos(int X1, int Y1, int X2, int Y2, F traco) {
    if (X2 < X1) {
        std::swap(X1, X2);
        std::swap(Y1, Y2);
    }
    if (X1 != X2) {
        const long long comprimento = static_cast<long long>(X2) - X1;
        const int dy = LimitaAInt(static_cast<long long>(Y2) - Y1);
        for (long long i = 0; i < comprimento; i += kPassoTraco)
            traco(LimitaAInt(X1 + i), Y1, kTraco, dy);
        return;
    }
    const int topo = std::max(Y1, Y2);
    const long long comprimento = static_cast<long long>(topo) - std::min(Y1, Y2);
    for (long long i = 0; i < comprimento; i += kPassoTraco)
        traco(X1, LimitaAInt(topo - i), 0, -kTraco);
}

// Where a text starts, and whether it is turned: only the quarter turns have a defined place on
// the page, any other angle is drawn upright. The angle in use is folded below 180 on the way
// (a text at 270 is written as at 90, one at 180 upright) and stays so in rotacao.
struct PosicaoTexto {
    int X, Y;
    bool girado;
};
// x equal to -1.0 asks for the text to be centred on the form's width.
PosicaoTexto PosicionaTexto(float x, float y);

// The text without the blanks at either end, as a centred text is placed.
std::string_view SemBrancosNasPontas(std::string_view texto);
