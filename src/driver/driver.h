#pragma once
// What each program gives the shared driver and its hosts: its name, the kind of job it writes
// and its page loop.
#include <optional>
#include <string>
#include <vector>

// "morvex", "morvel" or "morvpdf", for the usage text.
extern const char* const kNomePrograma;
// The options the program's own entry point takes before the others, as the usage text names
// them ("" for none).
extern const char* const kOpcoesPrograma;
// What the program's job is to the spooler's filter that sends it on. A printer job (PCL,
// PostScript) reaches the printer as written: the filter sends it once per copy and counts its
// sheets. A document (PDF) goes on through the spooler's PDF chain, which makes the copies (a
// PDF sent twice is no PDF) and counts the pages the printer gets: the filter sends it once and
// counts none, or the copies and pages would be counted twice.
enum class TipoJob { Impressora, Documento };
extern const TipoJob kTipoJob;
// Runs the job start, every page of the data file and the job end of one batch.
void LacoPaginas();
// Whether the format just loaded for a batch serves the program's own options; false, with its
// message given, stops the run before the batch prints anything.
bool ConfereFormato();
// Sheets the page loop has ended in this run, each counted after its page end step: the
// spooler's filters report them to the spooler's page accounting.
extern long paginas_impressas;
// The whole run: command line, trace, batches; returns the exit status.
int Principal(int argc, char** argv);
// Told the format file of each batch before it is loaded, and nullptr once the batch has been
// written: a host that runs the driver names the form a failed job was on. Null: nobody asks.
extern void (*aviso_formato)(const char* formato);

// The two usage lines, with every option the program takes.
void EscreveUso();

// The first sheet of the run's next batch, as the inserter marks of a batch's last sheet need
// it: the value its format's envelope variable (GRUPO) takes there, empty when it has none;
// nothing when the run has no further sheet. Prepares the next batch ahead of its turn.
std::optional<std::string> ValorNoLoteSeguinte();

// One batch of a run cut down to a few of its pages, for a host that shows a page of a long
// report without printing all of it (the studio): the batch's own range of MARCA blocks, and a
// data file that holds only those pages, as the pre-pass paginated them.
struct TrechoExecucao {
    std::string dados;
    int marcaini = 0;
    int marcafim = 0;
    // False: the batch is only loaded, for what one load leaves to the next (the number of the
    // last MARCA line, the page settings a later form may not repeat), or read ahead by the
    // batch before it (its first sheet's envelope, for the inserter marks); nothing is printed.
    bool imprime = true;
    // The report's pages before the first of this batch's file, for the number of the sheets it
    // prints (the inserter marks count the sheets of the run).
    long paginas_antes = 0;
};
// Runs the pieces in order as the batch loop runs its batches, the pre-pass aside, with the one
// format file, the job on standard output and the trace in the working directory; the run's
// status. A load that fails stops the run, with the loader's message handed back in
// `erro_carga` (and not written), its line in `linha_arquivo`.
int ExecutaTrechos(const char* formato, const std::vector<TrechoExecucao>& trechos,
                   std::string& erro_carga);
