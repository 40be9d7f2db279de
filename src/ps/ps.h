#pragma once
// What the PostScript operations share: the page the job draws on and the coordinate rule,
// which morvpdf's PDF shares too.
#include <string>

#include "pontos/pontos.h"

// Forgets what the page device was told by earlier jobs of this run (for tests).
void ReiniciaDispositivoPS();

// A decoded picture as the job draws it, in user space of its pixels: bands of rows, each an
// image in DeviceGray or DeviceRGB under a clipping path of its drawn pixels; empty when it has
// none. A logo is drawn on every page: made the first time a run draws the file, the drawing
// is only written again after that, as decoding and encoding it cost many times what the rest
// of the page does.
struct ImagemCodificada {
    int largura, altura;  // pixels
    std::string desenho;
};
struct ImagemDecodificada;
// The drawing made of the file in this run; null before.
const ImagemCodificada* ImagemDaExecucao(const std::string& arquivo);
const ImagemCodificada& CodificaImagem(const std::string& arquivo,
                                       const ImagemDecodificada& imagem);
// Forgets the drawings made in this run.
void EsqueceImagensPS();
// The drawing scaled to the box (whole points).
void DesenhaImagemCodificada(const Caixa& caixa, const ImagemCodificada& imagem);
