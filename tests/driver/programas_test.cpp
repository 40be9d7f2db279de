// Runs the real programs on small reports and formats and checks their jobs, messages, trace
// and exit status.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/ferramentas.h"

namespace {

namespace fs = std::filesystem;

std::string Formata(const char* formato, ...) {
    va_list lista;
    va_start(lista, formato);
    char texto[256];
    std::vsnprintf(texto, sizeof texto, formato, lista);
    va_end(lista);
    return texto;
}

int Conta(const std::string& texto, const std::string& trecho) {
    int n = 0;
    for (std::size_t p = texto.find(trecho); p != std::string::npos;
         p = texto.find(trecho, p + trecho.size()))
        ++n;
    return n;
}

// The PCL job prologue of a format without page-setup commands, but for the paper tray.
std::string PrologoPCL(int bandeja = 1) {
    return Formata("\x1b&l2A") + Formata("\x1b&l0O") + Formata("\x1b&l%dH", bandeja) +
           Formata("\x1b&l0E") + Formata("\x1b&a0L") + Formata("\x1b&l%du%dZ", 0, 0) +
           Formata("\x1b&l%dS", 0) + Formata("\x1b(8U");
}

// Page-sequence texts of the PCL program.
const std::string kChamaFrente = "\x1b&f20y3X";
const std::string kChamaVerso = "\x1b&f21y3X";
const std::string kViraInvertido = "\r\f\x1b&a180P";
const std::string kViraNormal = "\r\f";
const std::string kFimPagina = "\r\f\x1b&a0P";
const std::string kApagaFrente = "\x1b&f20y8X";
const std::string kApagaVerso = "\x1b&f21y8X";
const std::string kFimMacro = "\x1b&f1x10X";
const std::string kFimPrologo = "\x1b(8U";

// Every run works in a fresh directory, with its data files kept in a folder of its own, so
// that a data file left behind shows.
class Programas : public ::testing::Test {
  protected:
    bool SobrouArquivoDeDados() const { return !fs::is_empty(tmpdir_.caminho()); }

