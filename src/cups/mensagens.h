#pragma once
// What the filter tells the spooler, on standard error: one "LEVEL: text" line each (filter(7)).
#include <string>
#include <string_view>

#include "trabalho/trabalho.h"

// One line at the level given ("ERROR", "WARNING", "INFO", "PAGE"). Control characters of the
// text (a form name a client sent, a byte of a broken form echoed by the program) are written
// as "?": the line stays one line of the log, whatever its caller passed on.
void EnviaMensagem(const char* nivel, std::string_view texto);

// The messages of a job that ran: every line of the program's, as warnings when the job printed
// and as errors when it failed; then why a failed job stopped, when the program did not say it
// (a signal, an exit without a word). `formulario`, when not empty, is named on the line that
// says why the job stopped.
void RepassaMensagens(const Execucao& e, const std::string& programa,
                      const std::string& formulario);
