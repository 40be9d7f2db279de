#include "driver/prepass.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "interp/interp.h"
#include "support/ferramentas.h"

namespace {

using namespace std::string_literals;

// A scratch stream holding the text, positioned at its start.
std::FILE* StreamCom(const std::string& texto) {
    std::FILE* f = std::tmpfile();
    std::fwrite(texto.data(), 1, texto.size(), f);
    std::rewind(f);
    return f;
}

std::string Conteudo(std::FILE* f) {
    std::string texto;
    std::rewind(f);
    for (int c; (c = std::getc(f)) != EOF;)
        texto.push_back(static_cast<char>(c));
    return texto;
}

struct Copia {
    Lote lote;
    std::string dados;
    int ini = 0, fim = 0;
};

// Runs the pre-pass batch by batch over the whole report, as the driver does.
std::vector<Copia> CopiaTudo(const std::string& relatorio) {
    std::FILE* entrada = StreamCom(relatorio);
    EstadoExecucao estado;
    estado.largura_em_caracteres = true;
    std::vector<Copia> lotes;
    for (int limite = 0; limite < 20; ++limite) {
        std::FILE* dados = std::tmpfile();
        Copia c;
        c.lote = CopiaLote(entrada, dados, estado);
        c.dados = Conteudo(dados);
        c.ini = marcaini;
        c.fim = marcafim;
        std::fclose(dados);
        lotes.push_back(c);
        if (!c.lote.cabecalho || c.lote.esgotada) break;
    }
    std::fclose(entrada);
    return lotes;
}

Copia CopiaUnico(const std::string& relatorio) {
    std::vector<Copia> lotes = CopiaTudo(relatorio);
    EXPECT_EQ(lotes.size(), 1u) << relatorio;
    return lotes.front();
}

struct CasoPagina {
    const char* nome;
    std::string relatorio;
    std::string dados;
};

// What the data file holds: every page break on a line of its own, no blank page heads, no
// empty pages, and a last line end unless the file ends on a break.
const CasoPagina casos_pagina[] = {
    {"relatorio vazio", "", "\n"},
    {"linha sem fim", "A", "A\n"},
    {"brancos no topo e depois do salto caem, os do meio ficam", "\n  \r\nA\n\nB\n\f\n\n  \nC\n",
     "A\n\nB\n\f\nC\n\n"},
    {"salto no meio da linha", "ABC\fDEF\n", "ABC\n\f\nDEF\n\n"},
    {"varios saltos numa linha", "A\fB\fC\n", "A\n\f\nB\n\f\nC\n\n"},
    {"salto no meio com CR LF logo depois", "A\f\r\nB\r\n", "A\n\f\nB\r\n\n"},
    {"tres linhas de salto seguidas", "A\n\f\n\f\n\f\nB\n", "A\n\f\nB\n\n"},
    {"salto no inicio nao abre pagina vazia", "\f\nA\n", "A\n\n"},
    {"salto no inicio com CR LF", "\f\r\nA\r\n", "A\r\n\n"},
    {"salto colado ao texto guarda a primeira letra", "\fEMPRESA\n", "EMPRESA\n\n"},
    {"salto colado ao texto no meio", "A\n\fB\n", "A\n\f\nB\n\n"},
    {"salto colado com brancos ate o texto", "A\n\f  \nB\n", "A\n\f\nB\n\n"},
    {"so saltos", "\f\n\f\f\n\f", ""},
    {"termina em salto", "A\n\f\n", "A\n\f\n"},
    {"termina em salto sem fim de linha", "A\n\f", "A\n\f\n"},
    {"brancos antes de salto em pagina vazia", "  \fB\n", "B\n\n"},
    {"brancos antes de salto em pagina cheia", "A\n  \fB\n", "A\n  \n\f\nB\n\n"},
    {"salta pagina encerra a pagina", "A\nSALTA_PAGINA\nB\n", "A\n\f\nB\n\n"},
    {"salto depois de salta pagina cai", "A\nSALTA_PAGINA\n\f\nB\n", "A\n\f\nB\n\n"},
    {"salta pagina depois de salto nao abre pagina vazia", "A\n\f\nSALTA_PAGINA\nB\n",
     "A\n\f\nB\n\n"},
    {"salta pagina no inicio", "SALTA_PAGINA resto\nA\n", "A\n\n"},
    {"salta pagina so no inicio da linha", " SALTA_PAGINA\n", " SALTA_PAGINA\n\n"},
    {"linha longa vem em pedacos sem perda", std::string(300, 'x') + "\n",
     std::string(300, 'x') + "\n\n"},
    {"bytes nulos sao copiados", "A\0B\n"s, "A\0B\n\n"s},
    // A form feed or a page skip right after the 254-byte read of a long line starts a piece of
    // its own: the line before it must still be ended, or the reader drops its text.
    {"salto logo depois de um pedaco de linha longa", std::string(254, 'x') + "\fB\n",
     std::string(254, 'x') + "\n\f\nB\n\n"},
    {"salta pagina logo depois de um pedaco de linha longa",
     std::string(254, 'x') + "SALTA_PAGINA\nB\n", std::string(254, 'x') + "\n\f\nB\n\n"},
};

TEST(PrePassagem, ArquivoDeDados) {
    for (const auto& caso : casos_pagina) {
        Copia c = CopiaUnico(caso.relatorio);
        EXPECT_EQ(c.dados, caso.dados) << caso.nome;
        EXPECT_FALSE(c.lote.cabecalho) << caso.nome;
        EXPECT_TRUE(c.lote.esgotada) << caso.nome;
    }
}

struct CasoMedida {
    const char* nome;
    std::string relatorio;
    int largura;
    bool marca_pag;
};

const CasoMedida casos_medida[] = {
    {"81 caracteres e LF", std::string(81, 'x') + "\n", 82, false},
    {"82 caracteres e LF", "A\n" + std::string(82, 'x') + "\nB\n", 83, false},
    {"CR LF conta", std::string(81, 'x') + "\r\n", 83, false},
    {"pedaco de leitura", std::string(400, 'x') + "\n", 254, false},
    {"linha com salto no inicio conta inteira", "\fEMPRESA\n", 9, false},
    {"texto antes do salto nao conta", std::string(90, 'x') + "\fDEF\n", 4, false},
    {"brancos descartados nao contam", std::string(90, ' ') + "\nA\n", 2, false},
    {"salta pagina conta", "SALTA_PAGINA" + std::string(80, ' ') + "\n", 93, false},
    {"marca na primeira linha", "EMPRESA   PAG. 1\nA\n", 17, true},
    {"marca depois de brancos", "\n   \nEMPRESA PAG. 1\n", 15, true},
    {"marca numa linha com salto colado", "\fEMPRESA PAG. 1\n", 16, true},
    {"marca so na segunda linha", "EMPRESA\nPAG. 1\n", 8, false},
    {"marca sem o espaco", "PAG.1\n", 6, false},
    {"linha de salto vazia e a primeira", "\f\nPAG. 1\n", 7, false},
    // A well-formed UTF-8 line with a multi-byte character counts characters; any other line
    // with bytes above 127 counts bytes.
    {"utf-8 conta caracteres", "Concei\u00e7\u00e3o\n", 10, false},
    {"latin-1 conta bytes", "N\xba e 1\xaa\n", 8, false},
    {"utf-8 com um byte ruim conta bytes", "Concei\u00e7\u00e3o\xff\n", 13, false},
    // 254-byte pieces, the first ending inside a 4-byte character: the line is judged whole.
    {"utf-8 em pedacos", "x" + Repete("\U0001F600", 64) + "\n", 65, false},
};

TEST(PrePassagem, LarguraEMarcaDePagina) {
    for (const auto& caso : casos_medida) {
        Copia c = CopiaUnico(caso.relatorio);
        EXPECT_EQ(c.lote.largura, caso.largura) << caso.nome;
        EXPECT_EQ(c.lote.marca_pag, caso.marca_pag) << caso.nome;
    }
}

struct LoteEsperado {
    int ini, fim;
    std::string dados;
};

struct CasoLotes {
    const char* nome;
    std::string relatorio;
    std::vector<LoteEsperado> lotes;
};

const CasoLotes casos_lotes[] = {
    {"sem cabecalho", "A\n", {{0, 0, "A\n\n"}}},
    {"APA05QTD03", "APA05QTD03\nA\n", {{5, 7, "A\n\n"}}},
    {"bloco zero: sem faixa", "APA00QTD03\nA\n", {{0, 0, "A\n\n"}}},
    {"quantidade zero", "APA05QTD00\nA\n", {{5, 4, "A\n\n"}}},
    {"numeros com brancos", "APA 5QTD 2\nA\n", {{5, 6, "A\n\n"}}},
    {"so os dois digitos contam", "APA12QTD345\nA\n", {{12, 45, "A\n\n"}}},
    {"cabecalho curto", "APA05QTD\nA\n", {{5, 4, "A\n\n"}}},
    {"parecido nao e cabecalho", "APB05QTD03\n", {{0, 0, "APB05QTD03\n\n"}}},
    {"tres cabecalhos",
     "APA01QTD01\nA1\n\fA2\nAPA02QTD02\nB\nAPA05QTD01\nC\n",
     {{1, 1, "A1\n\f\nA2\n\n"}, {2, 3, "B\n\n"}, {5, 5, "C\n\n"}}},
    {"texto antes do primeiro cabecalho e do primeiro lote",
     "X\nAPA01QTD01\nA\nAPA02QTD01\nB\n",
     {{1, 1, "X\nA\n\n"}, {2, 2, "B\n\n"}}},
    {"cabecalho no fim: o lote seguinte nao existe",
     "A\nAPA01QTD01\nB\nAPA02QTD01\n",
     {{1, 1, "A\nB\n\n"}}},
    {"salto antes do cabecalho nao deixa pagina vazia",
     "APA01QTD01\nA\n\f\nAPA02QTD01\nB\n\f\n",
     {{1, 1, "A\n\f\n"}, {2, 2, "B\n\f\n"}}},
};

TEST(PrePassagem, LotesEFaixasDeMarca) {
    for (const auto& caso : casos_lotes) {
        std::vector<Copia> lotes = CopiaTudo(caso.relatorio);
        ASSERT_EQ(lotes.size(), caso.lotes.size()) << caso.nome;
        for (std::size_t i = 0; i < lotes.size(); ++i) {
            EXPECT_EQ(lotes[i].ini, caso.lotes[i].ini) << caso.nome << " lote " << i;
            EXPECT_EQ(lotes[i].fim, caso.lotes[i].fim) << caso.nome << " lote " << i;
            EXPECT_EQ(lotes[i].dados, caso.lotes[i].dados) << caso.nome << " lote " << i;
        }
        EXPECT_TRUE(lotes.back().lote.esgotada) << caso.nome;
    }
}

TEST(PrePassagem, ArquivoTemporarioNovoPorLote) {
    DiretorioTemporario dir;
    std::optional<VariavelTrocada> tmpdir(std::in_place, "TMPDIR", dir.caminho());
    std::FILE* entrada = StreamCom("APA01QTD01\nA\nAPA02QTD01\nB\n");
    EstadoExecucao estado;
    Lote primeiro = PreparaLote(entrada, estado);
    Lote segundo = PreparaLote(entrada, estado);
    std::fclose(entrada);
    tmpdir.reset();

    EXPECT_NE(primeiro.dados, segundo.dados);
    EXPECT_EQ(primeiro.dados.rfind(dir.caminho() + "/", 0), 0u) << primeiro.dados;
    EXPECT_EQ(LeArquivo(primeiro.dados), "A\n\n");
    EXPECT_EQ(LeArquivo(segundo.dados), "B\n\n");
    EXPECT_TRUE(segundo.esgotada);
}

}  // namespace
