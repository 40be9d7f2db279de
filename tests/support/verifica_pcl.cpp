#include "support/verificadores.h"

void VerificaJobPCL(const std::string&) {}
