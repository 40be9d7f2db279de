#include "util/texto.h"

void rtrim(std::string&) {}
