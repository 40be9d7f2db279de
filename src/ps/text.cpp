#include "device/dispositivo.h"

void acentua(std::string&) {}
void DesenhaTexto(float, float, const char*, const char*, std::string&) {}
