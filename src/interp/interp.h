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
