// Hostile input to the programs: garbage reports and formats, missing and unusable files,
// outputs that cannot be written. Each run must end with its message and status, or with the
// defined job, and leave nothing behind (see hostil.h).
#include "driver/hostil.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "interp/interp.h"
#include "support/png.h"

namespace {

namespace fs = std::filesystem;

// Bytes of every value, the same on every run.
std::string Binario(std::size_t tamanho) {
    std::string r;
    std::uint32_t estado = 12345;
    for (std::size_t i = 0; i < tamanho; ++i) {
        estado = estado * 1103515245u + 12345u;
        r.push_back(static_cast<char>(estado >> 24));
    }
    return r;
}

// A form that reads every kind of content from the report, on both sides of the sheet.
const std::string kFormatoGeral =
    "TEXTO 1 1 A10 N \"Fixo\"\n"
    "RETANG 1 2 3 1 10 2\n"
    "INPUT 1 3 A10 N 0\n"
    "INPUT C 4 C12 NI 1\n"
    "CAPTURA 0 V:1:10 W:5:3\n"
    "MOSTRA 1 5 A10 N V\n"
    "MD5 1 6 C10 N 0\n"
    "MD5V 1 7 C10 N X10 V N5 W - V - V - V - V\n"
    "VERSO\n"
    "TEXTO 1 1 A10 N \"Verso\"\n"
    "INPUT 1 2 A10 N 0\n";

enum class Compara { exato, inicio_e_fim };

struct Caso {
    const char* nome;
    std::string relatorio;  // r.txt
    std::string formato;    // f.fmt
    std::vector<std::string> argumentos;
    int status;
    std::string erro;  // standard error; with inicio_e_fim, its start and end around a '|'
    Compara compara = Compara::exato;
};

void ConfereErro(const std::string& erro, const Caso& caso) {
    if (caso.compara == Compara::exato) {
        EXPECT_EQ(erro, caso.erro);
        return;
    }
    const std::size_t barra = caso.erro.find('|');
    const std::string inicio = caso.erro.substr(0, barra), fim = caso.erro.substr(barra + 1);
    ASSERT_GE(erro.size(), inicio.size() + fim.size()) << erro;
    EXPECT_EQ(erro.substr(0, inicio.size()), inicio);
    EXPECT_EQ(erro.substr(erro.size() - fim.size()), fim);
}

const std::vector<std::string> kPadrao = {"r.txt", "f.fmt"};
// Two batches of two pages each.
const std::string kDoisLotes = "APA00QTD00\nA\n\fB\nAPA00QTD00\nC\n\fD\n";

TEST_F(Hostil, EntradasArquivosESaidas) {
    // 100,000 object lines load and print; `make bench` times the load against a tenth of it.
    const std::string cem_mil = Repete("TEXTO 1 1 A10 N x\n", 40000) +
                                Repete("LINHA 1 1 2 1\n", 20000) + Repete("# nota\n", 20000) +
                                Repete("INPUT 1 1 A10 N 1\n", 20000);
    std::string palavras;  // lines of 255 words each
    for (int i = 0; i < 254; ++i)
        palavras += " a";
    const std::string muitas_palavras = Repete("#" + palavras + "\n", 4000);
    const std::string secao = ".secao 1\nABC\n.fim\n";

    const Caso casos[] = {
        {"relatorio binario", Binario(8000), kFormatoGeral, kPadrao, 0, ""},
        {"relatorio binario pela entrada", "", kFormatoGeral, {"-", "f.fmt"}, 0, ""},
        {"codigos de impressora no relatorio",
         "\x1b"
         "E\x1b&l1O\x1b*b9W\x1b\n:\x1b%1B\n",
         kFormatoGeral + "TEXTO 1 9 A10 N \x1b&f20y8X\n", kPadrao, 0, ""},
        {"uma linha de 10 MB", std::string(10000000, 'x') + "\n", kFormatoGeral, kPadrao, 0, ""},
        {"so saltos de pagina", std::string(20000, '\f'), kFormatoGeral, kPadrao, 0, ""},
        {"saltos e linhas em branco", Repete("\f\r\n \n\f", 3000), kFormatoGeral, kPadrao, 0, ""},
        {"relatorio vazio", "", kFormatoGeral, kPadrao, 0, ""},
        {"formato de bytes NUL", "A\n", std::string(100000, '\0'), kPadrao, 255,
         "Comando desconhecido [|] - linha 1", Compara::inicio_e_fim},
        {"formato de 100.000 linhas", secao, cem_mil, kPadrao, 0, ""},
        {"formato de linhas de 255 palavras", secao, muitas_palavras, kPadrao, 0, ""},
        {"formato vazio", "A\n", "", kPadrao, 0, ""},
        // Quoted words without their closing quote end at the line end.
        {"aspas sem fim no ultimo argumento", "A\n", "TEXTO 1 1 A10 N \"sem fim\n", kPadrao, 0, ""},
        {"aspas sem fim sem fim de linha", "A\n", "TEXTO 1 1 A10 N \"sem fim", kPadrao, 0, ""},
        {"aspas sem fim engolem argumentos", "A\n", "TEXTO 1 1 A10 \"N sem fim\n", kPadrao, 255,
         "Numero de argumentos invalido - linha 1"},
        {"aspas abertas no fim da linha", "A\n", "TEXTO 1 1 A10 N \"\n", kPadrao, 0, ""},
        {"tabulacao dentro de aspas", "A\n", "TEXTO 1 1 A10 N \"a\tb\"\n", kPadrao, 255,
         "Numero de argumentos invalido - linha 1"},
        {"aspas na palavra de comando", "A\n", "\"TEXTO\" 1 1 A10 N x\n", kPadrao, 255,
         "Comando desconhecido [\"TEXTO\"] - linha 1"},
        {"captura com aspas sem fim", "ABCDEF\n", "CAPTURA 0 \"V:1:3\nMOSTRA 1 1 A10 N V\n",
         kPadrao, 0, ""},
        {"MD5V com aspas sem fim", "A\n",
         "MD5V 1 1 A10 N \"N5 V X5 V - V - V - V - V\nTEXTO 1 1 A10 N x\n", kPadrao, 0, ""},
        // MARCA blocks and batch headers.
        {"faixa que nao seleciona nada", "APA05QTD00\nA\n",
         "MARCA 5\nTEXTO 1 1 A10 N x\nMARCA 4\nDESCONHECIDO\n", kPadrao, 0, ""},
        {"faixa negativa", "APA-1QTD-1\nA\n",
         "MARCA -1\nDESCONHECIDO\nMARCA -3\nTEXTO 1 1 A10 N x\n", kPadrao, 0, ""},
        {"blocos de numeros absurdos", "APA99QTD99\nA\n",
         "MARCA 99999999999\nDESCONHECIDO\nMARCA -2147483648\nDESCONHECIDO\nMARCA abc\n"
         "DESCONHECIDO\nMARCA \"\"\nDESCONHECIDO\nMARCA 150\nTEXTO 1 1 A10 N x\n",
         kPadrao, 0, ""},
        {"cabecalho sem numeros", "APA  QTD  \nA\nAPAxxQTDyy\nB\n", "MARCA 7\nTEXTO 1 1 A10 N x\n",
         kPadrao, 0, ""},
        {"MARCA sem numero", "A\n", "TEXTO 1 1 A10 N x\nMARCA\n", kPadrao, 255,
         "Numero de argumentos invalido - linha 2"},
        // Files that are missing, or are directories.
        {"relatorio inexistente",
         "",
         "",
         {"nao.txt", "f.fmt"},
         255,
         "Erro na abertura do arquivo [nao.txt]\n"},
        {"formato inexistente",
         "A\n",
         "",
         {"r.txt", "nao.fmt"},
         255,
         "Erro na abertura do arquivo [nao.fmt] #2"},
        {"quatro formatos inexistentes",
         "A\n",
         "",
         {"r.txt", "n1", "n2", "n3", "n4"},
         255,
         "Erro na abertura do arquivo [n1] #2"},
        {"relatorio que e uma pasta",
         "",
         "",
         {"pasta", "f.fmt"},
         255,
         "Erro na abertura do arquivo [pasta]\n"},
        {"formato que e uma pasta",
         "A\n",
         "",
         {"r.txt", "pasta"},
         255,
         "Erro na abertura do arquivo [pasta] #21"},
        {"nomes vazios", "", "", {"", ""}, 255, "Erro na abertura do arquivo []\n"},
        {"nome de formato enorme",
         "A\n",
         "",
         {"r.txt", std::string(5000, 'f')},
         255,
         "Erro na abertura do arquivo [" + std::string(5000, 'f') + "] #36"},
        // The report is the data file of the run: a DADOS line has nothing to name.
        {"DADOS inexistente", "A\n", "DADOS nao.dad\nINPUT 1 1 A10 N 0\n", kPadrao, 0, ""},
        {"DADOS que e uma pasta", "A\n", "DADOS pasta\nINPUT 1 1 A10 N 0\n", kPadrao, 0, ""},
        // An image that cannot be used is named once a run, however many pages and batches
        // draw it; the rest of the job prints.
        {"IMAGEM inexistente", kDoisLotes, "IMAGEM 1 1 1 1 nao.bmp\nIMAGEM 2 1 1 1 nao.bmp 1\n",
         kPadrao, 0, "Erro na abertura do arquivo [nao.bmp]\n"},
        {"IMAGEM que e uma pasta", kDoisLotes, "IMAGEM 1 1 1 1 pasta 1\n", kPadrao, 0,
         "Erro na abertura do arquivo [pasta]\n"},
        {"IMAGEM de um dispositivo", "A\n", "IMAGEM 1 1 1 1 /dev/zero\n", kPadrao, 0,
         "Erro na abertura do arquivo [/dev/zero]\n"},
        {"IMAGEM de uma fila sem escritor", "A\n", "IMAGEM 1 1 1 1 fila\n", kPadrao, 0,
         "Erro na abertura do arquivo [fila]\n"},
        {"duas IMAGEM que faltam", "A\n\fB\n", "IMAGEM 1 1 1 1 a.bmp\nIMAGEM 1 3 1 1 b.bmp\n",
         kPadrao, 0, "Erro na abertura do arquivo [a.bmp]\nErro na abertura do arquivo [b.bmp]\n"},
        // PNG files (written below): the damaged ones and the too large are named once a run;
        // the unusual ones print.
        {"PNG truncado", kDoisLotes, "IMAGEM 1 1 1 1 truncado.png\nTEXTO 1 3 A10 N x\n", kPadrao, 0,
         "Erro na abertura do arquivo [truncado.png]\n"},
        {"PNG com CRC errado", kDoisLotes, "IMAGEM 1 1 1 1 crc.png\n", kPadrao, 0,
         "Erro na abertura do arquivo [crc.png]\n"},
        {"PNG de 50.000 x 1", "A\n", "IMAGEM 1 1 1 1 largo.png\n", kPadrao, 0,
         "Erro na abertura do arquivo [largo.png]\n"},
        {"PNG de 16 bits com alfa", kDoisLotes, "IMAGEM 1 1 1 1 16bits.png\n", kPadrao, 0, ""},
        {"PNG entrelacado", "A\n", "IMAGEM 1 1 2 1 entrelacado.png\n", kPadrao, 0, ""},
        {"PNG chamado .bmp", "A\n", "IMAGEM 1 1 0 0 png.bmp 1\n", kPadrao, 0, ""},
        {"PNG de tamanho absurdo", "A\n", "IMAGEM 1 1 1e30 -1 png.bmp\nIMAGEM 1 1 0 1e30 png.bmp\n",
         kPadrao, 0, ""},
        {"formato sem fim",
         "A\n",
         "",
         {"r.txt", "/dev/zero"},
         255,
         "Comando desconhecido [|] - linha 1",
         Compara::inicio_e_fim},
        // Outputs that cannot be written.
        {"saida em pasta inexistente",
         "A\n",
         "",
         {"r.txt", "f.fmt", "sem/pasta/job"},
         255,
         "Erro na abertura do arquivo [sem/pasta/job]\n"},
        {"saida num disco cheio",
         "A\n",
         kFormatoGeral,
         {"r.txt", "f.fmt", "/dev/full"},
         255,
         "Erro na gravacao do arquivo [/dev/full]\n"},
        {"saida sobre o relatorio",
         "A\n",
         kFormatoGeral,
         {"r.txt", "f.fmt", "r.txt"},
         255,
         "Erro na abertura do arquivo [r.txt]\n"},
        {"saida sobre o formato",
         "A\n",
         kFormatoGeral,
         {"r.txt", "f.fmt", "./f.fmt"},
         255,
         "Erro na abertura do arquivo [./f.fmt]\n"},
        {"saida que e uma pasta",
         "A\n",
         "",
         {"r.txt", "f.fmt", "pasta"},
         255,
         "Erro na abertura do arquivo [pasta]\n"},
    };
    fs::create_directory("pasta");
    ASSERT_EQ(mkfifo("fila", 0600), 0);
    const std::string png = PngRGBA(40, 20, [](int x, int y) -> Rgba {
        return {255, 0, 0, static_cast<unsigned char>(x + y < 20 ? 0 : 255)};
    });
    EscreveArquivo("truncado.png", png.substr(0, png.size() / 2));
    EscreveArquivo("crc.png", ComCRCErrado(png));
    EscreveArquivo("png.bmp", png);
    Png largo, fundo;
    largo.largura = 50000;
    largo.tipo = 0;
    largo.amostras.assign(50000, 0);
    EscreveArquivo("largo.png", FazPNG(largo));
    fundo.largura = 30;
    fundo.altura = 30;
    fundo.bits = 16;
    fundo.amostras.assign(30 * 30 * 8, 0x80);
    EscreveArquivo("16bits.png", FazPNG(fundo));
    fundo.bits = 8;
    fundo.entrelacado = true;
    fundo.amostras.resize(30 * 30 * 4);
    EscreveArquivo("entrelacado.png", FazPNG(fundo));
    for (const auto& programa : kTodosProgramas) {
        for (const auto& caso : casos) {
            SCOPED_TRACE(NomePrograma(programa) + ": " + caso.nome);
            EscreveArquivo("r.txt", caso.relatorio);
            EscreveArquivo("f.fmt", caso.formato);
            const std::string entrada = caso.argumentos[0] == "-" ? Binario(8000) : "";
            Resultado r = Roda(programa, caso.argumentos, entrada);
            EXPECT_EQ(r.status, caso.status);
            ConfereErro(r.erro, caso);
            // Nothing lost: the run never changes its report or its format.
            EXPECT_TRUE(LeArquivo("r.txt") == caso.relatorio);
            EXPECT_TRUE(LeArquivo("f.fmt") == caso.formato);
            if (caso.status != 0) {
                EXPECT_EQ(r.saida, "");
            }
        }
    }
}

// Runs the program with its standard output on the given descriptor; standard error and the
// exit status come back.
Resultado ExecutaComSaida(const std::string& programa, const std::vector<std::string>& argumentos,
                          int fd_saida) {
    int erro[2];
    if (pipe(erro) != 0) throw std::runtime_error("pipe");
    const pid_t pid = fork();
    if (pid == 0) {
        if (fd_saida >= 0)
            dup2(fd_saida, 1);
        else
            close(1);
        dup2(erro[1], 2);
        close(erro[0]);
        close(erro[1]);
        ExecutaNoFilho(programa, argumentos);
    }
    close(erro[1]);
    Resultado r;
    char bloco[4096];
    for (ssize_t n; (n = read(erro[0], bloco, sizeof bloco)) > 0;)
        r.erro.append(bloco, static_cast<std::size_t>(n));
    close(erro[0]);
    int estado = 0;
    waitpid(pid, &estado, 0);
    r.status = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
    return r;
}

enum class Destino { disco_cheio, tubo_fechado, fechada };

struct CasoGravacao {
    const char* nome;
    Destino destino;
    std::vector<std::string> argumentos;
    std::string erro;
};

// A job that does not reach its destination ends with a message and status 255, and its data
// file is gone; the trace likewise.
TEST_F(Hostil, FalhasDeGravacao) {
    EscreveArquivo("r.txt", "A\n\fB\n");
    EscreveArquivo("f.fmt", kFormatoGeral);
    const CasoGravacao casos[] = {
        {"saida padrao num disco cheio", Destino::disco_cheio, kPadrao,
         "Erro na gravacao do arquivo [stdout]\n"},
        {"saida padrao num tubo fechado", Destino::tubo_fechado, kPadrao,
         "Erro na gravacao do arquivo [stdout]\n"},
        {"saida padrao fechada", Destino::fechada, kPadrao,
         "Erro na gravacao do arquivo [stdout]\n"},
        {"arquivo de saida e tubo fechado",
         Destino::tubo_fechado,
         {"r.txt", "f.fmt", "/dev/full"},
         "Erro na gravacao do arquivo [/dev/full]\n"},
    };
    // The reader of a closed pipe is gone before the run starts; the test itself must not die
    // of it either.
    std::signal(SIGPIPE, SIG_IGN);
    for (const auto& programa : kTodosProgramas) {
        for (const auto& caso : casos) {
            SCOPED_TRACE(NomePrograma(programa) + ": " + caso.nome);
            // The descriptor the program gets as its standard output; -1: none at all.
            int fd = -1;
            if (caso.destino == Destino::disco_cheio) {
                fd = open("/dev/full", O_WRONLY);
                ASSERT_GE(fd, 0);
            } else if (caso.destino == Destino::tubo_fechado) {
                int tubo[2];
                ASSERT_EQ(pipe(tubo), 0);
                close(tubo[0]);
                fd = tubo[1];
            }
            Resultado r = ExecutaComSaida(programa, caso.argumentos, fd);
            if (fd >= 0) close(fd);
            // The job went nowhere else either: the trace holds only trace lines.
            const std::string rastro = LeArquivo("vodrel.dbg");
            EXPECT_EQ(rastro.find('\x1b'), std::string::npos);
            EXPECT_EQ(rastro.find("showpage"), std::string::npos);
            VerificaFim(r);
            EXPECT_EQ(r.status, 255);
            EXPECT_EQ(r.erro, caso.erro);
        }
    }
}

// A run ended by a signal, at the point where it waits for the rest of its report (the test
// holds its standard input open), leaves none of its files: no copy of the report in TMPDIR, no
// draft of a document or a customer's file, no index; the files it finished stay. It ends as the
// signal ends it, as a shell sees it (128 and the signal).
TEST_F(Hostil, SinalNoMeioDaExecucao) {
    struct Caso {
        const std::string& programa;
        std::vector<std::string> argumentos;
        int sinal;
        // A file the run must have made before the signal (a name, or the start of a draft's
        // name in the working directory); empty: none.
        std::string espera;
        std::set<std::string> saida;  // what the folder "saida" holds at the end; empty: none
    };
    const Caso casos[] = {
        {kMorvex, {"-", "f.fmt", "job.pcl"}, SIGTERM, "", {}},
        {kMorvel, {"-", "f.fmt", "job.ps"}, SIGINT, "", {}},
        {kMorvpdf, {"-", "f.fmt", "doc.pdf"}, SIGHUP, ".doc.pdf.", {}},
        {kMorvpdf, {"-d", "saida", "-n", "V", "-", "f.fmt"}, SIGTERM, "saida/A.pdf", {"A.pdf"}},
    };
    const auto existe = [](const std::string& nome) {
        if (nome.empty() || ExisteArquivo(nome)) return true;
        for (const std::string& n : Conteudo("."))
            if (n.rfind(nome, 0) == 0) return true;
        return false;
    };
    EscreveArquivo("f.fmt", "CAPTURA 1 V:1:10\nMOSTRA 1 1 A10 N V\n");
    const std::set<std::string> antes = Conteudo(".");
    for (const Caso& caso : casos) {
        SCOPED_TRACE(NomePrograma(caso.programa) + " " + strsignal(caso.sinal));
        ExecucaoAberta execucao(caso.programa, caso.argumentos);
        // Two customers in the first batch; the second batch waits for the end of the report.
        execucao.Escreve("APA00QTD00\n.secao 1\nA\n.fim\n\f.secao 1\nB\n.fim\nAPA00QTD00\nC\n");
        const std::string tmpdir = temporarios_.caminho();
        const bool pronto =
            Espera([&] { return !Conteudo(tmpdir).empty() && existe(caso.espera); });
        ASSERT_TRUE(pronto);
        execucao.Sinaliza(caso.sinal);
        const Resultado r = execucao.Termina();
        EXPECT_EQ(r.sinal, caso.sinal) << r.status << " " << r.erro;
        EXPECT_EQ(Conteudo(tmpdir), std::set<std::string>{});
        std::set<std::string> depois = Conteudo(".");
        for (const char* nome : {"vodrel.dbg", "job.pcl", "job.ps"})
            depois.erase(nome);
        const std::set<std::string> na_pasta = Conteudo("saida");
        if (!caso.saida.empty()) depois.erase("saida");
        EXPECT_EQ(depois, antes);
        EXPECT_EQ(na_pasta, caso.saida);
        std::filesystem::remove_all("saida");
    }
}

TEST_F(Hostil, RastroQueNaoPodeSerGravado) {
    EscreveArquivo("r.txt", "A\n");
    EscreveArquivo("f.fmt", kFormatoGeral);
    fs::create_symlink("/dev/full", "vodrel.dbg");
    for (const auto& programa : kTodosProgramas) {
        SCOPED_TRACE(NomePrograma(programa));
        Resultado r = Roda(programa, kPadrao);
        EXPECT_EQ(r.status, 255);
        EXPECT_EQ(r.erro, "Erro na gravacao do arquivo [vodrel.dbg]\n");
    }
}

// The working directory was removed under the run: the trace cannot be made there.
TEST_F(Hostil, DiretorioDeTrabalhoApagado) {
    const std::string base = dir_.caminho();
    EscreveArquivo("r.txt", "A\n");
    EscreveArquivo("f.fmt", kFormatoGeral);
    for (const auto& programa : kProgramas) {
        SCOPED_TRACE(NomePrograma(programa));
        fs::create_directory(base + "/apagado");
        fs::current_path(base + "/apagado");
        fs::remove(base + "/apagado");
        Resultado r = Executa(programa, {base + "/r.txt", base + "/f.fmt"});
        fs::current_path(base);
        VerificaFim(r);
        EXPECT_EQ(r.status, 255);
        EXPECT_EQ(r.erro, "Erro na abertura do arquivo [vodrel.dbg]\n");
        EXPECT_EQ(r.saida, "");
    }
}

// The stamp's last copy cannot take its place: the run says so once, every stamp is still
// drawn, the status is unchanged, and its scratch file is not left behind.
TEST_F(Hostil, CopiaDoCarimboImpossivel) {
    EscreveArquivo("r.txt", "A\n\fB\n");
    EscreveArquivo("f.fmt", "MD5 1 1 A10 N 0\n");
    fs::create_directory("md5.tmp");
    for (const auto& programa : kProgramas) {
        SCOPED_TRACE(NomePrograma(programa));
        Resultado r = Roda(programa, kPadrao);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.erro, "Erro na abertura do arquivo [md5.out]\n");
        EXPECT_TRUE(fs::is_directory("md5.tmp"));
        const auto a = r.saida.find("7fc5.6270.e7a7.0fa8.1a59.35b7.2eac.be29");
        EXPECT_NE(a, std::string::npos);
        EXPECT_NE(r.saida.find("9d5e.d678.fe57.bcca.6101.4095.7afa.b571", a), std::string::npos);
    }
}

