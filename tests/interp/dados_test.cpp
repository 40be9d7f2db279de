#include "interp/dados.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "codificacao/codificacao.h"
#include "interp/estado.h"
#include "support/ferramentas.h"
#include "util/rastro.h"

namespace {

using Textos = std::vector<std::string>;

// Bounds every walk, so that a reader that stops making progress fails instead of hanging.
constexpr int kLimite = 1000;

class Leitor : public ::testing::Test {
  protected:
    void SetUp() override { ReiniciaLeitura(); }
    void TearDown() override {
        ReiniciaLeitura();
        if (dbg != nullptr) std::fclose(dbg);
        dbg = nullptr;
    }

    // Opens the data file as the loader does, and makes its first page current.
    void Abre(const std::string& conteudo) {
        ReiniciaLeitura();
        EscreveArquivo("dados.txt", conteudo);
        dad = std::fopen("dados.txt", "rb");
        ASSERT_NE(dad, nullptr);
        tamarq = static_cast<long>(conteudo.size());
        ASSERT_EQ(PrimeiraPagina(), 0);
    }

    // The rest of the current page by plain reads.
    static Textos LeResto() {
        Textos linhas;
        std::string buf;
        for (int i = 0; i < kLimite; ++i) {
            LeDados(0, buf);
            if (fimpag || fimarq) break;
            linhas.push_back(buf);
        }
        return linhas;
    }

    static std::string Rastro() {
        std::string texto;
        std::rewind(dbg);
        for (int c = std::getc(dbg); c != EOF; c = std::getc(dbg))
            texto.push_back(static_cast<char>(c));
        return texto;
    }

