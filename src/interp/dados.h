#pragma once
// The data file reader: pages, numbered sections and captured variables.
#include <cstdio>
#include <string>
#include <string_view>

#include "util/lista.h"

// A data line holds at most this many bytes; the rest of a longer line comes as further lines.
constexpr std::size_t kLinhaDados = 255;
// Sections are numbered 1 to this.
constexpr int kSecoes = 32;

extern std::FILE* dad;        // the data file, or null
extern long tamarq;           // its size in bytes
extern long pag;              // offset of the current page
extern unsigned char fimpag;  // a read has passed the end of the current page
extern unsigned char fimarq;  // a read has reached the end of the file
extern long secoes[kSecoes];  // 0 not found yet, -1 ended, else offset of the next line
extern Lista* vars;           // variables captured on the current page, "%-20s%s"

// 0 when a line was read into buf, 1 at the end of the file.
int readline(std::string& buf);
int PrimeiraPagina();
int RepetePagina();
// Goes back (or ahead) to the page that starts at `inicio`, an offset that `pag` held: as
// RepetePagina, for a page read before.
int RetomaPagina(long inicio);
int ProximaPagina();
void LeDados(int secao, std::string& buf);
void SetaVar(std::string_view linha_dados, std::string_view item);
void LeVar(std::string_view nome, std::string& buf);
