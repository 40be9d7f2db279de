#pragma once
// The seam between the shared code and a printer language. The driver, the loader, the
// executor and the MD5 stamp are written once against these operations and variables; each
// program links exactly one back-end that implements them (src/pcl in morvex, src/ps in morvel,
// src/pdf in morvpdf).
#include <cstdio>
#include <optional>
#include <string>

// ---- Device variables: one set per process, shared by loader, driver, executor and back-end.
extern char papel;               // 'c' letter, '4' A4 (loader, PAPEL)
extern float tam_papel;          // page height in inches (TamanhoPapel; PostScript only reads it)
extern char orientacao;          // 'p' portrait, 'l' landscape (loader, ORIENTACAO)
extern signed char alimentacao;  // input tray (loader, ALIMENTACAO)
extern int origx, origy;         // form origin in decipoints (loader, ORIGEM)
extern float xtop, ytop;         // the same origin in inches (loader, ORIGEM)
extern unsigned char duplex;     // two-sided printing asked for (loader, DUPLEX)
extern char tipo_verso;          // 'i' back side turned by 180 degrees, 'n' normal, 0 none
extern int rotacao0;             // text rotation last asked for
extern int rotacao;              // text rotation in use
extern int margemx, margemy;     // PCL dots subtracted from every x and y
extern std::string g_fonte;      // font code of the last PCL font selection; empty: none known
extern unsigned char g_negrito, g_italico;

// Copies of one report page (VIAS) are numbered from 1 to this.
constexpr int kMaxVias = 9;
// The tray of each copy whose VIA block names one (ALIMENTACAO inside the block), by copy
// number; a copy without one takes `alimentacao` (loader, reset at every load).
extern std::optional<signed char> alimentacao_via[kMaxVias + 1];

// How far one printer's sheets land from where the form puts things, corrected for that
// printer alone (-s, -S): inches to the right and down, as the side's form reads.
struct Deslocamento {
    double x = 0.0;
    double y = 0.0;
};
extern Deslocamento deslocamento_frente, deslocamento_verso;
// The shift of the side being drawn, which every drawing operation adds to its positions.
extern Deslocamento deslocamento;
// The side about to be drawn, 'f' front or 'v' back, takes its shift.
void DeslocaLado(char lado);
// Either side is shifted: a job without a shift is written as if shifts did not exist.
bool HaDeslocamento();

// The job stream. Standard output unless a test points it elsewhere; the driver redirects
// standard output itself when an output file is named.
extern std::FILE* saida;

// Empties the font memory so that the next text selects its font in full.
void ReiniciaFonte();

// ---- What a host may be told while a job is drawn: the studio outlines each object where the
// back-end really inked it. Both are null unless a host sets them, and then nothing is done for
// them: a run that does not ask draws exactly as ever.
// The executor: the format file's line of the object it is about to run (Lista::linha), and 0
// once the list it runs is done.
extern void (*aviso_objeto)(int linha);
// The back-end: a box that a drawing operation has just inked for that object, in inches of
// the page from its top left corner, x to the right and y downwards (the form origin applied).
extern void (*aviso_tinta)(double x, double y, double largura, double altura);

// ---- Operations every back-end implements.
void InicializaImp();
// Called once when the run ends, after its last batch or on the error that stopped it
// (`completa` false). A job that can be written batch after batch has nothing left to do; a
// document that spans the whole run is finished here. False, with the message given, when what
// the run made could not be written.
bool EncerraExecucao(bool completa);
// side: 0 both, 'f' front, 'v' back.
void DefineMacros(char lado);
void TamanhoPapel(const char* nome);
void Rotacao(int angulo);
void Rotacao2(int angulo);
// The printer's character set, as iconv(3) names it: the texts of a format that declares
// their set (CODIFICACAO) are converted to it before they are drawn.
extern const char* const kConjuntoImpressora;
// Rewrites the accent notation of the text into the printer's own character codes.
void acentua(std::string& texto);
// x equal to -1.0 asks for the text to be centred. The content is changed in place.
void DesenhaTexto(float x, float y, const char* fonte, const char* estilo, std::string& conteudo);
void DesenhaLinha(float x1, float y1, float x2, float y2, int largura);
void DesenhaRetang(float x, float y, float largura, float altura, int sombra, int borda);
void DesenhaRetangA(float x, float y, float largura, float altura, const char* cantos, int pena);
void DesenhaImagem(float x, float y, float largura, float altura, const char* arquivo, int mascara);
void DesenhaCodBar(float x, float y, int altura, const char* tipo, const char* codigo);
// A matrix code (CODMATRIZ), encoded and sized by the shared code, with its top left corner at
// (x, y): each module a square of simbolo.modulo dots of 1/300 inch; dark modules are drawn,
// light ones leave the page as it is.
struct SimboloMatriz;
void DesenhaCodMatriz(float x, float y, const SimboloMatriz& simbolo);
