#include "device/dispositivo.h"

void DesenhaLinha(float, float, float, float, int) {}
void DesenhaRetang(float, float, float, float, int, int) {}
void DesenhaRetangA(float, float, float, float, const char*, int) {}
void DesenhaImagem(float, float, float, float, const char*, int) {}
void DesenhaCodBar(float, float, int, const char*, const char*) {}
