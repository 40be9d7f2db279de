// morvpdf's own options: one file per customer, the designer's grid, and the command lines it
// refuses. The files' pages are counted by poppler, which also checks each file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/ferramentas.h"
#include "support/render.h"
#include "support/verificadores.h"

namespace {

namespace fs = std::filesystem;

// Each page names its customer in section 1; a page without the section has none.
std::string PaginaDoCliente(const std::string& cliente) {
    return cliente.empty() ? "sem cliente\n" : ".secao 1\n" + cliente + "\n.fim\n";
}
const std::string kFormato = "CAPTURA 1 CLIENTE:1:30\nMOSTRA 1 1 A10 N CLIENTE\n";

// The files of the folder, hidden ones included, each with its page count.
std::vector<std::pair<std::string, int>> Arquivos(const std::string& pasta) {
    std::vector<std::pair<std::string, int>> r;
    for (const auto& e : fs::directory_iterator(pasta)) {
        const std::string caminho = e.path().string();
        VerificaJobPDF(LeArquivo(caminho));
        const std::string info = SaidaDe("pdfinfo '" + caminho + "'");
        const std::size_t p = info.find("Pages:");
        r.emplace_back(e.path().filename().string(),
                       p == std::string::npos ? -1 : std::stoi(info.substr(p + 6)));
    }
    std::sort(r.begin(), r.end());
    return r;
}

class Morvpdf : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!TemPrograma("pdfinfo")) GTEST_SKIP() << "pdfinfo not found: install poppler-utils";
    }
    DiretorioTemporario dir_;
    TmpdirPrivado tmpdir_;
};

// Runs of sheets of one customer, one file each; a customer met again later, sheets without a
// customer, and a name that is no plain file name.
TEST_F(Morvpdf, UmArquivoPorCliente) {
    std::string relatorio;
    for (const char* cliente : {"ANA", "ANA", "BETO", "CAIO", "CAIO", "", "ANA", "DE/ZE"})
        relatorio += PaginaDoCliente(cliente) + "\f";
    EscreveArquivo("r.txt", relatorio);
    EscreveArquivo("f.fmt", kFormato);
    const Resultado r = Executa(kMorvpdf, {"-d", "saida", "-n", "CLIENTE", "r.txt", "f.fmt"});
    EXPECT_EQ(r.status, 0) << r.erro;
    EXPECT_EQ(r.erro, "");
    EXPECT_EQ(r.saida, "");
    const std::vector<std::pair<std::string, int>> esperados = {
        {"ANA-2.pdf", 1}, {"ANA.pdf", 2},     {"BETO.pdf", 1},
        {"CAIO.pdf", 2},  {"DE_ZE.pdf", 1},   {"folha-6.pdf", 1},
    };
    EXPECT_EQ(Arquivos("saida"), esperados);
}

// A run that fails in a later batch keeps the customers it finished and leaves no part of the
// one it was writing, nor any draft.
TEST_F(Morvpdf, ErroNaoDeixaArquivoPela) {
    const std::string largo(90, 'x');
    EscreveArquivo("r.txt", "APA01QTD01\n" + PaginaDoCliente("ANA") + "\f" + PaginaDoCliente("BETO") +
                                "APA01QTD01\n" + largo + "\n" + PaginaDoCliente("BETO"));
    // The batch headers take the format's first block.
    EscreveArquivo("f.fmt", "MARCA 1\n" + kFormato);
    const Resultado r = Executa(
        kMorvpdf, {"-d", "saida", "-n", "CLIENTE", "r.txt", "f.fmt", "nao.fmt", "f.fmt", "f.fmt"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.erro, "Erro na abertura do arquivo [nao.fmt] #2");
    const std::vector<std::pair<std::string, int>> esperados = {{"ANA.pdf", 1}};
    EXPECT_EQ(Arquivos("saida"), esperados);
}

// The options that cannot go together, or miss their value, print the usage and do nothing.
TEST_F(Morvpdf, OpcoesRecusadas) {
    EscreveArquivo("r.txt", "A\n");
    EscreveArquivo("f.fmt", "");
    const std::vector<std::string> casos[] = {
        {"-d", "saida", "r.txt", "f.fmt"},
        {"-n", "CLIENTE", "r.txt", "f.fmt"},
        {"-d", "saida", "-n", "CLIENTE", "r.txt", "f.fmt", "job.pdf"},
        {"-x", "r.txt", "f.fmt"},
    };
    for (const auto& argumentos : casos) {
        const Resultado r = Executa(kMorvpdf, argumentos);
        EXPECT_NE(r.erro.find("Uso: morvpdf [-g] [-d <pasta> -n <variavel>]"), std::string::npos)
            << argumentos.front() << ": " << r.erro;
        EXPECT_EQ(r.status, 255) << argumentos.front();
        EXPECT_EQ(r.saida, "") << argumentos.front();
        EXPECT_FALSE(ExisteArquivo("saida")) << argumentos.front();
    }
}

// Without its fonts (the font package not installed) nothing is drawn: each missing font is
// named, the run fails, and no document is left.
TEST_F(Morvpdf, FontesQueFaltam) {
    // fontconfig with no font folder at all.
    EscreveArquivo("fontes.conf", "<?xml version=\"1.0\"?>\n<fontconfig><cachedir>" +
                                      dir_.caminho() + "/cache</cachedir></fontconfig>\n");
    const VariavelTrocada configuracao("FONTCONFIG_FILE", dir_.caminho() + "/fontes.conf");
    EscreveArquivo("r.txt", "A\n\fB\n");
    EscreveArquivo("f.fmt", "TEXTO 1 1 A10 N x\n");
    std::string esperado;
    for (const char* fonte : {"Nimbus Sans", "Nimbus Sans Bold", "Nimbus Sans Italic",
                              "Nimbus Mono PS", "Nimbus Mono PS Bold", "Nimbus Mono PS Italic"})
        esperado += std::string("Erro na abertura do arquivo [") + fonte + "]\n";
    const Resultado r = Executa(kMorvpdf, {"r.txt", "f.fmt"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.erro, esperado);
    EXPECT_EQ(r.saida, "");
}

// The proof: a line every tenth of an inch across a page that is otherwise blank, and the inch
// numbers along the edges.
TEST_F(Morvpdf, GradeDoProjetista) {
    EscreveArquivo("r.txt", "A\n");
    EscreveArquivo("f.fmt", "PAPEL A4\n");
    const Resultado r = Executa(kMorvpdf, {"-g", "r.txt", "f.fmt", "prova.pdf"});
    ASSERT_EQ(r.status, 0) << r.erro;
    const std::vector<Pagina> paginas =
        Renderiza(LeArquivo("prova.pdf"), 100, kMorvpdf, Leitor::poppler);
    ASSERT_EQ(paginas.size(), 1u);
    const Pagina& p = paginas[0];
    // Runs of grey along the middle row: the lines that cross it, one every 10 pixels.
    int linhas = 0;
    for (int x = 1; x < p.largura; ++x)
        linhas += p.em(x, p.altura / 2) < 250 && p.em(x - 1, p.altura / 2) >= 250;
    EXPECT_EQ(linhas, p.largura / 10 + (p.largura % 10 != 0 ? 1 : 0) - 1) << p.largura;
    const std::string texto = SaidaDe("pdftotext prova.pdf -");
    for (const char* polegada : {"1", "5", "8", "11"})
        EXPECT_NE(texto.find(polegada), std::string::npos) << polegada;
}

}  // namespace
