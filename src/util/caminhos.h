#pragma once
#include <string>

// The folder in which the relative file names of a form (IMAGEM bitmaps, a DADOS file) are
// found; empty, as in both programs, means the working directory. The spooler's filters run
// each job in a private working directory and point this at their forms directory, so that the
// logo beside a form prints.
extern std::string pasta_formulario;

// The path under which a file that a form names is opened.
std::string CaminhoFormulario(const std::string& nome);
