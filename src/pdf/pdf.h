#pragma once
// What the PDF operations share: the run's choices, the content stream being drawn (on morvel's
// points, src/pontos) and the document (or the documents, one per customer) that the pages go
// to.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pontos/pontos.h"

class Conteudo;

// What morvpdf's command line asks for beyond the other programs' arguments.
struct OpcoesPDF {
    std::string pasta;     // -d: one file per customer in this folder; empty: one document
    std::string variavel;  // -n: the captured variable whose value names a customer's file
    bool grade = false;    // -g: the designer's grid under every page
    std::string titulo;    // the document's title when it holds the whole run
    std::string nome_saida = "stdout";  // the run's output, as messages name it
};
extern OpcoesPDF opcoes_pdf;

// The stream being drawn: the side's, or the form's while one is recorded; null outside a side
// (nothing is drawn then).
Conteudo* Lado();
// Until called again with null, the drawing operations draw into `conteudo` instead of the
// side.
void DesviaLado(Conteudo* conteudo);

// The fixed objects of one side of the form (InterpretaFixFrente or InterpretaFixVerso) on the
// current side: drawn once a batch into a form of their own, which every page then shows, so
// that the document holds them once.
void DesenhaForma(char lado, void (*interpreta)());
// Forgets the batch's forms: a new batch may load another format. Their numbers are not given
// again in the run.
void EsqueceFormas();
// Forgets the forms of the run, and their numbers.
void ReiniciaFormas();
// The recorded form of the run's number `numero`, for a document that shows it: its stream,
// compressed, what the stream shows, and its page size.
struct FormaPDF {
    const Conteudo* conteudo;
    std::string_view comprimido;
    double largura, altura;
};
FormaPDF FormaDeNumero(int numero);
// The form's resource name in every stream that shows it: /Fm<number>.
std::string NomeForma(int numero);

// ---- The page sequence, driven by morvpdf's page loop.
// Nothing more of the run can be written (its message given): no page is drawn any more, and
// the run fails.
void FalhaExecucao();
// Starts a new side: a new page of the batch's size, with the grid when asked for.
void ComecaLado();
// Ends the side being drawn.
void TerminaLado();
// The sheet's sides are all drawn: they go to the run's document, or, with one file per
// customer, to the file of `valor` (the value of the captured variable on the sheet).
void TerminaFolha(std::string_view valor);

// The designer's grid on a side.
void DesenhaGrade(Conteudo& conteudo);

// ---- What a host that asks is told of each drawing (aviso_tinta; nothing is done without it).
// The box from (x1, y1) to (x2, y2) of the page, in its points from the bottom left corner,
// `margem` wider on every side (half a stroke's width).
void AvisaTinta(double x1, double y1, double x2, double y2, double margem = 0);
// The box of the glyphs of a text of font `fonte`, `tamanho` points, drawn from (X, Y), turned
// a quarter turn when `girado`.
void AvisaTexto(std::size_t fonte, int tamanho, double X, double Y, bool girado,
                const std::vector<std::uint16_t>& glifos);

// Frees the fonts and the font caches of the process, once nothing is drawn any more: at the end
// of the program, so that a leak checker sees only what the run itself lost.
void LiberaFontes();

// Forgets every document, page and image of earlier runs without writing them (for tests and
// the fuzz harness, which run the whole program again in the same process).
void ReiniciaDispositivoPDF();

// ---- Texts as the document takes them.
// A text of the job as UTF-8: the accent notation turned into its letters, the bytes of a text
// without a declared set taken as Latin-1 (as morvel's fonts print them), and characters that
// print nothing (control codes) left out.
std::string TextoUTF8(std::string_view texto);

// ---- One file per customer (-d, -n; src/pdf/clientes.h).
// The file name a value (in UTF-8, as ValorUTF8 gives it) gives: letters, digits, '-', '_' and
// '.' kept, a letter with marks as its base letter, any other character '_', never empty nor
// starting with a dot, at most kNomeMaximo bytes; the sheet number names the file of sheets
// without a value.
constexpr std::size_t kNomeMaximo = 200;  // under any file system's 255, with room for a suffix
std::string NomeSeguro(std::string_view valor, long folha);
// A value captured from the report as the document's texts show it: converted from the format's
// declared set, then to UTF-8 by TextoUTF8.
std::string ValorUTF8(std::string_view valor);
