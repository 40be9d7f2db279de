#pragma once
// The report pre-pass: copies one batch of the report into a paginated data file, with every
// page break on a line of its own and blank page heads dropped, and measures what the format
// choice needs.
#include <cstddef>
#include <cstdio>
#include <string>

// Reads of the report take at most this many bytes, so that a line and its terminator fit the
// 255-byte line of the data file; a longer line is handled as several pieces.
constexpr std::size_t kLeituraRelatorio = 254;

// What lives from batch to batch: whether the run's first batch header has been taken, and the
// range of MARCA blocks that the header which ended the previous batch gave to the next one.
struct EstadoExecucao {
    bool primeiro_cabecalho = false;
    int proximo_ini = 0;
    int proximo_fim = 0;
    // The format is chosen by width (five arguments): only then is a UTF-8 line measured in
    // characters, which takes a look at every byte.
    bool largura_em_caracteres = false;
};

// What one batch hands back to the driver.
struct Lote {
    std::string dados;       // name of the data file (empty when only copying)
    int largura = 0;         // greatest line length met, in bytes with the line end
    bool marca_pag = false;  // the first surviving line holds "PAG. "
    bool cabecalho = false;  // a batch header was read during this batch
    bool esgotada = false;   // nothing is left to read on the input
    bool falha = false;      // the data file could not be made or written; message given
};

// Copies one batch from the report into `dados` and sets marcaini and marcafim for it. Leaves
// the input open; `esgotada` tells whether another batch can follow.
Lote CopiaLote(std::FILE* entrada, std::FILE* dados, EstadoExecucao& estado);

// The whole pre-pass of one batch: creates a new data file under a unique name in TMPDIR (or
// /tmp), copies the batch into it and closes it. When the data file cannot be created or
// written, writes "Erro na criacao do arquivo temporario [%s]\n", removes what was made and
// hands back a batch with `falha` set, on which the run must stop with status -1. Until
// RemoveDados, a signal that ends the run removes the data file (util/sinais).
Lote PreparaLote(std::FILE* entrada, EstadoExecucao& estado);

// Removes the batch's data file; a signal no longer has it to remove.
void RemoveDados(const std::string& nome);
