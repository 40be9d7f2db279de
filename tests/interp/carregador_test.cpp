#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "codificacao/codificacao.h"
#include "device/dispositivo.h"
#include "device/gravador.h"
#include "interp/dados.h"
#include "interp/estado.h"
#include "interp/interp.h"
#include "support/ferramentas.h"

namespace {

using Textos = std::vector<std::string>;

Textos ComoTextos(Lista* lista) {
    Textos textos;
    for (Lista* no = InicioLista(lista); no != nullptr; no = no->prox)
        textos.push_back(no->texto);
    return textos;
}

// Everything a load touches goes back to its value at program start.
void LimpaEstado() {
    ReiniciaLeitura();
    marcaini = marcafim = marca = 0;
    linha = 0;
    duplex = 0;
    papel = 'c';
    orientacao = 'p';
    alimentacao = 1;
    origx = origy = 0;
    xtop = ytop = 0.0f;
    tipo_verso = 0;
    chamadas.clear();
}

class Carregador : public ::testing::Test {
  protected:
    void SetUp() override { LimpaEstado(); }
    void TearDown() override { LimpaEstado(); }

    int Carrega(const std::string& formato, const char* dados = "") {
        EscreveArquivo("form.fmt", formato);
        msg = "(intocada)";
        return InicializaInterp("form.fmt", dados, msg);
    }

