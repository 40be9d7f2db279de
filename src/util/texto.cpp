#include "util/texto.h"

void rtrim(std::string& texto) {
    const auto fim_linha = texto.find_first_of("\r\n");
    if (fim_linha != std::string::npos) texto.resize(fim_linha);
    const auto ultimo = texto.find_last_not_of(' ');
    texto.resize(ultimo == std::string::npos ? 0 : ultimo + 1);
}
