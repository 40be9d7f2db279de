#include "md5stamp/md5stamp.h"

void md5(float, float, const char*, const char*, std::string_view) {}
void md5v(float, float, const char*, const char*, const std::array<std::string, kEntradasMD5V>&,
          const std::array<std::string, kEntradasMD5V>&) {}
void formata(std::string&) {}
std::string formatav(std::string_view, std::string_view) {
    return {};
}