    DiretorioTemporario dir;
    std::string msg;
};

const std::string kLongo(600, 'X');
// A comment that fills a whole read, so that "LINHA" is read as a line of its own.
const std::string kComentarioCortado = "# " + std::string(509, 'c') + "LINHA\n";

TEST_F(Carregador, ErrosNomeiamALinhaSemContarBrancos) {
    struct Caso {
        std::string formato;
        std::string mensagem;
    };
    const Caso casos[] = {
        {"TEXTO 1 1 A10 N ok\n\nLINHA 1 1 2\n", "Numero de argumentos invalido - linha 2"},
        {"# comentario\n\n  \t\r\n\nDUPLEX X\n", "Numero de argumentos invalido - linha 2"},
        {"texto 1 1 A10 N x\n", "Comando desconhecido [texto] - linha 1"},
        {"\n\nVERSO\nDADOS form.fmt\nFOO\n", "Comando desconhecido [FOO] - linha 3"},
        {"LINHA 1 1 2\n", "Numero de argumentos invalido - linha 1"},
        {"LINHA 1 1 2 2 1 9\n", "Numero de argumentos invalido - linha 1"},
        {"IMAGEM 1 1 2 2\n", "Numero de argumentos invalido - linha 1"},
        {"IMAGEM 1 1 2 2 a.bmp 1 9\n", "Numero de argumentos invalido - linha 1"},
        {"TEXTO 1 1 A10 N\n", "Numero de argumentos invalido - linha 1"},
        {"TEXTO 1 1 A10 N a b\n", "Numero de argumentos invalido - linha 1"},
        {"RETANG 1 1 2 2 10\n", "Numero de argumentos invalido - linha 1"},
        {"RETANGA 1 1 2 2 1111 1 9\n", "Numero de argumentos invalido - linha 1"},
        {"INPUT 1 1 A10 N\n", "Numero de argumentos invalido - linha 1"},
        {"CODBAR 1 1 50 I25 1 9\n", "Numero de argumentos invalido - linha 1"},
        {"CODBAR2 1 1 50 I25\n", "Numero de argumentos invalido - linha 1"},
        {"CODMATRIZ 1 1 1 qrcode\n", "Numero de argumentos invalido - linha 1"},
        {"CODMATRIZ2 1 1 1 qrcode V 9\n", "Numero de argumentos invalido - linha 1"},
        // A matrix code names its type exactly, with its own line end in the message.
        {"CODMATRIZ 1 1 1 QRCODE 1\n", "Tipo de codigo invalido [QRCODE] - linha 1\n"},
        {"TEXTO 1 1 A10 N x\nCODMATRIZ2 1 1 1 pdf417 V\n",
         "Tipo de codigo invalido [pdf417] - linha 2\n"},
        {"IGNORA\n", "Numero de argumentos invalido - linha 1"},
        {"MOSTRA 1 1 A10 N V 9\n", "Numero de argumentos invalido - linha 1"},
        {"PAPEL\n", "Numero de argumentos invalido - linha 1"},
        {"ORIENTACAO RETRATO X\n", "Numero de argumentos invalido - linha 1"},
        {"ALIMENTACAO\n", "Numero de argumentos invalido - linha 1"},
        {"ROTACAO 90 1\n", "Numero de argumentos invalido - linha 1"},
        {"ROTACAO2\n", "Numero de argumentos invalido - linha 1"},
        {"SALTA_PAGINA 1\n", "Numero de argumentos invalido - linha 1"},
        {"ORIGEM 720\n", "Numero de argumentos invalido - linha 1"},
        // A block mark or a data file directive without its word.
        {"MARCA\n", "Numero de argumentos invalido - linha 1"},
        {"# x\nDADOS\n", "Numero de argumentos invalido - linha 2"},
        // The last line of a file without a line end keeps its last word.
        {"ROTACAO", "Numero de argumentos invalido - linha 1"},
        // Long lines: the message holds the whole first piece, and the rest of a long line
        // is a line of its own, counted as such.
        {kLongo + "\n", "Comando desconhecido [" + kLongo.substr(0, 511) + "] - linha 1"},
        {kComentarioCortado, "Numero de argumentos invalido - linha 2"},
        // Copies and inserter marks: a value named with its line, and what only the whole file
        // tells (VIAS may follow its VIA blocks).
        {"VIAS 0\n", "Valor invalido [0] - linha 1\n"},
        {"VIAS 10\n", "Valor invalido [10] - linha 1\n"},
        {"VIA 1\nVIA 3\nVIAS 2\n", "Valor invalido [3] - linha 2\n"},
        {"VIA 2\nTEXTO 1 1 A10 N x\n", "Valor invalido [2] - linha 1\n"},
        {"VIA\n", "Numero de argumentos invalido - linha 1"},
        {"CAPTURA 1 C:1:2\nOMR 1 1\n", "OMR sem GRUPO - linha 2\n"},
        {"CAPTURA 1 C:1:2\nGRUPO CLIENTE\n", "Variavel nao capturada [CLIENTE] - linha 2\n"},
        {"GRUPO C\nOMR 1 1 0.1 0.5 0.2\nCAPTURA 1 C:1:2\n", "Valor invalido [0.2] - linha 2\n"},
        {"OMR 1 1 0.1 0.5\n", "Numero de argumentos invalido - linha 1"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.formato);
        EXPECT_EQ(Carrega(caso.formato), -1);
        EXPECT_EQ(msg, caso.mensagem);
        EXPECT_EQ(args, nullptr);
        LimpaEstado();
    }
}

// The format file's own lines, every one counted, for a host that shows where an object or an
// error is: the messages count only the lines that hold words; a line cut at the read size is
// still one line.
TEST_F(Carregador, GuardaALinhaDoArquivo) {
    struct Caso {
        std::string formato;
        int linha_erro;          // of the line that stops the load
        std::vector<int> linhas;  // of the objects filed, when it loads
    };
    const Caso casos[] = {
        {"# nota\n\n\t\r\nTEXTO 1 1 A10 N x\n\nFOO\n", 6, {}},
        {kComentarioCortado + "TEXTO 1 1 A10 N x\n", 1, {}},
        {"\r\nTEXTO 1 1 A10 N x\r\n\r\nVERSO\nINPUT 1 1 A10 N 1\nLINHA 1 1 2 2\n", 0, {2, 5, 6}},
        {"TEXTO 1 1 A10 N x" + std::string(494, ' ') + "# resto\nLINHA 1 1 2 2\n", 0, {1, 2}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.formato);
        const int r = Carrega(caso.formato);
        EXPECT_EQ(r, caso.linha_erro == 0 ? 0 : -1) << msg;
        if (r != 0) {
            EXPECT_EQ(linha_arquivo, caso.linha_erro);
        }
        std::vector<int> linhas;
        for (Lista* lista : {objsff, objsvf, objsfv, objsvv})
            for (Lista* no = InicioLista(lista); no != nullptr; no = no->prox)
                linhas.push_back(no->linha);
        std::sort(linhas.begin(), linhas.end());
        EXPECT_EQ(linhas, caso.linhas);
        LimpaEstado();
    }
}

TEST_F(Carregador, ArquivosQueNaoAbrem) {
    struct Caso {
        const char* formato;
        const char* dados;
        std::string conteudo;
        std::string mensagem;
    };
    const Caso casos[] = {
        {"nao_ha.fmt", "", "", "Erro na abertura do arquivo [nao_ha.fmt] #2"},
        {"form.fmt", "nao_ha.dat", "TEXTO 1 1 A10 N x\n",
         "Erro na abertura do arquivo [nao_ha.dat] #2"},
        {"form.fmt", "", "TEXTO 1 1 A10 N x\nDADOS nao_ha.dat\n",
         "Erro na abertura do arquivo [nao_ha.dat] #2"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.mensagem);
        EscreveArquivo("form.fmt", caso.conteudo);
        EXPECT_EQ(InicializaInterp(caso.formato, caso.dados, msg), -1);
        EXPECT_EQ(msg, caso.mensagem);
        EXPECT_EQ(dad, nullptr);
        LimpaEstado();
    }
}

TEST_F(Carregador, ArquivaCadaLinhaNaSuaLista) {
    struct Caso {
        const char* nome;
        std::string formato;
        int ini, fim;  // MARCA range given by the driver
        Textos ff = {}, fv = {}, vf = {}, vv = {};
    };
    const Caso casos[] = {
        {"so comentarios e brancos", "# a\n\n   \n\t\r\n#TEXTO 1 1 A10 N x\n", 0, 0},
        {"vazio", "", 0, 0},
        {"fixos e variaveis da frente",
         "TEXTO 1 1 A10 N \"a b\"\r\nLINHA 1 1 2 2\nLINHA 1 1 2 2 3\nRETANG 1 1 2 2 10 1\n"
         "RETANGA 1 1 2 2 1111 1\nIMAGEM 1 1 2 2 a.bmp\nIMAGEM 1 1 2 2 a.bmp 1\nROTACAO 90\n"
         "DUPLEX\nINPUT 1 1 A10 N 1\nCODBAR 1 1 50 I25 1\nCODBAR2 1 1 50 I25 V\nIGNORA 1\n"
         "CODMATRIZ 1 1 1 qrcode-h 1\nCODMATRIZ2 1 1 1 datamatrix V\n"
         "CAPTURA\nCAPTURA 1 A:1:2 B:3:4 C:5:6\nMOSTRA 1 1 A10 N V\nROTACAO2 90\n"
         "SALTA_PAGINA\nMD5\nMD5V 1 2 3\n",
         0,
         0,
         {"TEXTO 1 1 A10 N \"a b\"\r\n", "LINHA 1 1 2 2\n", "LINHA 1 1 2 2 3\n",
          "RETANG 1 1 2 2 10 1\n", "RETANGA 1 1 2 2 1111 1\n", "IMAGEM 1 1 2 2 a.bmp\n",
          "IMAGEM 1 1 2 2 a.bmp 1\n", "ROTACAO 90\n", "DUPLEX\n"},
         {},
         {"INPUT 1 1 A10 N 1\n", "CODBAR 1 1 50 I25 1\n", "CODBAR2 1 1 50 I25 V\n", "IGNORA 1\n",
          "CODMATRIZ 1 1 1 qrcode-h 1\n", "CODMATRIZ2 1 1 1 datamatrix V\n", "CAPTURA\n",
          "CAPTURA 1 A:1:2 B:3:4 C:5:6\n", "MOSTRA 1 1 A10 N V\n", "ROTACAO2 90\n",
          "SALTA_PAGINA\n", "MD5\n", "MD5V 1 2 3\n"},
         {}},
        {"ajustes nao sao guardados",
         "PAPEL A4\nORIENTACAO PAISAGEM\nALIMENTACAO 2\nORIGEM 1 2\nDADOS x.dat\n", 0, 0},
        {"verso",
         "TEXTO 1 1 A10 N f\nINPUT 1 1 A10 N 1\nVERSO\nTEXTO 1 1 A10 N v\nINPUT 1 1 A10 N 2\n",
         0,
         0,
         {"TEXTO 1 1 A10 N f\n"},
         {"TEXTO 1 1 A10 N v\n"},
         {"INPUT 1 1 A10 N 1\n"},
         {"INPUT 1 1 A10 N 2\n"}},
        {"ultima linha sem fim de linha", "ROTACAO 90", 0, 0, {"ROTACAO 90"}},
        {"marca sem faixa",
         "MARCA 3\nTEXTO 1 1 A10 N a\n",
         0,
         0,
         {"MARCA 3\n", "TEXTO 1 1 A10 N a\n"}},
        {"marca com faixa 5 a 9",
         "MARCA 3\nTEXTO 1 1 A10 N tres\ndesconhecido\nLINHA\nMARCA 5\nTEXTO 1 1 A10 N cinco\n"
         "MARCA 10\nTEXTO 1 1 A10 N dez\nVERSO\nMARCA 9\nINPUT 1 1 A10 N 1\n",
         5,
         9,
         {"MARCA 5\n", "TEXTO 1 1 A10 N cinco\n"},
         {"MARCA 9\n"},
         {},
         {"INPUT 1 1 A10 N 1\n"}},
        {"marca so com inicio",
         "MARCA 4\nTEXTO 1 1 A10 N a\nMARCA 400\nTEXTO 1 1 A10 N b\n",
         5,
         0,
         {"MARCA 400\n", "TEXTO 1 1 A10 N b\n"}},
        {"marca so com fim",
         "MARCA 4\nTEXTO 1 1 A10 N a\nMARCA 400\nTEXTO 1 1 A10 N b\n",
         0,
         5,
         {"MARCA 4\n", "TEXTO 1 1 A10 N a\n"}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nome);
        marcaini = caso.ini;
        marcafim = caso.fim;
        ASSERT_EQ(Carrega(caso.formato, "form.fmt"), 0) << msg;
        EXPECT_EQ(ComoTextos(objsff), caso.ff);
        EXPECT_EQ(ComoTextos(objsfv), caso.fv);
        EXPECT_EQ(ComoTextos(objsvf), caso.vf);
        EXPECT_EQ(ComoTextos(objsvv), caso.vv);
        EXPECT_EQ(args, nullptr);
        LimpaEstado();
    }
}

// Whether a page of the loaded format can give a variable a value: a CAPTURA item of its name,
// front or back, in a block the batch keeps.
TEST_F(Carregador, VariaveisCapturadas) {
    struct Caso {
        std::string formato;
        int ini, fim;  // MARCA range given by the driver
        const char* nome;
        bool capturada;
    };
    const std::string verso = "VERSO\nCAPTURA 1 A:1:2 \"NOME:3:4\"\n";
    const Caso casos[] = {
        {"CAPTURA 0 NOME:1:30\n", 0, 0, "NOME", true},
        {verso, 0, 0, "NOME", true},
        {"CAPTURA 0 NOME:1:30\n", 0, 0, "nome", false},
        {"CAPTURA 0 NOMES:1:30 NOM:1:2\n", 0, 0, "NOME", false},
        // The section is no item, and neither is any other command's word.
        {"CAPTURA NOME\nMOSTRA 1 1 A10 N NOME\nCODBAR2 1 1 50 I25 NOME\n", 0, 0, "NOME", false},
        {"MARCA 1\nCAPTURA 0 NOME:1:30\nMARCA 2\nTEXTO 1 1 A10 N x\n", 2, 2, "NOME", false},
        {"MARCA 1\nCAPTURA 0 NOME:1:30\nMARCA 2\nTEXTO 1 1 A10 N x\n", 1, 1, "NOME", true},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.formato + " " + caso.nome);
        marcaini = caso.ini;
        marcafim = caso.fim;
        ASSERT_EQ(Carrega(caso.formato, "form.fmt"), 0) << msg;
        EXPECT_EQ(CapturaVariavel(caso.nome), caso.capturada);
        FinalizaInterp();
        LimpaEstado();
    }
}

