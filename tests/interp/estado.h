#pragma once
// Puts the interpreter back as a fresh process has it between tests that load or read a job.
#include <cstdio>

#include "interp/dados.h"
#include "interp/interp.h"

// The lists and the data file freed, and the reading position back at the start.
inline void ReiniciaLeitura() {
    FinalizaInterp();
    tamarq = pag = 0;
    fimpag = fimarq = 0;
    for (long& secao : secoes)
        secao = 0;
}
