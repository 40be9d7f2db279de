// morvpdf's own options: one file per customer with its index, the designer's grid, and the
// command lines it refuses. The files' pages are counted by poppler, which also checks each file;
// qpdf checks the files of a full disk.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <set>
#include <sstream>
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
const std::string kCabecalhoIndice =
    "arquivo,valor,folha_inicial,folha_final,folhas,paginas,bytes,situacao\r\n";

int Paginas(const std::string& caminho) {
    const std::string info = SaidaDe("pdfinfo '" + caminho + "'");
    const std::size_t p = info.find("Pages:");
    return p == std::string::npos ? -1 : std::stoi(info.substr(p + 6));
}

// The files of the folder, hidden ones included, each with its page count; the index apart.
std::vector<std::pair<std::string, int>> Arquivos(const std::string& pasta) {
    std::vector<std::pair<std::string, int>> r;
    for (const auto& e : fs::directory_iterator(pasta)) {
        if (e.path().filename() == "indice.csv") continue;
        const std::string caminho = e.path().string();
        VerificaJobPDF(LeArquivo(caminho));
        r.emplace_back(e.path().filename().string(), Paginas(caminho));
    }
    std::sort(r.begin(), r.end());
    return r;
}

std::set<std::string> Conteudo(const std::string& pasta) {
    std::set<std::string> nomes;
    for (const auto& e : fs::directory_iterator(pasta))
        nomes.insert(e.path().filename().string());
    return nomes;
}

// One row of the index as a test states it: the value field as the CSV holds it, and the
// file's size read from the folder when the file came out.
struct Linha {
    std::string arquivo, valor;
    long primeira, ultima, paginas;
    std::string situacao = "ok";
};

