#pragma once
// What each program gives the shared driver: its name and its page loop.

// "morvex" or "morvel", for the usage text.
extern const char* const kNomePrograma;
// Runs the job start, every page of the data file and the job end of one batch.
void LacoPaginas();
// Sheets the page loop has ended in this run, each counted after its page end step: the
// spooler's filters report them to the spooler's page accounting.
extern long paginas_impressas;
// The whole run: command line, trace, batches; returns the exit status.
int Principal(int argc, char** argv);
// Told the format file of each batch before it is loaded, and nullptr once the batch has been
// written: a host that runs the driver names the form a failed job was on. Null: nobody asks.
extern void (*aviso_formato)(const char* formato);
