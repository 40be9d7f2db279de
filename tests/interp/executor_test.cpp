#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "device/gravador.h"
#include "interp/dados.h"
#include "interp/interp.h"
#include "support/ferramentas.h"
#include "util/rastro.h"

namespace {

using Chamadas = std::vector<std::string>;

// A list of format lines as the loader files them, line end included.
Lista* Monta(std::initializer_list<std::string> linhas) {
    Lista* lista = nullptr;
    for (const auto& l : linhas)
        lista = IncluiLista(lista, l + "\n");
    return lista;
}

Chamadas Executa(std::initializer_list<std::string> linhas) {
    Lista* lista = Monta(linhas);
    chamadas.clear();
    Interpreta(lista);
    LiberaLista(lista);
    return chamadas;
}

class Executor : public ::testing::Test {
  protected:
    void SetUp() override {
        chamadas.clear();
        // A page change writes to the trace; these tests keep none.
        if (dbg == nullptr) dbg = trace_ = std::fopen("/dev/null", "w");
    }
    void TearDown() override {
        FinalizaInterp();
        if (trace_ != nullptr) {
            std::fclose(trace_);
            dbg = nullptr;
        }
    }

    // Makes the text the job's data file, with its first page current.
    void AbreDados(const std::string& conteudo) {
        EscreveArquivo("dados.txt", conteudo);
        dad = std::fopen("dados.txt", "rb");
        ASSERT_NE(dad, nullptr);
        std::fseek(dad, 0, SEEK_END);
        tamarq = std::ftell(dad);
        std::fseek(dad, 0, SEEK_SET);
        ASSERT_EQ(PrimeiraPagina(), 0);
    }