std::string IndiceEsperado(const std::string& pasta, const std::vector<Linha>& linhas) {
    std::string indice = kCabecalhoIndice;
    for (const Linha& l : linhas) {
        const auto bytes = l.situacao == "ok" ? fs::file_size(pasta + "/" + l.arquivo) : 0;
        indice += l.arquivo + "," + l.valor + "," + std::to_string(l.primeira) + "," +
                  std::to_string(l.ultima) + "," + std::to_string(l.ultima - l.primeira + 1) + "," +
                  std::to_string(l.paginas) + "," + std::to_string(bytes) + "," + l.situacao +
                  "\r\n";
    }
    return indice;
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
// customer, names that are no plain file names or that come out the same, and the index that
// tells them apart, accents and separators as CSV has them.
TEST_F(Morvpdf, UmArquivoPorCliente) {
    std::string relatorio;
    for (const char* cliente :
         {"ANA", "ANA", "BETO", "CAIO", "CAIO", "", "ANA", "DE/ZE", "JOS\xC9 DA CONCEI\xC7\xC3O",
          "A/B", "A_B", "A B", "SILVA, \"O GRANDE\""})
        relatorio += PaginaDoCliente(cliente) + "\f";
    EscreveArquivo("r.txt", relatorio);
    EscreveArquivo("f.fmt", kFormato);
    const Resultado r = Executa(kMorvpdf, {"-d", "saida", "-n", "CLIENTE", "r.txt", "f.fmt"});
    EXPECT_EQ(r.status, 0) << r.erro;
    EXPECT_EQ(r.erro, "");
    EXPECT_EQ(r.saida, "");
    const std::vector<std::pair<std::string, int>> esperados = {
        {"ANA-2.pdf", 1},
        {"ANA.pdf", 2},
        {"A_B-2.pdf", 1},
        {"A_B-3.pdf", 1},
        {"A_B.pdf", 1},
        {"BETO.pdf", 1},
        {"CAIO.pdf", 2},
        {"DE_ZE.pdf", 1},
        {"JOSE_DA_CONCEICAO.pdf", 1},
        {"SILVA___O_GRANDE_.pdf", 1},
        {"folha-6.pdf", 1},
    };
    EXPECT_EQ(Arquivos("saida"), esperados);
    const std::vector<Linha> linhas = {
        {"ANA.pdf", "ANA", 1, 2, 2},
        {"BETO.pdf", "BETO", 3, 3, 1},
        {"CAIO.pdf", "CAIO", 4, 5, 2},
        {"folha-6.pdf", "", 6, 6, 1},
        {"ANA-2.pdf", "ANA", 7, 7, 1},
        {"DE_ZE.pdf", "DE/ZE", 8, 8, 1},
        {"JOSE_DA_CONCEICAO.pdf", "JOSÉ DA CONCEIÇÃO", 9, 9, 1},
        {"A_B.pdf", "A/B", 10, 10, 1},
        {"A_B-2.pdf", "A_B", 11, 11, 1},
        {"A_B-3.pdf", "A B", 12, 12, 1},
        {"SILVA___O_GRANDE_.pdf", "\"SILVA, \"\"O GRANDE\"\"\"", 13, 13, 1},
    };
    EXPECT_EQ(LeArquivo("saida/indice.csv"), IndiceEsperado("saida", linhas));
    EXPECT_NE(SaidaDe("pdfinfo saida/JOSE_DA_CONCEICAO.pdf").find("JOSÉ DA CONCEIÇÃO"),
              std::string::npos);
}

// A run that fails in a later batch keeps the customers it finished and leaves no part of the
// one it was writing, nor any draft; the index says which did not come out.
TEST_F(Morvpdf, ErroNaoDeixaArquivoPela) {
    const std::string largo(90, 'x');
    EscreveArquivo("r.txt", "APA01QTD01\n" + PaginaDoCliente("ANA") + "\f" +
                                PaginaDoCliente("BETO") + "APA01QTD01\n" + largo + "\n" +
                                PaginaDoCliente("BETO"));
    // The batch headers take the format's first block.
    EscreveArquivo("f.fmt", "MARCA 1\n" + kFormato);
    const Resultado r = Executa(
        kMorvpdf, {"-d", "saida", "-n", "CLIENTE", "r.txt", "f.fmt", "nao.fmt", "f.fmt", "f.fmt"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.erro, "Erro na abertura do arquivo [nao.fmt] #2");
    const std::vector<std::pair<std::string, int>> esperados = {{"ANA.pdf", 1}};
    EXPECT_EQ(Arquivos("saida"), esperados);
    EXPECT_EQ(LeArquivo("saida/indice.csv"),
              IndiceEsperado("saida", {{"ANA.pdf", "ANA", 1, 1, 1},
                                       {"BETO.pdf", "BETO", 2, 2, 1, "interrompido"}}));
}

// Runs that stop before they start: the options that cannot go together or miss their value
// (the usage), a variable that no format captures, a folder that holds anything. Nothing is
// written, and a folder that was there is left as it was.
TEST_F(Morvpdf, OpcoesRecusadas) {
    EscreveArquivo("r.txt", PaginaDoCliente("ANA"));
    EscreveArquivo("f.fmt", kFormato);
    const std::string uso = "Uso: morvpdf [-g] [-d <pasta> -n <variavel>]";
    struct Caso {
        std::vector<std::string> argumentos;
        const char* na_pasta;  // a file in the folder before the run; null: no folder
        std::string erro;      // standard error, or the usage it holds
    };
    const Caso casos[] = {
        {{"-d", "saida", "r.txt", "f.fmt"}, nullptr, uso},
        {{"-n", "CLIENTE", "r.txt", "f.fmt"}, nullptr, uso},
        {{"-d", "saida", "-n", "CLIENTE", "r.txt", "f.fmt", "job.pdf"}, nullptr, uso},
        {{"-x", "r.txt", "f.fmt"}, nullptr, uso},
        {{"-d", "saida", "-n", "NOME", "r.txt", "f.fmt"},
         nullptr,
         "Variavel nao capturada [NOME]\n"},
        {{"-d", "saida", "-n", "cliente", "r.txt", "f.fmt", "f.fmt", "f.fmt", "f.fmt"},
         nullptr,
         "Variavel nao capturada [cliente]\n"},
        {{"-d", "saida", "-n", "CLIENTE", "r.txt", "f.fmt"},
         "velho.pdf",
         "Pasta nao vazia [saida]\n"},
        {{"-d", "saida", "-n", "CLIENTE", "r.txt", "f.fmt"},
         ".oculto",
         "Pasta nao vazia [saida]\n"},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.argumentos[1] + " " + caso.argumentos[2]);
        fs::remove_all("saida");
        if (caso.na_pasta != nullptr) {
            fs::create_directory("saida");
            EscreveArquivo(std::string("saida/") + caso.na_pasta, "antigo");
        }
        const Resultado r = Executa(kMorvpdf, caso.argumentos);
        EXPECT_EQ(r.status, 255);
        EXPECT_EQ(r.saida, "");
        if (caso.erro == uso) {
            // The usage alone, from its first line: no other words before it.
            EXPECT_EQ(r.erro.rfind("morvpdf v2.2.2 15/10/07\n" + uso, 0), 0u) << r.erro;
            EXPECT_FALSE(ExisteArquivo("saida"));
            continue;
        }
        EXPECT_EQ(r.erro, caso.erro);
        const std::set<std::string> antes = caso.na_pasta != nullptr
                                                ? std::set<std::string>{caso.na_pasta}
                                                : std::set<std::string>{};
        EXPECT_EQ(Conteudo("saida"), antes);
        if (caso.na_pasta != nullptr) {
            EXPECT_EQ(LeArquivo(std::string("saida/") + caso.na_pasta), "antigo");
        }
    }
}

// Customer i of a generated run: its value in the report (Latin-1) and in the index, and its
// file's name.
std::string NumeroDoCliente(int i) {
    char numero[16];
    std::snprintf(numero, sizeof numero, "%03d", i);
    return numero;
}
std::string ValorDoCliente(int i) {
    return "CLIENTE " + NumeroDoCliente(i) + " JOS\xC9";
}
std::string ArquivoDoCliente(int i) {
    return "CLIENTE_" + NumeroDoCliente(i) + "_JOSE.pdf";
}

// A report of `clientes` customers of `folhas` sheets each, with an accented letter in every
// value.
std::string RelatorioDeClientes(int clientes, int folhas = 1) {
    std::string relatorio;
    for (int i = 1; i <= clientes; ++i)
        for (int f = 0; f < folhas; ++f)
            relatorio += PaginaDoCliente(ValorDoCliente(i)) + "\f";
    return relatorio;
}

// What a split of RelatorioDeClientes left in the folder: the index's rows, one per customer in
// order, each file that came out whole (pdfinfo and qpdf) and as its row says, none that did not,
// and nothing else; the reason of every row that is not "ok".
std::vector<std::string> ConfereSaida(const std::string& pasta, int clientes, int folhas = 1) {
    std::istringstream indice(LeArquivo(pasta + "/indice.csv"));
    std::string linha;
    std::getline(indice, linha);
    EXPECT_EQ(linha + "\n", kCabecalhoIndice);
    std::set<std::string> esperado = {"indice.csv"};
    std::vector<std::string> falhas;
    int i = 0;
    // No value holds a comma or a quote here: the fields split at each comma.
    for (; std::getline(indice, linha); ++i) {
        std::vector<std::string> campo;
        std::istringstream campos(linha.substr(0, linha.size() - 1));
        for (std::string c; std::getline(campos, c, ',');)
            campo.push_back(c);
        const std::string nome = ArquivoDoCliente(i + 1), f = std::to_string(folhas);
        const std::vector<std::string> inicio = {nome,
                                                 "CLIENTE " + NumeroDoCliente(i + 1) + " JOSÉ",
                                                 std::to_string(i * folhas + 1),
                                                 std::to_string((i + 1) * folhas),
                                                 f,
                                                 f};
        EXPECT_EQ(campo.size(), 8u) << linha;
        campo.resize(8);
        EXPECT_EQ(std::vector<std::string>(campo.begin(), campo.begin() + 6), inicio) << linha;
        const std::string caminho = pasta + "/" + nome;
        if (campo[7] != "ok") {
            EXPECT_EQ(campo[6], "0");
            falhas.push_back(campo[7]);
            continue;
        }
        esperado.insert(nome);
        EXPECT_EQ(std::to_string(fs::file_size(caminho)), campo[6]) << nome;
        EXPECT_EQ(Paginas(caminho), folhas) << nome;
        EXPECT_EQ(std::system(("qpdf --check '" + caminho + "' >/dev/null 2>&1").c_str()), 0)
            << nome;
    }
    EXPECT_EQ(i, clientes);
    EXPECT_EQ(Conteudo(pasta), esperado);
    return falhas;
}

int Vezes(const std::string& texto, const std::string& trecho) {
    int n = 0;
    for (std::size_t p = texto.find(trecho); p != std::string::npos; p = texto.find(trecho, p + 1))
        ++n;
    return n;
}

// A full disk: each customer that no longer fits is named once with the reason and leaves
// nothing, every file that came out is whole, and the index names them all; customers of many
// sheets fail while their document is being written, the others when it is flushed. A document
// that does not fit leaves no file under its name, nor changes the one it would have replaced.
TEST_F(Morvpdf, DiscoCheio) {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
    if (!TemPrograma("qpdf")) GTEST_SKIP() << "qpdf not found: install qpdf";
    struct Caso {
        int clientes, folhas;
        const char* tamanho;  // of the tmpfs
    };
    const Caso casos[] = {{300, 1, "size=256k"}, {6, 100, "size=64k"}};
    EscreveArquivo("f.fmt", kFormato);
    fs::create_directory("cheio");
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.clientes);
        if (mount("tmpfs", "cheio", "tmpfs", 0, caso.tamanho) != 0)
            GTEST_SKIP() << "no tmpfs can be mounted here";
        const struct Desmonta {
            ~Desmonta() { umount("cheio"); }
        } desmonta;
        EscreveArquivo("r.txt", RelatorioDeClientes(caso.clientes, caso.folhas));
        EscreveArquivo("cheio/velho.pdf", "antigo");
        const Resultado r =
            Executa(kMorvpdf, {"-d", "cheio/saida", "-n", "CLIENTE", "r.txt", "f.fmt"});
        EXPECT_EQ(r.status, 255);
        const std::vector<std::string> falhas =
            ConfereSaida("cheio/saida", caso.clientes, caso.folhas);
        EXPECT_GT(falhas.size(), 0u);
        EXPECT_LT(falhas.size(), static_cast<std::size_t>(caso.clientes));
        for (const std::string& falha : falhas)
            EXPECT_EQ(falha, "No space left on device");
        for (int i = 1; i <= caso.clientes; ++i) {
            const std::string arquivo = "cheio/saida/" + ArquivoDoCliente(i);
            EXPECT_EQ(Vezes(r.erro, "[" + arquivo + "] - "), ExisteArquivo(arquivo) ? 0 : 1)
                << arquivo;
        }
        EXPECT_EQ(Vezes(r.erro, "No space left on device\n"), static_cast<int>(falhas.size()));

        // The whole run as one document, ten times over, is larger than the room the split
        // leaves (the index's room is given back at its end).
        EscreveArquivo("r.txt", RelatorioDeClientes(10 * caso.clientes, caso.folhas));
        const Resultado documento = Executa(kMorvpdf, {"r.txt", "f.fmt", "cheio/velho.pdf"});
        EXPECT_EQ(documento.status, 255);
        EXPECT_EQ(documento.erro,
                  "Erro na gravacao do arquivo [cheio/velho.pdf] - No space left on device\n");
        EXPECT_EQ(Conteudo("cheio"), (std::set<std::string>{"saida", "velho.pdf"}));
        EXPECT_EQ(LeArquivo("cheio/velho.pdf"), "antigo");
    }
}

