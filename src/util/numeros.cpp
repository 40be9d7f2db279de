#include "util/numeros.h"

int LeInteiro(std::string_view) {
    return 0;
}
float LeCoordenada(std::string_view) {
    return 0.0f;
}
int Trunca(double) {
    return 0;
}
