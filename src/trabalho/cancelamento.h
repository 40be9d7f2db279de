#pragma once
// The spooler cancels a job by SIGTERM to its filter. Left to its default, the signal would end
// the filter with the job's directory, and the copy of the report's pages in it, still in the
// spooler's TMPDIR until the spooler restarts, and the job's own process still running.
#include <sys/types.h>

// From now on, SIGTERM ends the job's process (see CancelaTambem), empties and removes the
// directory `caminho`, open as the descriptor `pasta`, and ends the caller with `status`.
// `caminho` must stay as it is until DesarmaCancelamento.
void RemoveAoCancelar(int pasta, const char* caminho, int status);
// The process that runs the job, killed and reaped before its directory goes; 0 for none. Set
// with SIGTERM blocked, so that the handler never misses a process just started.
void CancelaTambem(pid_t processo);
// SIGTERM ends the caller as it would by default.
void DesarmaCancelamento();
