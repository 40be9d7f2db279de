// Both filters behind a real spooler: a private cupsd with one queue per case, each job printing
// into a file of its own, fed the example report. A queue prints, byte for byte, what the program
// writes for the same report and form; a refused job prints nothing and leaves its message in the
// spooler's log; the page log counts every sheet.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/cupsd_privado.h"
#include "support/ferramentas.h"

namespace {

constexpr int kPaginasExemplo = 4;
// A filter's status for a job it did not print.
constexpr int kFalhaFiltro = 1;

struct Caso {
    const char* fila;        // a queue of its own (no '-')
    const char* modelo;      // printer model and program: morvex or morvel
    const char* formulario;  // lp -o formulario=..., or none
    int copias;              // lp -n
    int trabalhos;           // jobs submitted at once
    bool imprime;            // false: the job is refused and prints nothing
    const char* mensagem;    // what each job says in the spooler's log
};

const Caso casos[] = {
    {"pcl", "morvex", "exemplo", 1, 1, true, "[exemplo] impresso - paginas: 4, copias: 1"},
    {"ps", "morvel", "exemplo", 1, 1, true, "[exemplo] impresso - paginas: 4, copias: 1"},
    {"copias", "morvex", "exemplo", 2, 1, true, "[exemplo] impresso - paginas: 4, copias: 2"},
    {"quatro", "morvel", "exemplo,exemplo,exemplo,exemplo", 1, 1, true, "exemplo] impresso"},
    {"dois", "morvel", "exemplo", 1, 2, true, "[exemplo] impresso - paginas: 4, copias: 1"},
    {"desconhecido", "morvex", "nenhum", 1, 1, false, "/nenhum.fmt] #2"},
    {"passwd", "morvex", "../etc/passwd", 1, 1, false, "formulario invalido [../etc/passwd]"},
    {"sem_formulario", "morvel", nullptr, 1, 1, false, "Formulario nao informado"},
};

// Some line of the log begins with `inicio` and holds both texts.
bool NoLog(const std::string& log, const std::string& inicio, const std::string& um,
           const std::string& outro) {
    std::istringstream linhas(log);
    for (std::string linha; std::getline(linhas, linha);)
        if (linha.rfind(inicio, 0) == 0 && linha.find(um) != std::string::npos &&
            linha.find(outro) != std::string::npos)
            return true;
    return false;
}

TEST(FiltrosCups, ImprimemPeloSpoolerOQueOProgramaEscreve) {
    if (const std::string motivo = CupsdPrivado::Impedimento(); !motivo.empty())
        GTEST_SKIP() << motivo;
    // The forms directory, which the filters read as lp; the programs run here directly too.
    DiretorioTemporario formularios;
    chmod(formularios.caminho().c_str(), 0755);
    EscreveArquivo("exemplo.fmt", LeArquivo(kExemplos + "formulario.fmt"));
    EscreveArquivo("logo.bmp", LeArquivo(kExemplos + "logo.bmp"));
    const std::string relatorio = kExemplos + "relatorio.txt";
    const std::map<std::string, std::string> esperado = {
        {"morvex", Executa(kMorvex, {relatorio, "exemplo.fmt"}).saida},
        {"morvel", Executa(kMorvel, {relatorio, "exemplo.fmt"}).saida}};

    CupsdPrivado cupsd({TEXTTOMORVEX_BIN, TEXTTOMORVEL_BIN},
                       {{"MORV_FORMULARIOS", formularios.caminho()}});
    ASSERT_TRUE(cupsd.pronto()) << cupsd.Log("error_log");
    for (const Caso& c : casos) {
        const Resultado r = cupsd.Cliente(
            "lpadmin", {"-p", c.fila, "-E", "-v", cupsd.Dispositivo(c.fila), "-P",
                        MORV_SOURCE_DIR "/src/cups/" + std::string(c.modelo) + ".ppd"});
        ASSERT_EQ(r.status, 0) << r.erro;
    }
    // Every job goes in before the first has ended, so the queues' filters run side by side.
    std::map<std::string, std::vector<std::string>> trabalhos;
    for (const Caso& c : casos) {
        for (int i = 0; i < c.trabalhos; ++i) {
            std::vector<std::string> argumentos = {"-d", c.fila, "-n", std::to_string(c.copias)};
            if (c.formulario)
                argumentos.insert(argumentos.end(),
                                  {"-o", std::string("formulario=") + c.formulario});
            argumentos.push_back(relatorio);
            const Resultado r = cupsd.Cliente("lp", argumentos);
            ASSERT_EQ(r.status, 0) << r.erro;
            // "request id is pcl-12 (1 file(s))"
            const std::string id = r.saida.substr(r.saida.find(" is ") + 4);
            trabalhos[c.fila].push_back(id.substr(0, id.find(' ')));
        }
    }
    ASSERT_TRUE(cupsd.EsperaTrabalhos()) << cupsd.Cliente("lpstat", {"-l", "-o"}).saida;
    const std::string page_log = cupsd.Log("page_log");
    const std::string error_log = cupsd.Log("error_log");

    for (const Caso& c : casos) {
        SCOPED_TRACE(c.fila);
        const int copias = c.imprime ? c.copias : 0;
        const std::string job = Repete(esperado.at(c.modelo), copias);
        const std::string folhas = "] total " + std::to_string(kPaginasExemplo * copias) + " ";
        for (const std::string& trabalho : trabalhos[c.fila]) {
            SCOPED_TRACE(trabalho);
            const std::string impresso = cupsd.Impresso(trabalho);
            EXPECT_TRUE(impresso == job) << impresso.size() << " bytes printed, " << job.size();
            const std::string numero = trabalho.substr(trabalho.find('-') + 1);
            EXPECT_TRUE(NoLog(page_log, c.fila, " " + numero + " [", folhas));
            // A refused job's message is an error of the job, not a note of it.
            const std::string nivel = c.imprime ? "" : "E ";
            EXPECT_TRUE(NoLog(error_log, nivel, "[Job " + numero + "] ", c.mensagem));
        }
    }
}

// The spooler cancels a job by SIGTERM to its filter: the filter, still waiting for the rest of
// its report, removes its job's directory and ends as a job not printed.
TEST(FiltrosCups, TrabalhoCanceladoNaoDeixaNada) {
    DiretorioTemporario formularios;
    EscreveArquivo("exemplo.fmt", LeArquivo(kExemplos + "formulario.fmt"));
    VariavelTrocada pasta("MORV_FORMULARIOS", formularios.caminho());
    TmpdirPrivado tmpdir;
    int relatorio[2];
    ASSERT_EQ(pipe(relatorio), 0);
    const pid_t filtro = fork();
    if (filtro == 0) {
        dup2(relatorio[0], STDIN_FILENO);
        close(relatorio[1]);
        execl(TEXTTOMORVEX_BIN, "texttomorvex", "1", "operador", "relatorio", "1",
              "formulario=exemplo", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(relatorio[0]);
    // The trace shows the job's directory made, and its removal armed; the filter then waits on
    // the pipe for a report that never ends.
    EXPECT_TRUE(Espera([&] {
        for (const auto& job : std::filesystem::directory_iterator(tmpdir.caminho()))
            if (ExisteArquivo(job.path() / "vodrel.dbg")) return true;
        return false;
    }));
    kill(filtro, SIGTERM);
    int estado = 0;
    waitpid(filtro, &estado, 0);
    close(relatorio[1]);
    EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == kFalhaFiltro) << estado;
    EXPECT_TRUE(std::filesystem::is_empty(tmpdir.caminho()));
}

}  // namespace
