#pragma once
// The form the studio edits: read once when the studio starts (a form that does not exist yet
// starts empty), written back only when the designer saves, and then atomically (util/rascunho:
// a draft beside it, synced, renamed over the form), with the form's permissions.
#include <string>

#include "studio/json.h"

class FormularioEditado {
  public:
    // False, with the reason, when the form exists but cannot be read.
    bool Abre(const std::string& caminho, std::string& erro);
    const std::string& caminho() const { return caminho_; }
    // The folder in which the form's relative file names (its logos) are found.
    const std::string& pasta() const { return pasta_; }
    bool existe() const { return existe_; }
    const std::string& texto() const { return texto_; }
    Conjunto conjunto() const { return conjunto_; }
    // Replaces the form's file by `bytes`; false, with the message, when it could not, and the
    // form is then as it was.
    bool Grava(const std::string& bytes, std::string& erro);

  private:
    std::string caminho_;
    std::string pasta_;
    std::string texto_;
    bool existe_ = false;
    Conjunto conjunto_ = Conjunto::utf8;
};
