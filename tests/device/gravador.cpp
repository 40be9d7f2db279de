#include "device/gravador.h"

#include <cstdarg>
#include <cstdio>

#include "barcode/matriz.h"
#include "device/dispositivo.h"

std::vector<std::string> chamadas;

namespace {
void grava(const char* formato, ...) {
    va_list lista;
    va_start(lista, formato);
    char* texto = nullptr;
    if (vasprintf(&texto, formato, lista) >= 0) {
        chamadas.emplace_back(texto);
        std::free(texto);
    }
    va_end(lista);
}
}  // namespace

void InicializaImp() {
    grava("InicializaImp()");
}
void DefineMacros(char lado) {
    grava("DefineMacros(%d)", lado);
}
void TamanhoPapel(const char* nome) {
    grava("TamanhoPapel(%s)", nome);
}
void Rotacao(int angulo) {
    grava("Rotacao(%d)", angulo);
}
void Rotacao2(int angulo) {
    grava("Rotacao2(%d)", angulo);
}
// A set that every byte converts to: what the shared code converted shows in the calls.
const char* const kConjuntoImpressora = "ISO-8859-1";
void acentua(std::string&) {}
void DesenhaTexto(float x, float y, const char* fonte, const char* estilo, std::string& conteudo) {
    grava("DesenhaTexto(%g,%g,%s,%s,%s)", x, y, fonte, estilo, conteudo.c_str());
}
void DesenhaLinha(float x1, float y1, float x2, float y2, int largura) {
    grava("DesenhaLinha(%g,%g,%g,%g,%d)", x1, y1, x2, y2, largura);
}
void DesenhaRetang(float x, float y, float largura, float altura, int sombra, int borda) {
    grava("DesenhaRetang(%g,%g,%g,%g,%d,%d)", x, y, largura, altura, sombra, borda);
}
void DesenhaRetangA(float x, float y, float largura, float altura, const char* cantos, int pena) {
    grava("DesenhaRetangA(%g,%g,%g,%g,%s,%d)", x, y, largura, altura, cantos, pena);
}
void DesenhaImagem(float x, float y, float largura, float altura, const char* arquivo,
                   int mascara) {
    grava("DesenhaImagem(%g,%g,%g,%g,%s,%d)", x, y, largura, altura, arquivo, mascara);
}
void DesenhaCodBar(float x, float y, int altura, const char* tipo, const char* codigo) {
    grava("DesenhaCodBar(%g,%g,%d,%s,%s)", x, y, altura, tipo, codigo);
}
void DesenhaCodMatriz(float x, float y, const SimboloMatriz& s) {
    grava("DesenhaCodMatriz(%g,%g,%dx%d,%d)", x, y, s.largura, s.altura, s.modulo);
}
