// The names of the customers' files: whatever a report holds, a plain file name in the folder.
#include <gtest/gtest.h>

#include <string>

#include "codificacao/codificacao.h"
#include "pdf/pdf.h"

namespace {

TEST(NomesDosArquivos, ValoresViramNomesSeguros) {
    struct Caso {
        const char* valor;
        Codificacao codificacao;
        std::string nome;
    };
    const Caso casos[] = {
        {"MERCEARIA SAO JORGE LTDA", Codificacao::nenhuma, "MERCEARIA_SAO_JORGE_LTDA"},
        {"Ok-1_a.b", Codificacao::nenhuma, "Ok-1_a.b"},
        {"../../etc/passwd", Codificacao::nenhuma, "_._.._etc_passwd"},
        {".oculto", Codificacao::nenhuma, "_oculto"},
        {"a/b\\c*?", Codificacao::nenhuma, "a_b_c__"},
        // One '_' a letter, whatever its bytes: Latin-1 without a declared set, UTF-8 with one.
        {"JO\xC3O", Codificacao::nenhuma, "JO_O"},
        {"JO\xC3\x83O", Codificacao::utf8, "JO_O"},
        {"", Codificacao::nenhuma, "folha-7"},
    };
    for (const Caso& c : casos) {
        codificacao = c.codificacao;
        EXPECT_EQ(NomeSeguro(c.valor, 7), c.nome) << c.valor;
    }
    codificacao = Codificacao::nenhuma;
    EXPECT_EQ(NomeSeguro(std::string(300, 'x'), 1), std::string(kNomeMaximo, 'x'));
}

}  // namespace
