#include "interp/interp.h"

Lista* args = nullptr;
Lista* objsff = nullptr;
Lista* objsfv = nullptr;
Lista* objsvf = nullptr;
Lista* objsvv = nullptr;
int marcaini = 0, marcafim = 0;
int marca = 0;
int linha = 0;

int InicializaInterp(const char*, const char*, std::string&) {
    return 0;
}
void SeparaArgs(std::string_view) {}
int NumArgs(Lista*, int, std::string&) {
    return 0;
}