    DiretorioTemporario dir_;
    TmpdirPrivado tmpdir_;
    const std::string& temporarios_ = tmpdir_.caminho();
};

TEST_F(Programas, UsoComMenosDeDoisArgumentos) {
    const std::vector<std::string> casos[] = {{}, {"relatorio.txt"}};
    for (const auto& programa : kTodosProgramas) {
        for (const auto& argumentos : casos) {
            Resultado r = Executa(programa, argumentos);
            std::string nome = NomePrograma(programa);
            const std::string proprias =
                programa == kMorvpdf ? "[-g] [-d <pasta> -n <variavel>] " : "";
            EXPECT_EQ(r.erro, nome + " v2.2.2 15/10/07\nUso: " + nome + " " + proprias +
                                  "[-s <dx,dy>] [-S <dx,dy>] <arquivo> <lista formatos>\n");
            EXPECT_EQ(r.status, 255) << nome;
            EXPECT_EQ(r.saida, "") << nome;
            EXPECT_FALSE(ExisteArquivo("vodrel.dbg")) << nome;
        }
    }
}

struct CasoErro {
    const char* nome;
    std::string formato;  // contents of f.fmt
    std::vector<std::string> argumentos;
    std::string erro;
};

TEST_F(Programas, ErrosTerminamComMensagemEStatus255) {
    EscreveArquivo("r.txt", "A\n");
    const CasoErro casos[] = {
        {"relatorio inexistente",
         "",
         {"nao.txt", "f.fmt"},
         "Erro na abertura do arquivo [nao.txt]\n"},
        {"saida impossivel",
         "",
         {"r.txt", "f.fmt", "sem/pasta/job"},
         "Erro na abertura do arquivo [sem/pasta/job]\n"},
        {"formato inexistente",
         "",
         {"r.txt", "nao.fmt"},
         "Erro na abertura do arquivo [nao.fmt] #2"},
        {"comando desconhecido",
         "# formato\n\nTEXTO 1 1 A10 N \"ok\"\ntexto 1 1 A10 N x\n",
         {"r.txt", "f.fmt"},
         "Comando desconhecido [texto] - linha 3"},
        {"contagem errada, brancos nao contam",
         "\n\nDUPLEX\n\n   \nLINHA 1 1 2\n",
         {"r.txt", "f.fmt"},
         "Numero de argumentos invalido - linha 2"},
        {"codificacao sem nome",
         "CODIFICACAO\n",
         {"r.txt", "f.fmt"},
         "Numero de argumentos invalido - linha 1"},
        {"codificacao desconhecida",
         "# utf8?\nCODIFICACAO UTF8\n",
         {"r.txt", "f.fmt"},
         "Codificacao invalida [UTF8] - linha 2\n"},
        {"vias demais",
         "# 10 vias?\nVIAS 10\n",
         {"r.txt", "f.fmt"},
         "Valor invalido [10] - linha 2\n"},
        // A shift is two numbers of inches, at most one either way, parted by a comma.
        {"deslocamento sem virgula",
         "",
         {"-s", "0.04", "r.txt", "f.fmt"},
         "Deslocamento invalido [0.04]\n"},
        {"deslocamento em milimetros",
         "",
         {"-S2,-1", "r.txt", "f.fmt"},
         "Deslocamento invalido [2,-1]\n"},
        {"deslocamento com virgula decimal",
         "",
         {"-s", "0,04,0", "r.txt", "f.fmt"},
         "Deslocamento invalido [0,04,0]\n"},
        {"deslocamento com expoente",
         "",
         {"-s", "1e-1,0", "r.txt", "f.fmt"},
         "Deslocamento invalido [1e-1,0]\n"},
    };
    for (const auto& programa : kTodosProgramas) {
        for (const auto& caso : casos) {
            EscreveArquivo("f.fmt", caso.formato);
            Resultado r = Executa(programa, caso.argumentos);
            EXPECT_EQ(r.erro, caso.erro) << NomePrograma(programa) << ": " << caso.nome;
            EXPECT_EQ(r.status, 255) << NomePrograma(programa) << ": " << caso.nome;
            EXPECT_EQ(r.saida, "") << NomePrograma(programa) << ": " << caso.nome;
            EXPECT_FALSE(SobrouArquivoDeDados()) << NomePrograma(programa) << ": " << caso.nome;
        }
    }
}

TEST_F(Programas, RastroQueNaoPodeSerCriado) {
    EscreveArquivo("r.txt", "A\n");
    EscreveArquivo("f.fmt", "");
    fs::create_directory("vodrel.dbg");
    for (const auto& programa : kTodosProgramas) {
        Resultado r = Executa(programa, {"r.txt", "f.fmt"});
        EXPECT_EQ(r.erro, "Erro na abertura do arquivo [vodrel.dbg]\n") << NomePrograma(programa);
        EXPECT_EQ(r.status, 255) << NomePrograma(programa);
    }
}

TEST_F(Programas, ArquivoTemporarioQueNaoPodeSerCriado) {
    EscreveArquivo("r.txt", "A\n");
    EscreveArquivo("f.fmt", "");
    std::string pasta = dir_.caminho() + "/nao/existe";
    setenv("TMPDIR", pasta.c_str(), 1);
    for (const auto& programa : kTodosProgramas) {
        Resultado r = Executa(programa, {"r.txt", "f.fmt"});
        std::string inicio = "Erro na criacao do arquivo temporario [" + pasta + "/morv";
        ASSERT_GT(r.erro.size(), inicio.size()) << r.erro;
        EXPECT_EQ(r.erro.substr(0, inicio.size()), inicio) << r.erro;
        EXPECT_EQ(r.erro.substr(r.erro.size() - 2), "]\n") << r.erro;
        EXPECT_EQ(r.status, 255) << NomePrograma(programa);
    }
}

TEST_F(Programas, RastroDosArgumentosEDoFormato) {
    EscreveArquivo("r.txt", "A\n");
    EscreveArquivo("f.fmt", "# vazio\n");
    Resultado r = Executa(kMorvex, {"r.txt", "f.fmt", "x", "y"});
    EXPECT_EQ(r.status, 0);
    std::string rastro = LeArquivo("vodrel.dbg");
    std::string args =
        "arg 0 [" + kMorvex + "]\narg 1 [r.txt]\narg 2 [f.fmt]\narg 3 [x]\narg 4 [y]\n";
    EXPECT_EQ(rastro.substr(0, args.size()), args);
    std::size_t dad = rastro.find("dad=[" + temporarios_ + "/morv");
    ASSERT_NE(dad, std::string::npos) << rastro;
    EXPECT_NE(rastro.find("] fmt=[f.fmt]\n", dad), std::string::npos) << rastro;
    // Four arguments: the job still goes to standard output and no format is chosen by width.
    EXPECT_EQ(rastro.find("col="), std::string::npos);
    EXPECT_EQ(r.saida, PrologoPCL() + kFimPagina);
    EXPECT_FALSE(ExisteArquivo("x"));
}

struct CasoFormato {
    const char* nome;
    std::string relatorio;
    std::string rastro;  // the width and page-mark trace line
    int escolhido;       // 1 to 4
};

TEST_F(Programas, CincoArgumentosEscolhemOFormato) {
    const std::string estreita = std::string(81, 'x') + "\n";
    const std::string larga = std::string(82, 'x') + "\n";
    const CasoFormato casos[] = {
        {"82 sem marca", "EMPRESA\n" + estreita, "col=82 246=0\n", 1},
        {"83 sem marca", "EMPRESA\n" + larga, "col=83 246=0\n", 2},
        {"82 com marca", "EMPRESA PAG. 1\n" + estreita, "col=82 246=1\n", 3},
        {"83 com marca", "EMPRESA PAG. 1\n" + larga, "col=83 246=1\n", 4},
        {"marca depois de brancos", "\n  \n  PAG. 1\n", "col=9 246=1\n", 3},
        {"marca na linha do salto", "\fEMPRESA PAG. 1\n", "col=16 246=1\n", 3},
        {"marca so na segunda linha", "EMPRESA\nPAG. 1\n", "col=8 246=0\n", 1},
        // 80 characters of UTF-8 in 90 bytes: a narrow line.
        {"utf-8 estreita", "EMPRESA\n" + Repete("Conceição ", 5) + std::string(30, '.') + "\n",
         "col=81 246=0\n", 1},
    };
    for (int i = 1; i <= 4; ++i)
        EscreveArquivo(Formata("f%d.fmt", i), Formata("ALIMENTACAO %d\n", i));
    for (const auto& caso : casos) {
        EscreveArquivo("r.txt", caso.relatorio);
        Resultado r = Executa(kMorvex, {"r.txt", "f1.fmt", "f2.fmt", "f3.fmt", "f4.fmt"});
        EXPECT_EQ(r.status, 0) << caso.nome << r.erro;
        std::string rastro = LeArquivo("vodrel.dbg");
        std::size_t col = rastro.find(caso.rastro);
        ASSERT_NE(col, std::string::npos) << caso.nome << "\n" << rastro;
        EXPECT_NE(rastro.find(Formata("] fmt=[f%d.fmt]\n", caso.escolhido), col), std::string::npos)
            << caso.nome;
        EXPECT_EQ(r.saida, PrologoPCL(caso.escolhido) + kFimPagina) << caso.nome;
    }
}

// Three print runs; each header names the MARCA block of its batch, and batch k has k pages.
const std::string kRelatorioTresLotes =
    "APA01QTD01\n"
    "LOTE 1 PAG. 1\n"
    "APA02QTD01\n"
    "LOTE 2 PAG. 1\n"
    "\fLOTE 2 PAG. 2\n"
    "\f\n"
    "APA03QTD01\n"
    "LOTE 3 PAG. 1\n"
    "\fLOTE 3 PAG. 2\n"
    "SALTA_PAGINA\n"
    "LOTE 3 PAG. 3\n";
// Block 9 is never chosen: if its line were loaded, the run would stop on it.
const std::string kFormatoTresBlocos =
    "MARCA 1\nALIMENTACAO 1\n"
    "MARCA 2\nALIMENTACAO 2\n"
    "MARCA 3\nALIMENTACAO 3\n"
    "MARCA 9\nDESCONHECIDO\n";

// Batch k: tray k from its own block, the MARCA line as the only fixed front object, k pages.
std::string JobPCLDoLote(int k) {
    return PrologoPCL(k) + "\x1b&f20y0X" + kFimMacro + Repete(kChamaFrente + kFimPagina, k) +
           kApagaFrente;
}

TEST_F(Programas, TresLotesCadaUmComSeusBlocos) {
    EscreveArquivo("r.txt", kRelatorioTresLotes);
    EscreveArquivo("f.fmt", kFormatoTresBlocos);
    const std::string esperado = JobPCLDoLote(1) + JobPCLDoLote(2) + JobPCLDoLote(3);
    struct Modo {
        const char* nome;
        std::vector<std::string> argumentos;
        std::string entrada;
        std::string arquivo_saida;
    };
    const Modo modos[] = {
        {"arquivo", {"r.txt", "f.fmt"}, "", ""},
        {"tubo", {"-", "f.fmt"}, kRelatorioTresLotes, ""},
        {"arquivo de saida", {"r.txt", "f.fmt", "job.pcl"}, "", "job.pcl"},
        {"tubo e arquivo de saida", {"-", "f.fmt", "job.pcl"}, kRelatorioTresLotes, "job.pcl"},
    };
    for (const auto& modo : modos) {
        Resultado r = Executa(kMorvex, modo.argumentos, modo.entrada);
        EXPECT_EQ(r.status, 0) << modo.nome << r.erro;
        EXPECT_EQ(r.erro, "") << modo.nome;
        if (modo.arquivo_saida.empty()) {
            EXPECT_EQ(r.saida, esperado) << modo.nome;
        } else {
            EXPECT_EQ(r.saida, "") << modo.nome;
            EXPECT_EQ(LeArquivo(modo.arquivo_saida), esperado) << modo.nome;
        }
        EXPECT_EQ(Conta(LeArquivo("vodrel.dbg"), "dad=["), 3) << modo.nome;
        EXPECT_FALSE(SobrouArquivoDeDados()) << modo.nome;
    }
}

TEST_F(Programas, TresLotesEmPostScript) {
    EscreveArquivo("r.txt", kRelatorioTresLotes);
    EscreveArquivo("f.fmt", kFormatoTresBlocos);
    Resultado r = Executa(kMorvel, {"-", "f.fmt", "job.ps"}, kRelatorioTresLotes);
    EXPECT_EQ(r.status, 0) << r.erro;
    std::string job = LeArquivo("job.ps");
    ASSERT_EQ(Conta(job, "%!\n"), 3);
    std::size_t inicio = job.find("%!\n");
    for (int k = 1; k <= 3; ++k) {
        std::size_t fim = job.find("%!\n", inicio + 1);
        std::string lote = job.substr(inicio, fim - inicio);
        EXPECT_EQ(Conta(lote, "/MediaPosition "), 1) << k;
        EXPECT_NE(lote.find(Formata("/MediaPosition %d\n", k)), std::string::npos) << k;
        EXPECT_EQ(Conta(lote, "showpage\n"), k) << k;
        inicio = fim;
    }
}

// A run that stops on a later batch keeps the jobs of the batches before it, in the output file
// as well as on standard output.
TEST_F(Programas, ErroNumLoteSeguinteGuardaOsAnteriores) {
    EscreveArquivo("r.txt", kRelatorioTresLotes);
    EscreveArquivo("f.fmt", "MARCA 1\nALIMENTACAO 1\nMARCA 2\nERRADO\n");
    for (const auto& arquivo_saida : {std::string(), std::string("job.pcl")}) {
        std::vector<std::string> argumentos = {"r.txt", "f.fmt"};
        if (!arquivo_saida.empty()) argumentos.push_back(arquivo_saida);
        Resultado r = Executa(kMorvex, argumentos);
        EXPECT_EQ(r.status, 255) << arquivo_saida;
        EXPECT_EQ(r.erro, "Comando desconhecido [ERRADO] - linha 4") << arquivo_saida;
        std::string job = arquivo_saida.empty() ? r.saida : LeArquivo(arquivo_saida);
        EXPECT_EQ(job, JobPCLDoLote(1)) << arquivo_saida;
        EXPECT_FALSE(SobrouArquivoDeDados()) << arquivo_saida;
    }
}

struct CasoVerso {
    const char* nome;
    std::string formato;
    std::string pagina;  // page-sequence texts of one sheet, after the macros
    std::string fim;     // job end
};

const CasoVerso casos_verso[] = {
    {"sem objetos", "# nada\n", kFimPagina, ""},
    {"so frente fixa", "TEXTO 1 1 A10 N Frente\n", kChamaFrente + kFimPagina, kApagaFrente},
    {"verso invertido", "TEXTO 1 1 A10 N Frente\nVERSO\nTEXTO 1 1 A10 N Verso\n",
     kChamaFrente + kViraInvertido + kChamaVerso + kFimPagina, kApagaFrente + kApagaVerso},
    {"verso normal", "TEXTO 1 1 A10 N Frente\nVERSO NORMAL\nTEXTO 1 1 A10 N Verso\n",
     kChamaFrente + kViraNormal + kChamaVerso + kFimPagina, kApagaFrente + kApagaVerso},
    {"so verso fixo", "VERSO\nTEXTO 1 1 A10 N Verso\n", kViraInvertido + kChamaVerso + kFimPagina,
     kApagaVerso},
    {"verso so variavel", "TEXTO 1 1 A10 N Frente\nVERSO\nCAPTURA 0 X:1:3\n",
     kChamaFrente + kViraInvertido + kFimPagina, kApagaFrente},
};

// What follows the prologue and the macro definitions of a PCL job.
std::string DepoisDasMacros(const std::string& job) {
    std::size_t p = job.rfind(kFimMacro);
    if (p != std::string::npos) return job.substr(p + kFimMacro.size());
    p = job.find(kFimPrologo);
    return p == std::string::npos ? job : job.substr(p + kFimPrologo.size());
}

TEST_F(Programas, PassosDePaginaPCL) {
    EscreveArquivo("r.txt", "PAGINA 1\n\fPAGINA 2\n\fPAGINA 3\n");
    for (const auto& caso : casos_verso) {
        EscreveArquivo("f.fmt", caso.formato);
        Resultado r = Executa(kMorvex, {"r.txt", "f.fmt"});
        EXPECT_EQ(r.status, 0) << caso.nome << r.erro;
        EXPECT_EQ(DepoisDasMacros(r.saida), Repete(caso.pagina, 3) + caso.fim) << caso.nome;
    }
}

TEST_F(Programas, ShowpagePorFolhaPostScript) {
    EscreveArquivo("r.txt", "PAGINA 1\n\fPAGINA 2\n\fPAGINA 3\n");
    EscreveArquivo("vazio.txt", "");
    for (const auto& caso : casos_verso) {
        bool tem_verso = caso.formato.find("VERSO") != std::string::npos;
        EscreveArquivo("f.fmt", caso.formato);
        Resultado r = Executa(kMorvel, {"r.txt", "f.fmt"});
        EXPECT_EQ(r.status, 0) << caso.nome << r.erro;
        EXPECT_EQ(Conta(r.saida, "showpage\n"), tem_verso ? 6 : 3) << caso.nome;
        // An empty report still prints the form once.
        r = Executa(kMorvel, {"vazio.txt", "f.fmt"});
        EXPECT_EQ(Conta(r.saida, "showpage\n"), tem_verso ? 2 : 1) << caso.nome;
    }
}

// Pages that begin with a form feed glued to their first line, as line printers get them.
TEST_F(Programas, SaltoNoInicioNaoGastaFolhaNemLetra) {
    EscreveArquivo("r.txt",
                   "\fEMPRESA MODELO PAG. 1\nlinha um\n\fEMPRESA MODELO PAG. 2\nlinha dois\n");
    EscreveArquivo("f.fmt", "INPUT 1 1 C10 N 0\nINPUT 1 2 C10 N 0\n");
    for (const auto& programa : kProgramas) {
        Resultado r = Executa(programa, {"r.txt", "f.fmt"});
        EXPECT_EQ(r.status, 0) << NomePrograma(programa) << r.erro;
        EXPECT_EQ(Conta(r.saida, programa == kMorvex ? kFimPagina : "showpage\n"), 2)
            << NomePrograma(programa);
        for (const char* texto :
             {"EMPRESA MODELO PAG. 1", "linha um", "EMPRESA MODELO PAG. 2", "linha dois"})
            EXPECT_NE(r.saida.find(texto), std::string::npos)
                << NomePrograma(programa) << ": " << texto;
    }
}

// The bundled example: four statements, front and back, run beside its logo.
TEST_F(Programas, ExemploDoREADME) {
    EscreveArquivo("logo.bmp", LeArquivo(kExemplos + "logo.bmp"));
    for (const auto& programa : kProgramas) {
        Resultado r =
            Executa(programa, {kExemplos + "relatorio.txt", kExemplos + "formulario.fmt"});
        EXPECT_EQ(r.status, 0) << NomePrograma(programa);
        EXPECT_EQ(r.erro, "") << NomePrograma(programa);
        if (programa == kMorvex) {
            EXPECT_EQ(Conta(r.saida, kFimPagina), 4);
            EXPECT_EQ(Conta(r.saida, kChamaVerso), 4);
        } else {
            EXPECT_EQ(Conta(r.saida, "showpage\n"), 8);
        }
        for (const char* cliente : {"MERCEARIA SAO JORGE LTDA", "ESCRITORIO CONTABIL SILVA"})
            EXPECT_NE(r.saida.find(cliente), std::string::npos) << NomePrograma(programa);
    }
}

}  // namespace
