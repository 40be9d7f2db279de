#pragma once
// One print job run by the program's own driver in a child process, in a private directory: the
// job's crash, memory, working directory, descriptors and environment never touch its host (the
// spooler's filter, or any other front end), which gets back what the job left.
#include <string>
#include <vector>

#include "trabalho/pasta.h"

struct Execucao {
    std::string falha;  // why the job could not be started at all; empty when it ran
    int status = 0;     // the program's exit status (0, or 255 for its -1)
    int sinal = 0;      // the signal that ended the program, 0 when it ended by itself
    std::string job;    // the file in the job's directory that holds the whole job
    // The lines the program wrote on standard error. Beyond what is kept of them, lines are
    // counted in mensagens_omitidas, all but the last one, which is always kept.
    std::vector<std::string> mensagens;
    long mensagens_omitidas = 0;
    long paginas = 0;     // sheets written
    std::string formato;  // the format file of the batch in hand when the program ended, if any
    bool Sucesso() const { return falha.empty() && sinal == 0 && status == 0; }
};

// Runs the program's command line `argumentos` (program name first) as the program itself
// would, in a child process with the job's directory as working directory and TMPDIR, the
// relative file names of its forms found in `pasta_formularios`, its standard output into a
// file there, and its standard error on a pipe to the caller (a full disk swallows no message).
// Standard input is the caller's.
Execucao ExecutaTrabalho(const PastaTrabalho& pasta, const std::vector<std::string>& argumentos,
                         const std::string& pasta_formularios);
