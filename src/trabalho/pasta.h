#pragma once
// The directory of one job, made under $TMPDIR (the spooler's, for a filter) and removed with
// everything in it when the job ends, or when the spooler cancels it, so that concurrent jobs
// never share their trace, stamp scratch file or data files, and nothing is left behind.
#include <string>

class PastaTrabalho {
  public:
    // The directory is named `prefixo` and six characters of its own; a cancelled job ends its
    // caller with `status_cancelado`.
    PastaTrabalho(const std::string& prefixo, int status_cancelado);
    ~PastaTrabalho();
    PastaTrabalho(const PastaTrabalho&) = delete;
    PastaTrabalho& operator=(const PastaTrabalho&) = delete;
    // Absolute; empty when the directory could not be made.
    const std::string& caminho() const { return caminho_; }
    // The name under which a failure to make it is reported, with the reason.
    const std::string& modelo() const { return modelo_; }
    const std::string& motivo() const { return motivo_; }

  private:
    std::string modelo_;
    std::string motivo_;
    std::string caminho_;
    int descritor_ = -1;
};
