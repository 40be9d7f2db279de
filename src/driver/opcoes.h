#pragma once
// The options every program takes before its report: the shifts of the front and back sides
// (-s DX,DY and -S DX,DY, in inches to the right and down), by which one printer's
// misplacement is corrected without touching the form.
#include <optional>

#include "device/dispositivo.h"

// The shift a value gives ("0.04,-0.02": two decimal numbers of inches, a full stop for the
// decimal point, each at most kDeslocamentoMaximo either way); nothing for any other text.
std::optional<Deslocamento> LeDeslocamento(const char* valor);
// True when the value is a shift; otherwise writes "Deslocamento invalido [%s]\n".
bool ConfereDeslocamento(const char* valor);

// Takes the -s and -S options at the head of argv (from argv[1], the value as the next word or
// glued to the letter) and sets deslocamento_frente and deslocamento_verso; the back side, when
// not given its own, takes the front's. Returns the index of the first other argument, or -1
// after writing why the options cannot be used: "Deslocamento invalido [%s]\n" for a value
// that is no shift, the usage text for an option without its value.
int LeOpcoesDeslocamento(int argc, char** argv);