struct CasoCarga {
    const char* nome;
    std::string formato;  // f.fmt
    const char* dados;    // data file name given by the caller
    std::string erro;
};

// The DADOS line only acts when the caller names no data file, which the programs never do: the
// loader is called directly for it.
TEST_F(Hostil, CarregadorRecusaPastas) {
    fs::create_directory("pasta");
    const CasoCarga casos[] = {
        {"DADOS que e uma pasta", "DADOS pasta\nINPUT 1 1 A10 N 0\n", "",
         "Erro na abertura do arquivo [pasta] #21"},
        {"dados que sao uma pasta", "INPUT 1 1 A10 N 0\n", "pasta",
         "Erro na abertura do arquivo [pasta] #21"},
        {"DADOS inexistente", "DADOS nao.dad\n", "", "Erro na abertura do arquivo [nao.dad] #2"},
        {"formato que e uma pasta", "", "", "Erro na abertura do arquivo [pasta] #21"},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.nome);
        EscreveArquivo("f.fmt", caso.formato);
        const char* formato = caso.formato.empty() ? "pasta" : "f.fmt";
        std::string msg;
        EXPECT_EQ(InicializaInterp(formato, caso.dados, msg), -1);
        EXPECT_EQ(msg, caso.erro);
        EXPECT_EQ(TemObjsvf(), 0);
        FinalizaInterp();
    }
}

}  // namespace