TEST_F(Carregador, AjustesDePagina) {
    struct Caso {
        std::string formato;
        char papel;
        char orientacao;
        int alimentacao;
        int origx, origy;
        float xtop, ytop;
        unsigned char duplex;
        char tipo_verso;
        Textos chamadas;
    };
    const Caso casos[] = {
        {"PAPEL LEGAL\n", 'c', 'p', 1, 0, 0, 0.0f, 0.0f, 0, 0, {"TamanhoPapel(LEGAL)"}},
        {"PAPEL A4\n", '4', 'p', 1, 0, 0, 0.0f, 0.0f, 0, 0, {"TamanhoPapel(A4)"}},
        {"PAPEL A4\nPAPEL CARTA\n",
         'c',
         'p',
         1,
         0,
         0,
         0.0f,
         0.0f,
         0,
         0,
         {"TamanhoPapel(A4)", "TamanhoPapel(CARTA)"}},
        {"ORIENTACAO PAISAGEM\n", 'c', 'l', 1, 0, 0, 0.0f, 0.0f, 0, 0, {}},
        {"ORIENTACAO PAISAGEM\nORIENTACAO DEITADO\n", 'c', 'l', 1, 0, 0, 0.0f, 0.0f, 0, 0, {}},
        {"ALIMENTACAO 3\n", 'c', 'p', 3, 0, 0, 0.0f, 0.0f, 0, 0, {}},
        {"ALIMENTACAO bandeja\n", 'c', 'p', 0, 0, 0, 0.0f, 0.0f, 0, 0, {}},
        {"ORIGEM 720 360\n", 'c', 'p', 1, 720, 360, 1.0f, 0.5f, 0, 0, {}},
        {"ORIGEM 36 0\n", 'c', 'p', 1, 36, 0, 0.05f, 0.0f, 0, 0, {}},
        {"ORIGEM -36 x\n", 'c', 'p', 1, -36, 0, -0.05f, 0.0f, 0, 0, {}},
        {"DUPLEX\n", 'c', 'p', 1, 0, 0, 0.0f, 0.0f, 1, 0, {}},
        {"VERSO\n", 'c', 'p', 1, 0, 0, 0.0f, 0.0f, 0, 'i', {}},
        {"VERSO NORMAL\n", 'c', 'p', 1, 0, 0, 0.0f, 0.0f, 0, 'n', {}},
        {"VERSO normal\n", 'c', 'p', 1, 0, 0, 0.0f, 0.0f, 0, 'i', {}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.formato);
        ASSERT_EQ(Carrega(caso.formato), 0) << msg;
        EXPECT_EQ(papel, caso.papel);
        EXPECT_EQ(orientacao, caso.orientacao);
        EXPECT_EQ(alimentacao, caso.alimentacao);
        EXPECT_EQ(origx, caso.origx);
        EXPECT_EQ(origy, caso.origy);
        EXPECT_EQ(xtop, caso.xtop);
        EXPECT_EQ(ytop, caso.ytop);
        EXPECT_EQ(duplex, caso.duplex);
        EXPECT_EQ(tipo_verso, caso.tipo_verso);
        EXPECT_EQ(chamadas, caso.chamadas);
        LimpaEstado();
    }
}

