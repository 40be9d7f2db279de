#pragma once
#include <string>

// Cuts the text at its first CR or LF, then drops trailing blanks (0x20 only).
void rtrim(std::string& texto);
