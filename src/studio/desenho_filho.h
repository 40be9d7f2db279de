#pragma once
// What the child process of one render does: runs morvpdf's own driver and back-end on the
// pieces that print the page, told by the executor and the back-end which line drew which box,
// then has poppler render the page, and leaves in its working directory the picture and what
// the page needs beside it (the boxes, the messages with their lines, the preflight).
#include <string>

#include "studio/amostra.h"
#include "studio/json.h"

// Files the child leaves in the job's directory.
constexpr const char* kArquivoResultado = "resultado.json";
constexpr const char* kArquivoImagem = "pagina.png";
constexpr const char* kArquivoMensagens = "mensagens";
// The page of the run's document that shows the sheet and side asked for, counted from 0: the
// other programs' jobs have their pages in the same order.
constexpr const char* kArquivoIndice = "indice";

struct OrdemDesenho {
    std::string formulario;  // the form's text, as a file of the job's directory
    std::string job;         // the file the run's PDF goes to (the child's standard output)
    PaginaSozinha pagina;
    int lado = 0;            // 0 front, 1 back
    double dpi = 0;
    bool grade = false;      // the grid of morvpdf -g under the page
    bool imagem = true;      // false: everything but the picture (another program draws it)
    Conjunto conjunto = Conjunto::utf8;  // the form's, for the texts of its messages
};

// The child's whole work; 0 once the result is written, whatever the run made of the form.
int DesenhaNoFilho(const OrdemDesenho& ordem);