    DiretorioTemporario dir;
};

const std::string k300(300, 'a');
const std::string k255(255, 'b');

TEST_F(Leitor, PaginasERastro) {
    struct Caso {
        const char* nome;
        std::string dados;
        std::vector<long> paginas;
        std::string rastro;
    };
    const Caso casos[] = {
        {"duas paginas", "A\n\f\nB\n", {0, 4}, "PROXIMA PAGINA\nPAGINA 4\nPROXIMA PAGINA\n"},
        {"quebra no fim nao da pagina vazia", "A\n\f\n", {0}, "PROXIMA PAGINA\n"},
        {"quebra sem byte seguinte", "A\n\f", {0}, "PROXIMA PAGINA\n"},
        {"vazio", "", {0}, "PROXIMA PAGINA\n"},
        {"dois pontos no inicio", ":X\nB\n", {0, 2}, "PROXIMA PAGINA\nPAGINA 2\nPROXIMA PAGINA\n"},
        {"CR antes dos dois pontos",
         "A\n\r:\nB\n",
         {0, 5},
         "PROXIMA PAGINA\nPAGINA 5\nPROXIMA PAGINA\n"},
        {"dois pontos no meio da linha", "A\nB:C\n", {0}, "PROXIMA PAGINA\n"},
        {"tres paginas",
         "A\n\f\nB\nC\n\f\nD\n",
         {0, 4, 10},
         "PROXIMA PAGINA\nPAGINA 4\nPROXIMA PAGINA\nPAGINA 10\nPROXIMA PAGINA\n"},
        {"linha longa antes da quebra",
         k300 + "\n\f\nZ\n",
         {0, 303},
         "PROXIMA PAGINA\nPAGINA 303\nPROXIMA PAGINA\n"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nome);
        if (dbg != nullptr) std::fclose(dbg);
        dbg = std::tmpfile();
        ASSERT_NE(dbg, nullptr);
        Abre(caso.dados);
        std::vector<long> paginas{pag};
        for (int i = 0; i < kLimite && ProximaPagina() == 0; ++i)
            paginas.push_back(pag);
        EXPECT_EQ(paginas, caso.paginas);
        EXPECT_EQ(Rastro(), caso.rastro);
        EXPECT_EQ(ProximaPagina(), -1);  // and it stays at the end
    }
}

TEST_F(Leitor, LeiturasSimplesPorPagina) {
    struct Caso {
        const char* nome;
        std::string dados;
        std::vector<Textos> paginas;
    };
    const Caso casos[] = {
        {"linhas", "A\nB\n", {{"A", "B"}}},
        {"CR invisivel", "A\rB\r\n\r\n", {{"AB", ""}}},
        {"quebra FF CR LF", "A\n\f\r\nB\n", {{"A"}, {"", "B"}}},
        {"texto colado ao FF perde o primeiro byte", "A\n\fXYZ\n", {{"A"}, {"YZ"}}},
        {"texto antes do FF nunca sai", "A\nxx\fB\nC\n", {{"A"}, {"", "C"}}},
        {"dois pontos", ":X\nB\n", {{}, {"", "B"}}},
        {"dois pontos depois de texto", "A:\n", {{"A:"}}},
        {"ultima linha sem LF", "A\nfim", {{"A"}}},
        {"300 caracteres", k300 + "\n", {{k300.substr(0, 255), k300.substr(255)}}},
        {"255 caracteres", k255 + "\n", {{k255, ""}}},
        {"ponto no inicio", ".secao 1\n.x\n", {{".secao 1", ".x"}}},
        {"bytes quaisquer",
         std::string("A\0B\n\xff\x01\n", 7),
         {{std::string("A\0B", 3), "\xff\x01"}}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nome);
        Abre(caso.dados);
        std::vector<Textos> paginas{LeResto()};
        for (int i = 0; i < kLimite && ProximaPagina() == 0; ++i)
            paginas.push_back(LeResto());
        EXPECT_EQ(paginas, caso.paginas);
    }
}

// In a UTF-8 job a read that fills its 255 bytes never ends inside a character.
TEST_F(Leitor, LinhaLongaEmUTF8PartidaEntreCaracteres) {
    const std::string longa = std::string(254, 'a') + "\u00e9!";
    const Codificacao casos[] = {Codificacao::nenhuma, Codificacao::utf8};
    const Textos esperados[] = {{longa.substr(0, 255), longa.substr(255)},
                                {std::string(254, 'a'), "\u00e9!"}};
    for (int i = 0; i < 2; ++i) {
        Abre(longa + "\n");
        codificacao = casos[i];
        EXPECT_EQ(LeResto(), esperados[i]);
    }
}

// A step of a walk over the data file: a read of a section (0 a plain read), or a page change.
constexpr int kProxima = 1000;
struct Passo {
    int secao;
    std::string esperado;
};

void Percorre(const std::vector<Passo>& passos) {
    std::string buf;
    int n = 0;
    for (const Passo& passo : passos) {
        SCOPED_TRACE("passo " + std::to_string(++n));
        if (passo.secao == kProxima) {
            EXPECT_EQ(ProximaPagina(), 0);
            continue;
        }
        buf = "(sujo)";
        LeDados(passo.secao, buf);
        EXPECT_EQ(buf, passo.esperado);
    }
}

TEST_F(Leitor, Secoes) {
    struct Caso {
        const char* nome;
        std::string dados;
        std::vector<Passo> passos;
    };
    const Caso casos[] = {
        {"ate a linha com ponto",
         ".secao 2\nX\nY\n.fim\nZ\n",
         {{2, "X"}, {2, "Y"}, {2, ""}, {2, ""}, {0, "Z"}}},
        // ".secao 12" is not the marker of section 1.
        {"secao 12 nao e a 1", ".secao 12\nW\n.secao 1\nA\n", {{1, "A"}, {12, ""}}},
        {"secao 12 achada", ".secao 1\nA\n.secao 12\nW\n", {{12, "W"}, {1, ""}}},
        {"texto depois do numero", ".secao 1 TOTAIS\nA\n", {{1, "A"}}},
        {"marcador com CR", ".secao 3\r\nC\r\n", {{3, "C"}}},
        {"marcador colado a letra", ".secao 1X\nA\n", {{1, "A"}}},
        {"busca segue da posicao atual",
         ".secao 1\nA\n.secao 2\nB\n",
         {{1, "A"}, {1, ""}, {2, ""}, {0, ""}, {1, ""}}},
        {"leitura simples depois de secao",
         ".secao 3\nA\nB\nC\n",
         {{3, "A"}, {0, "B"}, {3, "B"}, {3, "C"}, {0, ""}}},
        {"duas secoes intercaladas",
         ".secao 1\nA1\nA2\n.secao 2\nB1\nB2\n.fim\n",
         {{1, "A1"}, {2, "B1"}, {1, "A2"}, {1, ""}, {2, "B2"}, {2, ""}}},
        {"secao ausente termina a pagina",
         "A\nB\n\f\n.secao 1\nC\n",
         {{1, ""}, {0, ""}, {1, ""}, {kProxima, ""}, {1, "C"}}},
        {"cursores zerados a cada pagina",
         ".secao 1\nA\n\f\n.secao 1\nB\n",
         {{1, "A"}, {kProxima, ""}, {1, "B"}}},
        {"secao fora da faixa nao le", ".secao 1\nA\n", {{33, ""}, {1000000, ""}, {1, "A"}}},
        {"secao negativa e leitura simples", "A\nB\n", {{-5, "A"}, {0, "B"}}},
        {"marcador na linha da quebra",
         "A\n.secao 1\fB\nC\n",
         {{1, ""}, {kProxima, ""}, {0, ""}, {0, "C"}}},
        {"marcador na ultima linha sem LF", "A\n.secao 1", {{1, ""}, {0, ""}}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nome);
        Abre(caso.dados);
        Percorre(caso.passos);
    }
}

TEST_F(Leitor, RepetePaginaRecomeca) {
    Abre("X\n\f\n.secao 1\nA\nB\n");
    ASSERT_EQ(ProximaPagina(), 0);
    Percorre({{1, "A"}, {0, "B"}, {0, ""}});
    SetaVar("ABC", "V:1:1");
    ASSERT_EQ(RepetePagina(), 0);
    EXPECT_EQ(vars, nullptr);
    Percorre({{0, ".secao 1"}, {0, "A"}});
}

TEST_F(Leitor, SemArquivoDeDadosUmaPaginaVazia) {
    dbg = std::tmpfile();
    ASSERT_EQ(PrimeiraPagina(), 0);
    Percorre({{0, ""}, {1, ""}});
    EXPECT_EQ(ProximaPagina(), -1);
    EXPECT_EQ(Rastro(), "");
    std::string buf;
    EXPECT_EQ(readline(buf), 1);
}

TEST_F(Leitor, SemRastroNadaEscrito) {
    Abre("A\n\f\nB\n");
    EXPECT_EQ(ProximaPagina(), 0);
    EXPECT_EQ(pag, 4);
}

TEST(Variaveis, CapturaEConsulta) {
    struct Caso {
        const char* nome;
        std::string linha;
        Textos itens;
        Textos registros;
        std::vector<std::pair<std::string, std::string>> consultas = {};
    };
    const std::string nome24 = "ABCDEFGHIJKLMNOPQRSTUVWX";
    const std::string nome60(60, 'N');
    const std::string nome20 = "ABCDEFGHIJKLMNOPQRST";
    const Caso casos[] = {
        {"coluna e tamanho",
         "ABCDEFGHIJ",
         {"COD:3:4"},
         {"COD                 CDEF"},
         {{"COD", "CDEF"}, {"CO", ""}, {"CODX", ""}, {"cod", ""}}},
        {"para no fim da linha", "ABCDEFGHIJ", {"COD:9:5"}, {"COD                 IJ"}},
        {"coluna alem do fim",
         "ABC",
         {"COD:4:2", "X:40:2"},
         {"COD                 ", "X                   "},
         {{"COD", ""}}},
        {"tamanho zero", "ABC", {"Z:1:0"}, {"Z                   "}},
        {"mesmo nome duas vezes fica o mais antigo",
         "ABCDEFGHIJ",
         {"V:1:2", "V:3:2"},
         {"V                   AB", "V                   CD"},
         {{"V", "AB"}}},
        {"nome de 24 caracteres",
         "0123456789",
         {nome24 + ":1:3"},
         {nome24 + "012"},
         {{nome24, "012"}, {nome24.substr(0, 20), ""}}},
        {"nome longo que comeca por outro",
         "0123456789",
         {nome24 + ":1:3", nome20 + ":5:2"},
         {nome24 + "012", nome20 + "45"},
         {{nome20, "45"}, {nome24, "012"}}},
        {"nome de 20 caracteres",
         "0123456789",
         {nome20 + ":2:2"},
         {nome20 + "12"},
         {{nome20, "12"}}},
        {"nome de mais de 47 caracteres",
         "0123456789",
         {nome60 + ":1:1"},
         {nome60 + "0"},
         {{nome60, "0"}}},
        {"nome vazio", "ABC", {":2:1"}, {"                    B"}, {{"", "B"}}},
        {"itens malformados capturam vazio",
         "ABCDEFGHIJ",
         {"SEMDOIS", "UM:3", "ZERO:0:3", "NEG:-2:3", "TAMNEG:2:-1", "GRANDE:2147483647:5",
          "LETRAS:a:b"},
         {"SEMDOIS             ", "UM                  ", "ZERO                ",
          "NEG                 ", "TAMNEG              ", "GRANDE              ",
          "LETRAS              "},
         {{"SEMDOIS", ""}, {"UM", ""}}},
        {"tamanho enorme", "ABCDEFGHIJ", {"T: 2 :99999999999"}, {"T                   BCDEFGHIJ"}},
        {"terceiro dois pontos", "ABCDEFGHIJ", {"T:2:3:9"}, {"T                   BCD"}},
        {"varias capturas da mesma linha",
         "JOAO DA SILVA  12345678901",
         {"NOME:1:13", "CPF:16:11"},
         {"NOME                JOAO DA SILVA", "CPF                 12345678901"},
         {{"NOME", "JOAO DA SILVA"}, {"CPF", "12345678901"}, {"RG", ""}}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nome);
        vars = LiberaLista(vars);
        for (const std::string& item : caso.itens)
            SetaVar(caso.linha, item);
        Textos registros;
        for (Lista* no = vars; no != nullptr; no = no->prox)
            registros.push_back(no->texto);
        EXPECT_EQ(registros, caso.registros);
        for (const auto& [nome, valor] : caso.consultas) {
            std::string buf = "(sujo)";
            LeVar(nome, buf);
            EXPECT_EQ(buf, valor) << "LeVar(" << nome << ")";
        }
    }
    vars = LiberaLista(vars);
}

// Records put in the list by other means (the list freed and refilled elsewhere) are still found.
TEST(Variaveis, RegistrosQueOLeitorNaoFez) {
    vars = LiberaLista(vars);
    SetaVar("0123456789", "ABCDEFGHIJKLMNOPQRSTUVWX:1:3");
    vars = LiberaLista(vars);
    vars = IncluiLista(nullptr, "COD                 CDEF");
    std::string buf;
    LeVar("COD", buf);
    EXPECT_EQ(buf, "CDEF");
    vars = IncluiLista(vars, "COD                 XXXX");
    SetaVar("12", "N:1:2");
    LeVar("N", buf);
    EXPECT_EQ(buf, "12");
    vars = LiberaLista(vars);
}

TEST_F(Leitor, VariaveisValemAteATrocaDePagina) {
    Abre("A\n\f\nB\n");
    SetaVar("XYZ", "V:2:1");
    std::string buf;
    LeVar("V", buf);  // the back side of the same sheet still sees it
    EXPECT_EQ(buf, "Y");
    ASSERT_EQ(ProximaPagina(), 0);
    LeVar("V", buf);
    EXPECT_EQ(buf, "");
    EXPECT_EQ(vars, nullptr);
}

// Thousands of pages, each with a section read, a capture and a look-up, as a long run does.
TEST_F(Leitor, MuitasPaginas) {
    std::string dados;
    constexpr int kPaginas = 20000;
    for (int i = 0; i < kPaginas; ++i)
        dados += "CABECALHO\n.secao 1\n" + std::to_string(i) + "\nlinha\nlinha\n.fim\n\f\n";
    Abre(dados);
    int paginas = 0;
    std::string buf;
    do {
        LeDados(1, buf);
        SetaVar(buf, "N:1:10");
        LeVar("N", buf);
        ASSERT_EQ(buf, std::to_string(paginas));
        ++paginas;
    } while (ProximaPagina() == 0 && paginas <= kPaginas);
    EXPECT_EQ(paginas, kPaginas);
}

}  // namespace
