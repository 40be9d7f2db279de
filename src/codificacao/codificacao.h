#pragma once
// The character set that the loaded format declares for its texts and its data (CODIFICACAO),
// and what follows from it: texts converted to the printer's own set, columns and widths
// counted in characters. Without a declaration every byte is a character and goes out as read.
#include <cstddef>
#include <string>
#include <string_view>

enum class Codificacao { nenhuma, utf8, latin1 };

// The declaration of the loaded format; set by the loader, reset at every load and at the end
// of every job.
extern Codificacao codificacao;

// Declares the set and opens, once for the job, the conversion of its texts into the printer's
// set `conjunto_impressora` (as iconv names it). False, with nothing declared, when the C
// library cannot convert between the two.
bool DeclaraCodificacao(Codificacao declarada, const char* conjunto_impressora);
// Back to no declaration; the conversion is closed.
void EncerraCodificacao();
// A text of the declared set, in the printer's set; left as it is without a declaration.
void ConverteTexto(std::string& texto);
// The characters of the text in the declared set.
std::size_t ContaCaracteres(std::string_view texto);
// At most n characters of the text from its character `inicio` on (counted from 0); empty when
// the text ends before it.
std::string_view TrechoCaracteres(std::string_view texto, std::size_t inicio, std::size_t n);
