#pragma once
// What a print room reads off the printed sheets: the column of marks a folding and inserting
// machine reads, and where the ink of one print lies against another's.
#include <string>
#include <vector>

#include "support/render.h"

// A column of marks on the page, in inches: the top left corner of its first mark, the step from
// one mark to the next and the marks' width.
struct ColunaDeMarcas {
    double x, y, passo, largura;
};

// The column on each page as a reading head sees it, a "1" for each of its seven positions that
// holds a mark: the middle half of the mark's width dark across one row at least, within a
// window of half a step around the position.
std::vector<std::string> LeMarcas(const std::vector<Pagina>& paginas, const ColunaDeMarcas& c,
                                  int dpi);

// Ink pixels of `a` (darker than mid-grey) that `b` does not have `dx` and `dy` pixels further
// right and down, and the other way round; only ink whose place on either page lies at least
// `borda` pixels inside the page counts (the printer's edge clips what a shift moves there).
struct TintaForaDoLugar {
    long tinta = 0;     // ink pixels of `a` compared
    long faltando = 0;  // not found moved on `b`
    long sobrando = 0;  // ink of `b` not found on `a` before the move
};
TintaForaDoLugar ComparaTinta(const Pagina& a, const Pagina& b, int dx, int dy, int borda);
