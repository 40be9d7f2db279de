#pragma once
// The MD5 authentication stamp: eight groups of four hexadecimal digits drawn as a text.
#include <array>
#include <string>
#include <string_view>

constexpr int kEntradasMD5V = 6;

// Draws the stamp of the data text and keeps its record for GravaUltimoCarimbo.
void md5(float x, float y, const char* fonte, const char* estilo, std::string_view dados);
void md5v(float x, float y, const char* fonte, const char* estilo,
          const std::array<std::string, kEntradasMD5V>& specs,
          const std::array<std::string, kEntradasMD5V>& valores);
// Leaves the run's last stamp in "md5.tmp": its digest line and data text, once, when the run
// ends. A run without stamps leaves the file as it was.
void GravaUltimoCarimbo();
// Regroups the first 32 characters of the text into the 39-character stamp.
void formata(std::string& texto);
// One MD5V entry brought to its fixed width.
std::string formatav(std::string_view spec, std::string_view valor);