// What each load resets, and what carries over from the previous batch.
TEST_F(Carregador, OQueCadaCargaZeraEOQueMantem) {
    ASSERT_EQ(
        Carrega("DUPLEX\nCODIFICACAO UTF-8\nPAPEL A4\nORIGEM 720 720\nVERSO NORMAL\nMARCA 3\n"), 0);
    objsff = LiberaLista(objsff);
    objsfv = LiberaLista(objsfv);
    pag = 99;
    fimpag = fimarq = 1;
    marcaini = 5;  // the next batch's range: lines before its first MARCA still count as block 3
    marcafim = 9;
    ASSERT_EQ(Carrega("# nada\nTEXTO 1 1 A10 N x\nMARCA 5\nTEXTO 1 1 A10 N y\n"), 0) << msg;
    EXPECT_EQ(duplex, 0);
    EXPECT_EQ(codificacao, Codificacao::nenhuma);
    EXPECT_EQ(papel, '4');
    EXPECT_EQ(origx, 720);
    EXPECT_EQ(xtop, 1.0f);
    EXPECT_EQ(tipo_verso, 'n');
    EXPECT_EQ(marca, 5);
    EXPECT_EQ(linha, 5);
    EXPECT_EQ(pag, 0);
    EXPECT_EQ(fimpag, 0);
    EXPECT_EQ(fimarq, 0);
    EXPECT_EQ(ComoTextos(objsff), (Textos{"MARCA 5\n", "TEXTO 1 1 A10 N y\n"}));
}

