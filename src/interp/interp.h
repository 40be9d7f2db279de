#pragma once
// The format interpreter: loads a format file into four object lists and executes them.
#include <string>
#include <string_view>

#include "util/lista.h"

// Words of the line being handled, command word first.
extern Lista* args;
// Object lists: fixed front, fixed back, variable front, variable back.
extern Lista* objsff;
extern Lista* objsfv;
extern Lista* objsvf;
extern Lista* objsvv;
// Block range of the current batch (0: no bound), set by the driver's pre-pass.
extern int marcaini, marcafim;
// Number of the last MARCA line read; kept from load to load.
extern int marca;
// Counts the format lines that hold words; names the line of an error.
extern int linha;
// The format file's own line (every line counted, from 1) of the line being loaded, and, after
// a load that failed, of the line that stopped it (0 when no line did): a host shows a message
// or an object at the line a person sees, where `linha` skips the blank ones.
extern int linha_arquivo;

// Class codes of the command validators.
constexpr int kObjetoFixo = 'f';
constexpr int kObjetoVariavel = 'v';
constexpr int kAjuste = 0;
constexpr int kErro = -1;

// Loads the format file; 0, or -1 with a one-line message (no line end) in msg.
int InicializaInterp(const char* formato, const char* dados, std::string& msg);
// Appends the words of the line to args.
void SeparaArgs(std::string_view linha_formato);
// True when a CAPTURA line that the load kept (front or back, within the batch's MARCA blocks)
// defines the variable `nome`: a page of the format can then give it a value.
bool CapturaVariavel(std::string_view nome);
// 0 when the list holds exactly `esperado` words; otherwise the count message and -1.
int NumArgs(Lista* lista, int esperado, std::string& msg);

// Executes a list in its three passes: boxes, then images, then everything else.
void Interpreta(Lista* lista);
void InterpretaFixFrente();
void InterpretaFixVerso();
void InterpretaVarFrente();
void InterpretaVarVerso();
int TemObjsff();
int TemObjsfv();
int TemObjsvf();
int TemObjsvv();
// Ends a job: closes the data file and frees every interpreter list.
void FinalizaInterp();

// ---- Copy sets and inserter marks, as the format loaded asks for them (reset at every load).
// Copies of each report page (VIAS), 1 without it.
extern int vias;
// The copy being printed, from 1: an object of another copy's VIA block is skipped.
extern int via_atual;
// The copy whose VIA block holds the object line of a loaded list, 0 for an object of every copy;
// the loader files each line of a block with its copy.
int ViaDoObjeto(const Lista* objeto);
void PoeViaDoObjeto(const Lista* objeto, int via);

// The column of marks a folding and inserting machine reads on the front of every sheet (OMR):
// its top left corner, the distance from one mark to the next, and each mark's size, in inches.
struct ColunaOMR {
    bool ativa = false;
    float x = 0.0f, y = 0.0f;
    float passo = 1.0f / 6.0f;
    float largura = 0.5f;
    float espessura = 1.0f / 72.0f;
    int linha = 0;          // the OMR line, as messages count it
    int linha_arquivo = 0;  // and the file's own
};
extern ColunaOMR omr;
// The captured variable whose value tells one envelope from the next (GRUPO); empty: none.
struct GrupoEnvelope {
    std::string variavel;
    int linha = 0;          // the GRUPO line, as messages count it
    int linha_arquivo = 0;  // and the file's own
};
extern GrupoEnvelope grupo;

// Reads the current page as printing its first copy would (sections, lines, captured
// variables), drawing nothing: what a page captures is then known before it is printed.
void LePaginaSemDesenhar();
