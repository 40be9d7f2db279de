#pragma once
// Lines of the PostScript job put together in memory and written in one piece.
#include <cstddef>
#include <cstdio>

#include "device/dispositivo.h"
#include "util/montador.h"

// A drawing is a few dozen short lines of whole numbers on every page; formatting each line
// with its own fprintf cost more than everything else a page does. Nothing reaches the job
// until Escreve, so a caller that mixes these with fprintf calls writes what it put together
// first.
class Linhas : public Montador {
  public:
    // Room for a whole common drawing, so that the text is not moved as it grows.
    Linhas() { texto_.reserve(kPedaco); }

    // Writes what was put together to the job.
    void Escreve() {
        std::fwrite(texto_.data(), 1, texto_.size(), saida);
        texto_.clear();
    }
    // Writes once a long run (the strokes of a dashed line) has grown past a few KiB, so that
    // memory does not grow with the length of the line.
    void EscreveSeGrande() {
        if (texto_.size() >= kPedaco) Escreve();
    }

  private:
    static constexpr std::size_t kPedaco = 4096;  // a few KiB: cheap to hold, few writes
};