// A customer whose name is taken by a folder made during the run is that customer's failure
// alone: every other customer's file is there and whole, and the index says which did not come
// out and why.
TEST_F(Morvpdf, PastaNoLugarDeUmCliente) {
    if (!TemPrograma("qpdf")) GTEST_SKIP() << "qpdf not found: install qpdf";
    constexpr int kClientes = 20;
    const std::string relatorio = RelatorioDeClientes(kClientes);
    // Two batches: the second prints only once the test has closed the report.
    const std::size_t metade = relatorio.find(".secao 1\nCLIENTE 011");
    EscreveArquivo("f.fmt", kFormato);
    ExecucaoAberta execucao(kMorvpdf, {"-d", "saida", "-n", "CLIENTE", "-", "f.fmt"});
    execucao.Escreve("APA00QTD00\n" + relatorio.substr(0, metade) + "APA00QTD00\n" +
                     relatorio.substr(metade));
    ASSERT_TRUE(Espera([] { return ExisteArquivo("saida/CLIENTE_009_JOSE.pdf"); }));
    fs::create_directories("saida/CLIENTE_015_JOSE.pdf/dentro");
    execucao.FechaEntrada();
    const Resultado r = execucao.Termina();
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.erro,
              "Erro na gravacao do arquivo [saida/CLIENTE_015_JOSE.pdf] - Is a directory\n");
    fs::remove_all("saida/CLIENTE_015_JOSE.pdf");
    EXPECT_EQ(ConfereSaida("saida", kClientes), std::vector<std::string>{"Is a directory"});
}

