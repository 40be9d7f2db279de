#include "device/dispositivo.h"
#include "pcl/pcl.h"

void InicializaImp() {}
void DefineMacros(char) {}
void TamanhoPapel(const char*) {}
void Rotacao(int) {}
void Rotacao2(int) {}

int direcao_pcl = 0;
