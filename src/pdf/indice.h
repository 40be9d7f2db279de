#pragma once
// The index of a folder of customers' files, indice.csv: one row per file, in the order the files
// were written, saying which value each holds, which sheets of the run, and whether it came out.
// CSV as RFC 4180 has it (a header line, CRLF line ends, fields quoted when they hold a comma, a
// quote or a line end), in UTF-8, so that a mailer's script reads it with any CSV reader.
#include <string>

#include "util/rascunho.h"

// The file's name in the folder, before its folder.
constexpr const char* kNomeIndice = "indice.csv";
// The room a row is taken to need before the index holds a longer one: a customer's name of some
// ninety letters with its file's name, six numbers and a reason.
constexpr long long kLinhaIndiceTipica = 256;

struct LinhaIndice {
    std::string arquivo;  // the file's name in the folder
    std::string valor;    // the customer's value, in UTF-8; empty for sheets without one
    long primeira = 0;    // first and last sheet of the run, counted from 1
    long ultima = 0;
    long folhas = 0;
    long paginas = 0;
    long long bytes = 0;   // the file's size; 0 when it did not come out
    std::string situacao;  // "ok", or why the file is not there
};

class Indice {
  public:
    // Starts the index of the folder: its draft, with the header line.
    bool Abre(const std::string& pasta);
    // Keeps room on the disk for `linhas` more rows, as long as the longest row yet, up to half
    // of the disk's free room, before any customer's file may take it: on a full disk the index
    // still says which customers did not come out.
    void ReservaEspaco(long linhas);
    void Acrescenta(const LinhaIndice& linha);
    // The index takes its name. False, with the message given, when it could not be written.
    bool Conclui();
    // Drops the index, its draft removed.
    void Descarta() { arquivo_.Descarta(); }
    bool aberto() const { return arquivo_.aberto(); }

  private:
    void Escreve(const std::string& texto);

    Rascunho arquivo_;
    long long escritos_ = 0;     // bytes handed to the stream
    long long reservados_ = 0;   // bytes of the file the disk has kept room for
    long long maior_linha_ = 0;  // the longest row written
};
