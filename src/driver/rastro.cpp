#include "driver/rastro.h"

std::FILE* dbg = nullptr;
