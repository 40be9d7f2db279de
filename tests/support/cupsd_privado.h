#pragma once
// A cupsd of the test's own, never the system's: on 127.0.0.1 and a free port, every directory
// under a temporary one, the system's filters and MIME types plus the ones under test, and a
// backend of its own that prints each job into a file. Stopped by the process id it started; the
// directory removed.
#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

#include "support/ferramentas.h"

class CupsdPrivado {
  public:
    // Why no private cupsd can run here (not installed, not root); empty when one can.
    static std::string Impedimento();
    // `filtros` join the system's filters, and `tipos` (.types and .convs files) the system's
    // MIME types and conversions; `ambiente` is passed to every filter.
    CupsdPrivado(const std::vector<std::string>& filtros,
                 const std::vector<std::pair<std::string, std::string>>& ambiente,
                 const std::vector<std::string>& tipos = {});
    ~CupsdPrivado();
    CupsdPrivado(const CupsdPrivado&) = delete;
    CupsdPrivado& operator=(const CupsdPrivado&) = delete;

    bool pronto() const { return pronto_; }
    // Runs a client (lp, lpadmin, lpstat) against this server.
    Resultado Cliente(const std::string& programa, std::vector<std::string> argumentos) const;
    // The device of queue `fila`: each job it prints lands in a file of its own.
    std::string Dispositivo(const std::string& fila) const;
    // What a job printed, by its request id ("fila-12"); empty when it printed nothing.
    std::string Impresso(const std::string& trabalho) const;
    // Polls lpstat until every job has ended; false when the wait's bound ran out.
    bool EsperaTrabalhos() const;
    // A log file: error_log, page_log.
    std::string Log(const std::string& nome) const;
    // The TMPDIR the server gives its filters.
    std::string Temporarios() const;
    // The state of a job by its request id, as the server reports it (IPP_JSTATE_COMPLETED,
    // IPP_JSTATE_STOPPED, ...); 0 when the server does not know it.
    int EstadoTrabalho(const std::string& trabalho) const;

  private:
    bool Vivo();  // reaps the server when it has ended
    // Removed with all in it when the object goes, even if the constructor failed half-way.
    struct Pasta {
        std::string caminho;
        ~Pasta();
    } pasta_;
    std::string servidor_;
    int porta_ = 0;
    pid_t pid_ = -1;
    bool pronto_ = false;
};
