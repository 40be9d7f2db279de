#pragma once
// The sheets of one batch, in the order they leave the printer: every page of the data file as
// many copies as the format asks for (VIAS), copy 1 first, each with its own objects and tray
// (VIA blocks), and, when the format asks for them (OMR), the column of marks that a folding
// and inserting machine reads on each sheet's front. Each program's page loop prints one sheet
// at a time in its own language; the order, the copies and the marks are decided here, once.
#include <optional>
#include <string>

// Positions in the column of marks, from the top.
constexpr int kPosicoesOMR = 7;

struct Folha {
    int via = 1;                 // the copy, from 1
    std::optional<int> bandeja;  // a tray to select before the sheet; none: the one in force
    unsigned marcas = 0;         // bit i set: a mark at position i + 1 of the column
};

// The batch's sheets, each handed in turn to the program's `imprime`, with the current copy
// (via_atual) set and the data file's reader at the start of the sheet's page.
void ImprimeFolhas(void (*imprime)(const Folha&));

// The sheet's marks on the current side, the front, as boxes filled black.
void DesenhaMarcas(const Folha& folha);

// The marks of a sheet: its number in the run (from 1) and whether it is the last sheet of its
// envelope.
unsigned MarcasDaFolha(long numero, bool fim_do_envelope);

// The envelope variable's value on the page just read, without the blanks that pad a captured
// column (as morvpdf's customers' files take it); empty when the page has none.
std::string ValorDoEnvelope();
