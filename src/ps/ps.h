#pragma once
// What the PostScript operations share: the page the job draws on and the coordinate rule.

// Points to the inch of PostScript's default user space.
constexpr double kPontosPolegadaPS = 72.0;

// Every converted coordinate is kept within this many points of the page origin (about 1400
// inches): no form reaches that far, and beyond it interpreters refuse arcs and paths
// (limitcheck), which would flush the rest of the job on the printer.
constexpr int kLimitePontos = 100000;

// The page of the current job: its height (the short side in landscape) and the form origin,
// exchanged in landscape. Always derived from the device variables as the loader left them, so
// that a later batch starts from its own settings, never from an earlier batch's adjustment.
struct PaginaPS {
    float altura;
    float xtop;
    float ytop;
};
PaginaPS PaginaEfetiva();

// Page heights of a landscape sheet, in inches: letter and A4.
constexpr float kAlturaCartaPaisagem = 8.5f;
constexpr float kAlturaA4Paisagem = 8.26f;
// The page height that stands for letter paper; any other height means A4.
constexpr float kAlturaCarta = 11.0f;
constexpr float kAlturaA4 = 11.7f;

// The coordinate rule: a form x or y in inches (already widened, sums formed in double) into
// whole points from the bottom left corner of the page, truncated towards zero.
int PontoX(double x);
int PontoY(double y);
// An int result of a sum or product of device values, kept inside kLimitePontos.
int LimitaPontos(long long valor);

// Forgets what the page device was told by earlier jobs of this run (for tests).
void ReiniciaDispositivoPS();
