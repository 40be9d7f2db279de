#pragma once
// One print job run in-process by the program's own driver, in a private directory of its own.
#include <string>
#include <vector>

// A directory made for one job under $TMPDIR (the spooler's, for a filter) and removed with
// everything in it when the job ends, or when the spooler cancels it (the filter then ends with
// `status_cancelado`), so concurrent jobs never share their trace, stamp scratch file or data
// files, and nothing is left in the spooler's directories.
class PastaTrabalho {
  public:
    explicit PastaTrabalho(int status_cancelado);
    ~PastaTrabalho();
    PastaTrabalho(const PastaTrabalho&) = delete;
    PastaTrabalho& operator=(const PastaTrabalho&) = delete;
    // Empty when the directory could not be made.
    const std::string& caminho() const { return caminho_; }
    // The name under which a failure to make it is reported.
    const std::string& modelo() const { return modelo_; }

  private:
    std::string modelo_;
    std::string caminho_;
    int descritor_ = -1;
};

struct Execucao {
    int status = 0;         // the program's exit status: 0, or -1 on any error
    std::string job;        // the file in the job's directory that holds the whole job
    std::string mensagens;  // everything the program wrote to standard error
    long paginas = 0;       // sheets written
};

// Runs the program's command line `argumentos` (program name first) as the program itself
// would, with the job's directory as working directory and TMPDIR, its standard output into a
// file there and its messages collected.
Execucao ExecutaTrabalho(const PastaTrabalho& pasta, const std::vector<std::string>& argumentos);
