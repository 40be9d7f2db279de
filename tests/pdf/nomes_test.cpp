// The names of the customers' files: whatever a report holds, a plain file name in the folder
// that keeps the letters a person reads in it.
#include <gtest/gtest.h>

#include <string>

#include "pdf/pdf.h"

namespace {

TEST(NomesDosArquivos, ValoresViramNomesSeguros) {
    struct Caso {
        const char* valor;  // in UTF-8, as the document's texts have it
        std::string nome;
    };
    const Caso casos[] = {
        {"MERCEARIA SAO JORGE LTDA", "MERCEARIA_SAO_JORGE_LTDA"},
        {"Ok-1_a.b", "Ok-1_a.b"},
        {"../../etc/passwd", "_._.._etc_passwd"},
        {".oculto", "_oculto"},
        {"a/b\\c*?", "a_b_c__"},
        // Letters keep their base letters; what has none, and signs, are one '_' each.
        {"JOSÉ DA CONCEIÇÃO", "JOSE_DA_CONCEICAO"},
        {"Ñandú Øre Straße Æsir", "Nandu_Ore_Strasse_AEsir"},
        {"€ 5 Ж", "__5__"},
        {"JOSE\xCC\x81 \xEF\xBB\xBF"
         "ANA",
         "JOSE_ANA"},
        {"", "folha-7"},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(NomeSeguro(c.valor, 7), c.nome) << c.valor;
    EXPECT_EQ(NomeSeguro(std::string(300, 'x'), 1), std::string(kNomeMaximo, 'x'));
}

}  // namespace
