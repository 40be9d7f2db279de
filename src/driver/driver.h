#pragma once
// What each program gives the shared driver: its name and its page loop.

// "morvex" or "morvel", for the usage text.
extern const char* const kNomePrograma;
// Runs the job start, every page of the data file and the job end of one batch.
void LacoPaginas();
// The whole run: command line, trace, batches; returns the exit status.
int Principal(int argc, char** argv);