// CODIFICACAO acts at load time, files nothing, and is skipped with the other lines of a block
// that the batch does not print.
TEST_F(Carregador, CodificacaoDeclarada) {
    struct Caso {
        int marcaini;
        std::string formato;
        Codificacao esperada;
    };
    const Caso casos[] = {
        {0, "CODIFICACAO UTF-8\n", Codificacao::utf8},
        {0, "CODIFICACAO LATIN1\n", Codificacao::latin1},
        {5, "MARCA 3\nCODIFICACAO utf8\n", Codificacao::nenhuma},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.formato);
        marcaini = caso.marcaini;
        ASSERT_EQ(Carrega(caso.formato), 0) << msg;
        EXPECT_EQ(codificacao, caso.esperada);
        EXPECT_EQ(objsff, nullptr);
        EXPECT_EQ(objsvf, nullptr);
        LimpaEstado();
    }
}

TEST_F(Carregador, AbreEMedeOArquivoDeDados) {
    EscreveArquivo("dez.dat", "0123456789");
    EscreveArquivo("dois.dat", "A\n");
    struct Caso {
        const char* nome;
        std::string formato;
        const char* dados;
        long tamarq;
    };
    const Caso casos[] = {
        {"dado pelo chamador", "TEXTO 1 1 A10 N x\n", "dez.dat", 10},
        {"DADOS ignorado com nome dado", "DADOS dois.dat\n", "dez.dat", 10},
        {"DADOS sem nome dado", "DADOS dez.dat\n", "", 10},
        {"o ultimo DADOS vale", "DADOS dez.dat\nDADOS dois.dat\n", "", 2},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nome);
        ASSERT_EQ(Carrega(caso.formato, caso.dados), 0) << msg;
        ASSERT_NE(dad, nullptr);
        EXPECT_EQ(tamarq, caso.tamarq);
        EXPECT_EQ(std::ftell(dad), 0);
        LimpaEstado();
    }
    // Without any data file the reader has none.
    ASSERT_EQ(Carrega("TEXTO 1 1 A10 N x\n"), 0);
    EXPECT_EQ(dad, nullptr);
}

