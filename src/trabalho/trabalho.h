#pragma once
// One print job run by the program's own driver in a child process, in a private directory: the
// job's crash, memory, working directory, descriptors and environment never touch its host (the
// spooler's filter, or any other front end), which gets back what the job left.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
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
    bool esgotado = false;   // killed when its time was up
    bool cancelado = false;  // killed because its host no longer wanted it
    bool Sucesso() const { return falha.empty() && sinal == 0 && status == 0; }
};

// What a job may take, for a host that runs jobs it cannot trust to end (the studio runs every
// form a designer types). The default is no bound at all, as for the spooler's filters.
struct LimitesTrabalho {
    // Wall-clock time before the job is killed (SIGKILL); zero: none.
    std::chrono::milliseconds tempo{0};
    // Address space the job may take beyond what it starts with, a copy of its host's; 0: none.
    std::size_t memoria = 0;
    // When another thread of the host sets it, the job is killed at once.
    const std::atomic<bool>* cancelado = nullptr;
};

// What the child runs, given the command line: the program's own driver (Principal), or a
// host's own entry; its result is the job's exit status.
using EntradaTrabalho = std::function<int(int argc, char** argv)>;

// Runs the program's command line `argumentos` (program name first) as the program itself
// would, in a child process with the job's directory as working directory and TMPDIR, the
// relative file names of its forms found in `pasta_formularios`, its standard output into a
// file there, and its standard error on a pipe to the caller (a full disk swallows no message).
// Standard input is the caller's.
Execucao ExecutaTrabalho(const PastaTrabalho& pasta, const std::vector<std::string>& argumentos,
                         const std::string& pasta_formularios);
// The same, within `limites`, with `entrada` run in the child in place of the driver.
Execucao ExecutaTrabalho(const PastaTrabalho& pasta, const std::vector<std::string>& argumentos,
                         const std::string& pasta_formularios, const LimitesTrabalho& limites,
                         const EntradaTrabalho& entrada);
// An entry that replaces the child by the program its command line names (found on PATH when
// the name has no slash), for a job that is another program altogether (an interpreter that
// renders a job); 127 with a message when it cannot be started.
int ExecutaPrograma(int argc, char** argv);
