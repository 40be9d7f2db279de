// Matrix codes as both programs print them: QR codes read back with zbarimg and Data Matrix
// symbols with dmtxread from the rendered pages, exactly as the report gives their texts; the
// texts they cannot draw reported as barcodes are.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ferramentas.h"
#include "support/render.h"

namespace {

// A Pix payment code (BR Code) with the payee's name, blanks and all, and its CRC16 field.
const std::string kPix =
    "00020126360014br.gov.bcb.pix01141234567800019552040000530398654071234.565802BR5918COMERCIAL "
    "PAULISTA6008CAMPINAS62130509FAT0012346304F1F3";
// A consumer invoice's code: the tax authority's address and the invoice's key.
const std::string kNfce =
    "https://www.fazenda.sp.gov.br/nfce/qrcode?p=35071012345678000195650010000012341000012345|2|1|"
    "1|0A1B2C3D4E5F60718293A4B5C6D7E8F901234567";
// Where the forms below put their Data Matrix.
const Regiao kRegiaoDataMatrix = {3.8, 0.8, 1.0, 1.0};

struct Caso {
    const char* nome;
    std::string formato;
    std::string relatorio;
    std::vector<std::string> qr;  // what zbarimg reads from the page
    std::vector<std::string> dm;  // what dmtxread reads from kRegiaoDataMatrix
    std::string erro;
};

TEST(CodigosMatriciais, LidosDasPaginasDasDuasLinguagens) {
    const std::string falta = FaltaFerramenta({kMorvex, kMorvel}, {kZbarimg, kDmtxread});
    if (!falta.empty()) GTEST_SKIP() << falta;
    const std::string qr = "CODMATRIZ 1 1 1.2 qrcode 1\n";
    const std::string dm = "CAPTURA 2 PED:1:20\nCODMATRIZ2 4 1 0.6 datamatrix PED\n";
    const Caso casos[] = {
        {"linha inteira, brancos do fim fora",
         qr + dm,
         ".secao 1\n" + kPix + "   \n.fim\n.secao 2\nPED 2007/10 1234    \n.fim\n",
         {kPix},
         {"PED 2007/10 1234"},
         ""},
        {"nivel H, texto longo",
         "CODMATRIZ 1 1 1.5 qrcode-h 1\n",
         ".secao 1\n" + kNfce + "\n",
         {kNfce},
         {},
         ""},
        // Without its designator, zbar takes a short text's letters for a Chinese set.
        {"UTF-8 declarado",
         "CODIFICACAO UTF-8\nCAPTURA 1 T:1:40\nCODMATRIZ2 1 1 1 qrcode-q T\n",
         ".secao 1\nS\xc3\xa3o Paulo\n",
         {"S\xc3\xa3o Paulo"},
         {},
         ""},
        {"lado pequeno demais",
         "CODMATRIZ 1 1 0.06 qrcode 1\n",
         ".secao 1\n" + kPix + "\n",
         {},
         {},
         "Codigo de barras invalido [" + kPix + "]\n"},
        {"texto vazio", qr + dm, ".secao 1\n   \n.fim\n", {}, {}, ""},
    };
    DiretorioTemporario dir;
    for (const Caso& c : casos) {
        EscreveArquivo("f.fmt", c.formato);
        EscreveArquivo("r.txt", "PAGINA\n" + c.relatorio);
        for (const auto& programa : kProgramas) {
            SCOPED_TRACE(NomePrograma(programa) + ": " + c.nome);
            const Resultado r = Executa(programa, {"r.txt", "f.fmt"});
            EXPECT_EQ(r.status, 0);
            EXPECT_EQ(r.erro, c.erro);
            EXPECT_EQ(LeCodigos(r.saida, programa), c.qr);
            EXPECT_EQ(LeDataMatrix(r.saida, programa, kRegiaoDataMatrix), c.dm);
        }
    }
}

}  // namespace
