#include "interp/dados.h"

std::FILE* dad = nullptr;
long tamarq = 0;
long pag = 0;
unsigned char fimpag = 0;
unsigned char fimarq = 0;
long secoes[kSecoes] = {};
Lista* vars = nullptr;

int readline(std::string&) {
    return 1;
}
int PrimeiraPagina() {
    return 0;
}
int RepetePagina() {
    return 0;
}
int ProximaPagina() {
    return -1;
}
void LeDados(int, std::string& buf) {
    buf.clear();
}
void SetaVar(std::string_view, std::string_view) {}
void LeVar(std::string_view, std::string& buf) {
    buf.clear();
}
