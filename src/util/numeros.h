#pragma once
// Number reading and device-unit truncation shared by every part of the system.
#include <string_view>

// A leading decimal integer as the C library's atoi reads it (leading white space and a
// sign allowed, stops at the first non-digit, 0 without digits), kept to 32 bits.
int LeInteiro(std::string_view texto);
// A leading decimal number as strtod reads it, narrowed to float (clamped to the float range,
// so that a huge value in a format file cannot make the narrowing undefined).
float LeCoordenada(std::string_view texto);
// Truncation towards zero to a 32-bit integer, clamped to the int range (NaN gives 0).
int Trunca(double valor);
