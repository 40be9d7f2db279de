#include "device/dispositivo.h"

char papel = 'c';
float tam_papel = 11.7f;
char orientacao = 'p';
signed char alimentacao = 1;
int origx = 0, origy = 0;
float xtop = 0.0f, ytop = 0.0f;
unsigned char duplex = 0;
char tipo_verso = 0;
int rotacao0 = 0;
int rotacao = 0;
int margemx = 0, margemy = 0;
std::string g_fonte;
unsigned char g_negrito = 0, g_italico = 0;
std::optional<signed char> alimentacao_via[kMaxVias + 1];
Deslocamento deslocamento_frente, deslocamento_verso, deslocamento;
std::FILE* saida = stdout;
void (*aviso_objeto)(int linha) = nullptr;
void (*aviso_tinta)(double x, double y, double largura, double altura) = nullptr;

void ReiniciaFonte() {
    g_fonte.clear();
    g_negrito = 0;
    g_italico = 0;
}

void DeslocaLado(char lado) {
    deslocamento = lado == 'v' ? deslocamento_verso : deslocamento_frente;
}

bool HaDeslocamento() {
    const auto nulo = [](const Deslocamento& d) { return d.x == 0.0 && d.y == 0.0; };
    return !nulo(deslocamento_frente) || !nulo(deslocamento_verso);
}