// Each object of a VIA block is filed with its copy, and the block's ALIMENTACAO is that copy's
// tray; the back side begins again with the objects of every copy.
TEST_F(Carregador, BlocosDeViaEBandejas) {
    ASSERT_EQ(Carrega("ALIMENTACAO 3\nTEXTO 1 1 A10 N todas\nVIA 2\nALIMENTACAO 5\n"
                      "TEXTO 1 1 A10 N segunda\nINPUT 1 1 A10 N 1\nVIAS 3\nVIA 3\n"
                      "TEXTO 1 1 A10 N terceira\nVERSO\nTEXTO 1 1 A10 N verso\n"),
              0)
        << msg;
    auto vias_da = [](Lista* lista) {
        std::vector<int> r;
        for (Lista* no = InicioLista(lista); no != nullptr; no = no->prox)
            r.push_back(ViaDoObjeto(no));
        return r;
    };
    EXPECT_EQ(vias, 3);
    EXPECT_EQ(vias_da(objsff), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(vias_da(objsvf), (std::vector<int>{2}));
    EXPECT_EQ(vias_da(objsfv), (std::vector<int>{0}));
    EXPECT_EQ(alimentacao, 3);
    EXPECT_FALSE(alimentacao_via[1].has_value());
    EXPECT_EQ(alimentacao_via[2], 5);
    EXPECT_FALSE(alimentacao_via[3].has_value());
}

TEST_F(Carregador, VariavelCapturada) {
    struct Caso {
        std::string formato;
        int marcaini;
        const char* nome;
        bool capturada;
    };
    const Caso casos[] = {
        {"CAPTURA 1 A:1:2 B:3:4\n", 0, "B", true},
        {"VERSO\nCAPTURA 0 A:1:2\n", 0, "A", true},
        {"CAPTURA 1 AB:1:2\nMOSTRA 1 1 A10 N A\n", 0, "A", false},
        // A line of a block the batch skips captures nothing.
        {"MARCA 1\nCAPTURA 1 A:1:2\nMARCA 5\n", 5, "A", false},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.formato);
        marcaini = c.marcaini;
        ASSERT_EQ(Carrega(c.formato), 0) << msg;
        EXPECT_EQ(CapturaVariavel(c.nome), c.capturada);
        LimpaEstado();
    }
}

