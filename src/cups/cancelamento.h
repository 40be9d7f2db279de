#pragma once
// The spooler cancels a job by SIGTERM to its filter. Left to its default, the signal would end
// the filter with the job's directory, and the copy of the report's pages in it, still in the
// spooler's TMPDIR until the spooler restarts.

// From now on, SIGTERM empties and removes the directory `caminho`, open as the descriptor
// `pasta`, and ends the filter with `status`. `caminho` must stay as it is until
// DesarmaCancelamento.
void RemoveAoCancelar(int pasta, const char* caminho, int status);
// SIGTERM ends the filter as it would by default.
void DesarmaCancelamento();
