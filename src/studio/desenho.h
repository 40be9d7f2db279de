#pragma once
// One render of a page for the page in the browser: the editor's text, the report page and side,
// the zoom's resolution, the grid, and which program's view. Every render is a job of the job
// runner, in a child process with a time limit and a memory limit, one at a time; a newer one
// supersedes one still running, which is killed.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "studio/amostra.h"
#include "studio/desenho_filho.h"
#include "studio/formulario.h"

// Which program's page the picture shows: morvpdf's through poppler, morvel's through
// Ghostscript, morvex's through gpcl6.
enum class Vista { morvpdf, morvel, morvex };

struct PedidoDesenho {
    std::string texto;  // the form's bytes
    int pagina = 1;
    int lado = 0;
    double dpi = 96;
    bool grade = false;
    Vista vista = Vista::morvpdf;
};

struct RespostaDesenho {
    int status;        // HTTP
    // The picture (base64 PNG) and everything the page shows beside it; {"superado":true}
    // for a render superseded by a newer one.
    std::string json;
};

// Where the programs of the other views are, found when the studio starts.
struct ProgramasVistas {
    std::string auxiliar_morvel, auxiliar_morvex;  // morvel's and morvex's page of a run
    std::string gs, gpcl6;                          // their interpreters
    bool Tem(Vista v) const;
};
ProgramasVistas ProcuraProgramas();

class Desenhista {
  public:
    Desenhista(const Amostra& amostra, const FormularioEditado& formulario,
               ProgramasVistas programas)
        : amostra_(amostra), formulario_(formulario), programas_(std::move(programas)) {}
    RespostaDesenho Desenha(const PedidoDesenho& pedido);
    // Kills the render in hand and refuses every later one: the studio is stopping.
    void Encerra();
    const ProgramasVistas& programas() const { return programas_; }

  private:
    RespostaDesenho DesenhaNaVez(const PedidoDesenho& pedido, const std::atomic<bool>& cancelado);
    // The child's order, its form and report pages written into the render's folder.
    OrdemDesenho Ordena(const PedidoDesenho& pedido, const std::string& pasta) const;
    const Amostra& amostra_;
    const FormularioEditado& formulario_;
    const ProgramasVistas programas_;
    std::mutex vez_;     // one render at a time
    std::mutex estado_;  // guards what follows
    long ultimo_ = 0;    // the newest render asked for
    std::shared_ptr<std::atomic<bool>> cancela_atual_;
    bool encerrado_ = false;
};
