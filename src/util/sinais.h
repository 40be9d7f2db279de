#pragma once
// Files a run must not leave behind when SIGINT, SIGTERM or SIGHUP ends it: the paginated copy
// of the report in TMPDIR holds every customer's data, and a draft under a hidden name is a
// file nobody asked for. Each such file is noted here while it exists; the signal's handler
// removes every one of them and then ends the process as the signal itself would, so that the
// caller sees the signal's status (130, 143 or 129 in a shell).
#include <signal.h>

// At most this many files of a run stand to be removed at once: the batch's data file, the
// customer's file being written, the folder's index and the run's output file.
constexpr int kRemocoesMaximas = 8;

// From now on the three signals remove the noted files, each signal that the process did not
// find ignored or handled by its host (a run started with nohup keeps ignoring SIGHUP).
void ArmaSinais();

// Notes a file that exists now and must be removed at a signal. False when it cannot be noted
// (no room, or a path longer than any the system opens): the caller must not make the file.
// Call with the signals held back (SinaisAdiados) from before the file is made, so that no
// signal falls between its making and its note.
bool NotaRemocao(const char* caminho);
// The file is gone or has taken its final name: a signal no longer removes it.
void EsqueceRemocao(const char* caminho);

// Holds the three signals back for its life: a signal that comes meanwhile is handled when the
// object goes, once the files are made and noted, or removed and forgotten.
class SinaisAdiados {
  public:
    SinaisAdiados();
    ~SinaisAdiados();
    SinaisAdiados(const SinaisAdiados&) = delete;
    SinaisAdiados& operator=(const SinaisAdiados&) = delete;

  private:
    sigset_t anterior_;
};
