#pragma once
// The report a designer works on, read once when the studio starts: each batch paginated by the
// programs' own pre-pass into a copy of its own, with the batch's range of MARCA blocks and the
// place where each of its pages begins, as the data file reader finds them. Any page can then be
// drawn on its own: a render of page N costs what page 1 costs, however long the report.
#include <mutex>
#include <string>
#include <vector>

#include "driver/driver.h"

// One line of a report page, as the programs read it.
struct LinhaRelatorio {
    std::string texto;
    int secao = 0;          // the section the line belongs to, 0 when none
    bool marcador = false;  // the line opens that section (".secao N")
};

// The pieces of a run that draw one page, and where that page is among the sheets they print.
struct PaginaSozinha {
    std::vector<TrechoExecucao> trechos;
    int folha = 0;             // the page's sheet among those printed, from 0
    int primeira_pagina = 0;   // the report page of the first sheet printed
};

class Amostra {
  public:
    // Paginates the report into `pasta`; false, with the message, when it cannot be read.
    bool Carrega(const std::string& relatorio, const std::string& pasta, std::string& erro);
    int Paginas() const { return static_cast<int>(paginas_.size()); }
    // The lines of page `pagina` (from 1). With `utf8`, as a job whose form declares UTF-8
    // reads them (a long line is cut between characters).
    std::vector<LinhaRelatorio> Linhas(int pagina, bool utf8) const;
    // The data files of the pieces that print page `pagina` alone, written into `pasta`: the
    // page with the one before it, which leaves the page what a run would (the text rotation),
    // and the one after it, which the inserter marks read ahead (in the next batch, read and not
    // printed), each in its own batch, after loads of the earlier batches.
    PaginaSozinha Prepara(int pagina, const std::string& pasta) const;

  private:
    struct Lote {
        std::string copia;
        int marcaini = 0, marcafim = 0;
        std::vector<long> inicios;  // offset of each page in the copy
        long tamanho = 0;
    };
    struct Local {
        int lote;
        int indice;
    };
    std::string Bytes(int lote, int primeira, int ultima) const;
    std::vector<Lote> lotes_;
    std::vector<Local> paginas_;
    // The data file reader is one per process: its pages are read one caller at a time.
    mutable std::mutex leitor_;
};