// Without its fonts (the font package not installed) nothing is drawn: each missing font is
// named, the run fails, and no document is left.
TEST_F(Morvpdf, FontesQueFaltam) {
    // fontconfig with no font folder at all.
    EscreveArquivo("fontes.conf", "<?xml version=\"1.0\"?>\n<fontconfig><cachedir>" +
                                      dir_.caminho() + "/cache</cachedir></fontconfig>\n");
    const VariavelTrocada configuracao("FONTCONFIG_FILE", dir_.caminho() + "/fontes.conf");
    EscreveArquivo("r.txt", "A\n\fB\n");
    EscreveArquivo("f.fmt", "CAPTURA 0 V:1:1\nTEXTO 1 1 A10 N x\n");
    std::string esperado;
    for (const char* fonte : {"Nimbus Sans", "Nimbus Sans Bold", "Nimbus Sans Italic",
                              "Nimbus Mono PS", "Nimbus Mono PS Bold", "Nimbus Mono PS Italic"})
        esperado += std::string("Erro na abertura do arquivo [") + fonte + "]\n";
    for (const std::vector<std::string>& argumentos :
         {std::vector<std::string>{"r.txt", "f.fmt"},
          {"r.txt", "f.fmt", "doc.pdf"},
          {"-d", "saida", "-n", "V", "r.txt", "f.fmt"}}) {
        const Resultado r = Executa(kMorvpdf, argumentos);
        EXPECT_EQ(r.status, 255) << argumentos.size();
        EXPECT_EQ(r.erro, esperado) << argumentos.size();
        EXPECT_EQ(r.saida, "") << argumentos.size();
    }
    // Nor a draft of the output file, nor a customer's file or an index.
    for (const std::string& nome : Conteudo("."))
        EXPECT_EQ(nome.find("doc.pdf"), std::string::npos) << nome;
    EXPECT_EQ(Conteudo("saida"), std::set<std::string>{});
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
