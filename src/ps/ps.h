#pragma once
// What the PostScript operations share: the page the job draws on and the coordinate rule,
// which morvpdf's PDF shares too.
#include "pontos/pontos.h"

// Forgets what the page device was told by earlier jobs of this run (for tests).
void ReiniciaDispositivoPS();
