#pragma once
// What the PostScript operations share: the page the job draws on and the coordinate rule,
// which morvpdf's PDF shares too.
#include "pontos/pontos.h"

// Forgets what the page device was told by earlier jobs of this run (for tests).
void ReiniciaDispositivoPS();

// A decoded picture scaled to the box (whole points): a level 2 image in DeviceGray or
// DeviceRGB as the picture is, its transparent parts leaving the page as it is.
struct ImagemDecodificada;
void DesenhaImagemDecodificada(const Caixa& caixa, const ImagemDecodificada& imagem);
