#include "support/verificadores.h"

void VerificaJobPS(const std::string&) {}
