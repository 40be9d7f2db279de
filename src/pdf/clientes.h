#pragma once
// One file per customer (-d, -n): which file each sheet goes to, the name each value gets, each
// file written whole or not at all, and the folder's index. Nothing here draws: the PDF code
// writes each customer's document to the stream AbreCliente gives, and says when it is done.
// One customer whose file cannot be written is one customer: it is reported and the split goes
// on with the next.
#include <cstdio>
#include <string>
#include <string_view>

// A batch is about to print: the index is started with the run's first batch, and keeps room on
// the disk for a row per sheet of the batch, so that on a full disk it still names every file.
void ComecaLoteClientes();
// The sheet just drawn belongs to the customer whose file is being written.
bool MesmoCliente(std::string_view valor);

// Where a new customer's document goes: its stream and its title; a null stream when the file
// could not be made (reported; the customer's sheets are then counted and left out).
struct DocumentoCliente {
    std::FILE* fluxo = nullptr;
    std::string titulo;
};
// Starts the file of a new customer, whose value (its blanks at both ends gone) is `valor` and
// whose first sheet is `folha`, counted from 1 in the run.
DocumentoCliente AbreCliente(std::string_view valor, long folha);
// The customer's file takes one more sheet of `paginas` pages.
void ContaFolha(long folha, int paginas);
// The customer's file cannot be kept whole (a sheet could not be drawn): `motivo` says why.
void RecusaCliente(const std::string& motivo);
// The customer's document has been finished: the file takes its name, or is removed, and its row
// is added to the index. `completo` false: the run stopped before the customer's sheets ended.
void FechaCliente(bool completo);
// The run has ended: the index takes its name. False when any customer's file or the index could
// not be written (each already reported).
bool EncerraClientes();
// Forgets the run's customers without writing anything, their drafts removed.
void ReiniciaClientes();
