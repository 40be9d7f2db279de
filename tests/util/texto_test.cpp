#include "util/texto.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Rtrim, CortaNoFimDeLinhaEBrancosFinais) {
    struct Caso {
        std::string entrada;
        std::string esperado;
    };
    const Caso casos[] = {
        {"ABC  \r\n", "ABC"}, {"A\rB  ", "A"},  // everything after the first CR goes, even text
        {"A\nB\r", "A"},                        // LF first
        {"   ", ""},          {"", ""},
        {"A\t", "A\t"},     // only blanks are trimmed
        {" A B ", " A B"},  // leading and inner blanks stay
        {"\r\nABC", ""},      {std::string("A \0 ", 4), std::string("A \0", 3)},
    };
    for (const Caso& caso : casos) {
        std::string texto = caso.entrada;
        rtrim(texto);
        EXPECT_EQ(texto, caso.esperado) << "entrada [" << caso.entrada << "]";
    }
}

}  // namespace