TEST_F(Carregador, BinarioNoFormatoEUmComandoDesconhecido) {
    const std::string zeros(511, '\0');
    EXPECT_EQ(Carrega(zeros + zeros), -1);
    EXPECT_EQ(msg, "Comando desconhecido [" + zeros + "] - linha 1");
}

TEST(SeparaArgs, PalavrasEAspas) {
    struct Caso {
        std::string linha;
        Textos palavras;
    };
    const Caso casos[] = {
        {"TEXTO 1 2 A10 N \"ab  cd\"\n", {"TEXTO", "1", "2", "A10", "N", "ab  cd"}},
        {"A \"\" B\n", {"A", "", "B"}},
        {"A \"x\ty\" \n", {"A", "x", "y\""}},  // a tab ends a quoted word
        {"A \"x\ry\n", {"A", "x", "y"}},
        {"  A\tB\r\n", {"A", "B"}},
        {"\"A b\" c\n", {"\"A", "b\"", "c"}},  // the keyword is never quoted
        {"A \"b\"c\n", {"A", "b", "c"}},
        {"A \"b \" c\n", {"A", "b ", "c"}},
        {"A B", {"A", "B"}},  // the last word needs no separator
        {"A \"ultima", {"A", "ultima"}},
        {"A \"", {"A"}},
        {"A \"\n", {"A", ""}},
        {"", {}},
        {" \t\r\n", {}},
        {std::string("A\0B C\n", 6), {std::string("A\0B", 3), "C"}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.linha);
        args = LiberaLista(args);
        SeparaArgs(caso.linha);
        EXPECT_EQ(ComoTextos(args), caso.palavras);
        args = LiberaLista(args);
    }
}

TEST(NumArgs, ContaAPalavraChave) {
    linha = 7;
    Lista* lista = IncluiLista(IncluiLista(nullptr, "IGNORA"), "1");
    std::string msg = "(intocada)";
    EXPECT_EQ(NumArgs(lista, 2, msg), 0);
    EXPECT_EQ(msg, "(intocada)");
    EXPECT_EQ(NumArgs(lista, 3, msg), -1);
    EXPECT_EQ(msg, "Numero de argumentos invalido - linha 7");
    EXPECT_EQ(NumArgs(nullptr, 0, msg), 0);
    LiberaLista(lista);
    linha = 0;
}

}  // namespace