    DiretorioTemporario dir_;
    std::FILE* trace_ = nullptr;
};

TEST_F(Executor, PassesEachObjectsArgumentsConverted) {
    struct Caso {
        std::string linha;
        Chamadas esperadas;
    };
    const Caso casos[] = {
        {"TEXTO 1.5 2 A10 N \"Ola mundo\"", {"DesenhaTexto(1.5,2,A10,N,Ola mundo)"}},
        {"TEXTO C 2 C12 NI X", {"DesenhaTexto(-1,2,C12,NI,X)"}},
        {"TEXTO CENTRO 2 A10 N X", {"DesenhaTexto(-1,2,A10,N,X)"}},
        {"TEXTO c 2 A10 N X", {"DesenhaTexto(0,2,A10,N,X)"}},
        {"TEXTO -1 2 A10 N X", {"DesenhaTexto(-1,2,A10,N,X)"}},
        {"TEXTO 1 2 A10 N \"\"", {"DesenhaTexto(1,2,A10,N,)"}},
        {"TEXTO  \t 0.25\t3.5cm  A8 \"\" \"a b\"", {"DesenhaTexto(0.25,3.5,A8,,a b)"}},
        {"LINHA 1 2 3 4", {"DesenhaLinha(1,2,3,4,1)"}},
        {"LINHA 1 2 3 4 -2", {"DesenhaLinha(1,2,3,4,-2)"}},
        {"LINHA x 1e400 -1e400 .5", {"DesenhaLinha(0,3.40282e+38,-3.40282e+38,0.5,1)"}},
        {"RETANG 0.5 1 2 3 10 2", {"DesenhaRetang(0.5,1,2,3,10,2)"}},
        {"RETANG 0.5 1 2 3 12abc x", {"DesenhaRetang(0.5,1,2,3,12,0)"}},
        {"RETANGA 0.5 1 2 3 0101 4", {"DesenhaRetangA(0.5,1,2,3,0101,4)"}},
        {"IMAGEM 1 2 3 4 logo.bmp", {"DesenhaImagem(1,2,3,4,logo.bmp,0)"}},
        {"IMAGEM 1 2 3 4 logo.bmp 1", {"DesenhaImagem(1,2,3,4,logo.bmp,1)"}},
        {"ROTACAO 90", {"Rotacao(90)"}},
        {"ROTACAO2 -90", {"Rotacao2(-90)"}},
        // Without a data file every content is empty, and is still drawn.
        {"INPUT C 2 A10 N 1", {"DesenhaTexto(-1,2,A10,N,)"}},
        {"MOSTRA 1 2 A10 N NOME", {"DesenhaTexto(1,2,A10,N,)"}},
        {"CODBAR 1 2 3 i25 1", {"DesenhaCodBar(1,2,3,i25,)"}},
        {"CODBAR2 1 2 3 code128c NOME", {"DesenhaCodBar(1,2,3,code128c,)"}},
        // Objects that act at load time, or nowhere.
        {"DUPLEX", {}},
        {"MARCA 3", {}},
        {"SALTA_PAGINA", {}},
        {"IGNORA 1", {}},
        {"CAPTURA 1 NOME:1:10", {}},
        // Unknown or incomplete objects are skipped.
        {"texto 1 2 A10 N X", {}},
        {"CAPTURA", {}},
        {"MD5 1 2 A10 N", {}},
        {"MD5V 1 2 A10 N N3 A X2 B - C - D - E -", {}},
        {"TEXTO 1 2 A10", {}},
        {"RETANG 1 2 3 4 5", {}},
        {"# comentario", {}},
        {"", {}},
    };
    for (const auto& c : casos)
        EXPECT_EQ(Executa({c.linha}), c.esperadas) << c.linha;
    EXPECT_EQ(args, nullptr);
}

TEST_F(Executor, DrawsBoxesThenImagesThenEverythingElse) {
    const Chamadas feitas = Executa({
        "TEXTO 1 1 A10 N primeiro",
        "LINHA 1 1 2 1",
        "IMAGEM 1 1 1 1 logo.bmp",
        "RETANG 1 1 1 1 10 1",
        "ROTACAO 90",
        "RETANGA 2 2 1 1 0000 1",
        "IMAGEM 2 2 1 1 selo.bmp 1",
        "TEXTO 2 2 A10 N ultimo",
    });
    const Chamadas esperadas = {
        "DesenhaRetang(1,1,1,1,10,1)",
        "DesenhaRetangA(2,2,1,1,0000,1)",
        "DesenhaImagem(1,1,1,1,logo.bmp,0)",
        "DesenhaImagem(2,2,1,1,selo.bmp,1)",
        "DesenhaTexto(1,1,A10,N,primeiro)",
        "DesenhaLinha(1,1,2,1,1)",
        "Rotacao(90)",
        "DesenhaTexto(2,2,A10,N,ultimo)",
    };
    EXPECT_EQ(feitas, esperadas);
}

TEST_F(Executor, ReadsSectionLinesInListOrderAcrossPasses) {
    AbreDados(".secao 1\nPRIMEIRA\nSEGUNDA\n.fim\n");
    const Chamadas feitas = Executa({
        "INPUT 1 1 A10 N 1",
        "RETANG 1 1 1 1 10 1",
        "IMAGEM 1 1 1 1 logo.bmp",
        "INPUT 1 2 A10 N 1",
        "INPUT 1 3 A10 N 1",
    });
    const Chamadas esperadas = {
        "DesenhaRetang(1,1,1,1,10,1)",      "DesenhaImagem(1,1,1,1,logo.bmp,0)",
        "DesenhaTexto(1,1,A10,N,PRIMEIRA)", "DesenhaTexto(1,2,A10,N,SEGUNDA)",
        "DesenhaTexto(1,3,A10,N,)",
    };
    EXPECT_EQ(feitas, esperadas);
}

TEST_F(Executor, CutsBarcodeTextsAtTheirFirstBlank) {
    AbreDados(".secao 1\n12345 ABC\n\n987654\n .fim\n.fim\n");
    const Chamadas feitas = Executa({
        "CODBAR 1 2 3 i25 1",
        "CODBAR 1 2 3 i25 1",
        "CAPTURA 1 COD:1:20",
        "CODBAR2 1 2 3 code128c COD",
        "CODBAR 1 2 3 i25 1",
    });
    const Chamadas esperadas = {
        "DesenhaCodBar(1,2,3,i25,12345)",
        "DesenhaCodBar(1,2,3,i25,)",
        "DesenhaCodBar(1,2,3,code128c,987654)",
        "DesenhaCodBar(1,2,3,i25,)",
    };
    EXPECT_EQ(feitas, esperadas);
}

TEST_F(Executor, CapturedVariablesLiveUntilTheNextPage) {
    AbreDados(".secao 2\nJOAO DA SILVA   12345678901\n.fim\n\f\n.secao 2\nMARIA\n.fim\n");
    Lista* frente = Monta({
        "MOSTRA 1 1 A10 N NOME",
        "CAPTURA 2 NOME:1:13 CPF:17:11",
        "MOSTRA 1 2 A10 N NOME",
        "CODBAR2 1 3 2 i25 NOME",
    });
    Lista* verso = Monta({"MOSTRA 1 4 A10 N CPF"});

    Interpreta(frente);
    Interpreta(verso);
    const Chamadas primeira = {
        "DesenhaTexto(1,1,A10,N,)",
        "DesenhaTexto(1,2,A10,N,JOAO DA SILVA)",
        "DesenhaCodBar(1,3,2,i25,JOAO)",
        "DesenhaTexto(1,4,A10,N,12345678901)",
    };
    EXPECT_EQ(chamadas, primeira);

    ASSERT_EQ(ProximaPagina(), 0);
    chamadas.clear();
    Interpreta(verso);
    EXPECT_EQ(chamadas, Chamadas{"DesenhaTexto(1,4,A10,N,)"});
    LiberaLista(frente);
    LiberaLista(verso);
}

TEST_F(Executor, StampsTheSectionLineAsRead) {
    // Digests of "ABC   ", "ABC", "", "007Z " and "  000", computed independently of the system.
    AbreDados(".secao 3\n7Z\n.secao 1\nABC   \nABC\n.fim\n");
    const Chamadas feitas = Executa({
        "CAPTURA 3 VALOR:1:1 LETRA:2:1",
        "MD5 1 1 A10 N 1",
        "MD5 1 2 A10 N 1",
        "MD5 1 3 A10 N 1",
        "MD5V 1 4 A10 N N3 VALOR X2 LETRA - VALOR -LONGO LETRA -- X - X",
        "MD5V 1 5 A10 N X2 NADA N3 NADA X0 VALOR N LETRA - X - X",
    });
    const Chamadas esperadas = {
        "DesenhaTexto(1,1,A10,N,3089.b2f3.664b.a872.37b7.ea0c.195a.81c3)",
        "DesenhaTexto(1,2,A10,N,902f.bdd2.b1df.0c4f.70b4.a5d2.3525.e932)",
        "DesenhaTexto(1,3,A10,N,d41d.8cd9.8f00.b204.e980.0998.ecf8.427e)",
        "DesenhaTexto(1,4,A10,N,732f.d989.cf75.e109.3608.2ef9.7e3b.c313)",
        // Variables never captured: two blanks and three zeros.
        "DesenhaTexto(1,5,A10,N,9441.b4a6.5c72.e2a6.1176.5c7c.4865.9731)",
    };
    EXPECT_EQ(feitas, esperadas);
}

TEST_F(Executor, FinalizaInterpReleasesTheJob) {
    AbreDados("linha\n");
    objsff = Monta({"TEXTO 1 1 A10 N X"});
    objsfv = Monta({"TEXTO 1 1 A10 N X"});
    objsvf = Monta({"INPUT 1 1 A10 N 0"});
    objsvv = Monta({"INPUT 1 1 A10 N 0"});
    args = Monta({"resto"});
    SetaVar("ABC", "NOME:1:3");
    EXPECT_EQ(TemObjsff() + TemObjsfv() + TemObjsvf() + TemObjsvv(), 4);

    FinalizaInterp();
    EXPECT_EQ(dad, nullptr);
    EXPECT_EQ(TemObjsff(), 0);
    EXPECT_EQ(TemObjsfv(), 0);
    EXPECT_EQ(TemObjsvf(), 0);
    EXPECT_EQ(TemObjsvv(), 0);
    EXPECT_EQ(args, nullptr);
    EXPECT_EQ(vars, nullptr);
    // A second end of job finds nothing left to release.
    FinalizaInterp();
    EXPECT_EQ(dad, nullptr);
}

TEST_F(Executor, EachEntryPointRunsItsOwnList) {
    objsff = Monta({"TEXTO 1 1 A10 N ff"});
    objsfv = Monta({"TEXTO 1 1 A10 N fv"});
    objsvf = Monta({"TEXTO 1 1 A10 N vf"});
    objsvv = Monta({"TEXTO 1 1 A10 N vv"});
    InterpretaFixFrente();
    InterpretaFixVerso();
    InterpretaVarFrente();
    InterpretaVarVerso();
    const Chamadas esperadas = {
        "DesenhaTexto(1,1,A10,N,ff)",
        "DesenhaTexto(1,1,A10,N,fv)",
        "DesenhaTexto(1,1,A10,N,vf)",
        "DesenhaTexto(1,1,A10,N,vv)",
    };
    EXPECT_EQ(chamadas, esperadas);
}

}  // namespace
