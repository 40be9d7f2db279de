#pragma once
// The fonts of the document's texts: found through fontconfig, measured and subset by HarfBuzz
// (fontes.cpp is the only file that knows either), embedded when a document ends.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class Escritor;

// The six fonts of morvel's prologue, in its order: the sans letters (its "Arial") plain, bold
// and italic, then the monospaced (its "Courier") plain, bold and italic.
constexpr std::size_t kNumFontes = 6;
constexpr std::size_t kFontesPorFamilia = 3;

// Finds the six fonts, once a process. False when any is missing, each one missing reported
// once a run with "Erro na abertura do arquivo [%s]\n" and its name ("Nimbus Sans Bold"): a
// document whose letters came from another font would not be the form.
bool CarregaFontes();
// Frees the fonts and fontconfig's caches (at the end of the program, for a leak checker).
void DescarregaFontes();
// Forgets what a run learnt of its characters: those already reported as missing, and which
// character each glyph stands for.
void EsqueceCaracteres();

// The glyphs a content stream or a document uses, font by font: one bit per glyph id.
class GlifosUsados {
  public:
    // The bits of the font's glyphs, with room for `glifos` of them: a text marks its glyphs
    // there without asking each time.
    std::uint64_t* Bits(std::size_t fonte, unsigned glifos);
    void Junta(const GlifosUsados& outros);
    void Limpa();
    bool Usa(std::size_t fonte) const;
    bool Tem(std::size_t fonte, std::uint16_t glifo) const;

  private:
    std::array<std::vector<std::uint64_t>, kNumFontes> bits_;
};

// The glyph ids of a UTF-8 text in the font, in order, each marked in `usados`; a character
// the font lacks is left out, reported once a run with "Caractere sem glifo [U+%04X]\n". The
// result is the text's advance in thousandths of the font size, from the font's own widths,
// unrounded, as a printer's show moves along it.
double Glifos(std::size_t fonte, std::string_view texto, std::vector<std::uint16_t>& glifos,
              GlifosUsados& usados);

// The box that holds the ink of the glyphs drawn in a row from the origin, each advancing by its
// width, in thousandths of the font size, y upwards.
struct CaixaGlifos {
    double x0, y0, x1, y1;
};
CaixaGlifos CaixaDosGlifos(std::size_t fonte, const std::vector<std::uint16_t>& glifos);

// Writes the fonts the document used, each subset to its glyphs (glyph ids kept, so pages
// written before the subset was known stay right), with its widths and a map back to Unicode.
// Each used font's object number is set in `objetos` (0 for a font not used).
void EscreveFontes(Escritor& escritor, const GlifosUsados& usados,
                   std::array<int, kNumFontes>& objetos);
