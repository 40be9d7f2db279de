#include "util/rastro.h"

std::FILE* dbg = nullptr;
