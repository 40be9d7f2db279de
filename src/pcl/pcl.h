#pragma once
// What the PCL page loop shares with the PCL back-end, and the back-end's own helpers.

// The print direction, in degrees, under which what is being written now will be played:
// curved boxes are drawn in HP-GL/2, which does not turn with the PCL print direction, so the
// back-end must know it. The page loop sets it at every side turn and page end.
extern int direcao_pcl;

// Dots to the inch of every PCL position and size.
constexpr double kPontosPolegada = 300.0;

// A form position or size in inches as PCL dots: widened to double first, truncated at the end.
int PontosX(float x);
int PontosY(float y);
int Pontos(float medida);
// A sum or difference of dot values, kept inside the int range.
int LimitaInt(long long valor);
// A shaded box prints its shade as a pattern of dots laid from the pattern reference point,
// the page's origin unless moved: a shifted side moves the reference with its drawings, so
// that every box keeps its own dots. Written in print direction 0, at the start of each side
// of a shifted job only: `virado` for a back side about to be turned by 180 degrees, whose
// drawings move the other way on the sheet.
void AncoraPadroes(bool virado = false);

// A raster row: its length in bytes, then the bytes (a set bit prints black).
void EscreveLinhaRaster(const unsigned char* bytes, int tamanho);

// A decoded picture at (X, Y), W by H dots of 300 to the inch, in place of the raster the
// caller started there: each dot shows the pixel under its centre; the drawn pixels (all, or
// those at least half opaque) are first covered white, then inked by an ordered (Bayer) dither
// of their luminance, so that greys print as greys; transparent pixels print nothing.
struct ImagemDecodificada;
void EnviaImagemPontilhada(const ImagemDecodificada& imagem, int X, int Y, int W, int H);

// The outline of a box with curved corners, in HP-GL/2, at (X, Y) with size W by H in dots;
// corner i (top left, top right, bottom right, bottom left) is curved when cantos[i] is '0'.
void retanga(int X, int Y, int W, int H, const char* cantos, int pena);

// The form macros of each copy: copy 1 keeps 20 (front) and 21 (back), the others follow in
// pairs (copy 2 in 22 and 23, ...), each defined, called and deleted as copy 1's.
constexpr int kMacroFrente = 20;
constexpr int kMacroVerso = 21;
inline int MacroDaVia(int macro_da_primeira, int via) {
    return macro_da_primeira + 2 * (via - 1);
}
