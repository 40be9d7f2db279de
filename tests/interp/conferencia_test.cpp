// The preflight of a loaded format: what loads without a word and surely prints wrong.
#include "interp/conferencia.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interp/estado.h"
#include "interp/interp.h"
#include "support/ferramentas.h"

namespace {

TEST(AvisosDoFormato, AchaOQueCarregaESaiErrado) {
    struct Caso {
        const char* formato;
        std::vector<std::pair<int, std::string>> avisos;
    };
    const Caso casos[] = {
        {"TEXTO 1,5 2 A10 N x\n", {{1, "Numero com virgula [1,5] lido como 1"}}},
        // A text, a centred x and a section number are no coordinates.
        {"TEXTO C 2,25 A10 N 1,5\nINPUT 1 2 A10 N 3,1\n",
         {{1, "Numero com virgula [2,25] lido como 2"}, {2, "Numero com virgula [3,1] lido como 3"}}},
        {"\n# nota\nTEXTO 1 1 A10 N \"sem fim\n", {{3, "Aspas sem fechamento"}}},
        {"TEXTO 1 1 A10 N \"com fim\"\nTEXTO 1 1 A10 N \"\"\n", {}},
        {"CAPTURA 1 NOME:10 DOC:1:\nMOSTRA 1 1 A10 N NOME\n",
         {{1, "Item de CAPTURA sem tamanho [NOME:10]"}, {1, "Item de CAPTURA sem tamanho [DOC:1:]"}}},
        {"MOSTRA 1 1 A10 N TOTAL\n", {{1, "Variavel sem CAPTURA [TOTAL]"}}},
        // LeVar takes the whole name: CO does not find COD.
        {"CAPTURA 1 COD:1:5\nCODBAR2 1 1 2 i25 CO\n", {{2, "Variavel sem CAPTURA [CO]"}}},
        // An entry of MD5V with a hyphen looks nothing up.
        {"CAPTURA 1 NOME:1:5\nMD5V 1 1 C8 N N12 VALOR X40 NOME - x - x - x - x\n",
         {{2, "Variavel sem CAPTURA [VALOR]"}}},
        // A capture on the front serves the back.
        {"CAPTURA 1 A:1:2\nVERSO\nMOSTRA 1 1 A10 N A\nCODMATRIZ2 1 1 1 qrcode A\n", {}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.formato);
        DiretorioTemporario dir;
        EscreveArquivo("form.fmt", c.formato);
        std::string msg;
        ASSERT_EQ(InicializaInterp("form.fmt", "", msg), 0) << msg;
        std::vector<std::pair<int, std::string>> achados;
        for (const AvisoFormato& a : AvisosDoFormato())
            achados.emplace_back(a.linha, a.mensagem);
        EXPECT_EQ(achados, c.avisos);
        ReiniciaLeitura();
    }
}

}  // namespace
