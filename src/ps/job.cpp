#include "device/dispositivo.h"

void InicializaImp() {}
void DefineMacros(char) {}
void TamanhoPapel(const char*) {}
void Rotacao(int) {}
void Rotacao2(int) {}
