#pragma once
// Test helpers: a temporary working directory, files, and running the real programs.
#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Creates a fresh directory and makes it the working directory; restores and removes it at the
// end of the scope.
class DiretorioTemporario {
  public:
    DiretorioTemporario();
    ~DiretorioTemporario();
    DiretorioTemporario(const DiretorioTemporario&) = delete;
    DiretorioTemporario& operator=(const DiretorioTemporario&) = delete;
    const std::string& caminho() const { return caminho_; }

  private:
    std::string caminho_;
    std::string anterior_;
};

// Gives an environment variable a value for the life of the object; then puts the old value
// back, or removes the variable when it had none.
class VariavelTrocada {
  public:
    VariavelTrocada(const std::string& nome, const std::string& valor);
    ~VariavelTrocada();
    VariavelTrocada(const VariavelTrocada&) = delete;
    VariavelTrocada& operator=(const VariavelTrocada&) = delete;

  private:
    std::string nome_;
    std::optional<std::string> anterior_;
};

// Points TMPDIR at a fresh directory of its own, outside the working directory, so that a data
// file left behind shows apart from the trace and stamp files; restores TMPDIR and removes the
// directory at the end of the scope.
class TmpdirPrivado {
  public:
    TmpdirPrivado();
    ~TmpdirPrivado();
    TmpdirPrivado(const TmpdirPrivado&) = delete;
    TmpdirPrivado& operator=(const TmpdirPrivado&) = delete;
    const std::string& caminho() const { return caminho_; }

  private:
    std::string caminho_;
    std::optional<VariavelTrocada> tmpdir_;
};

void EscreveArquivo(const std::string& nome, const std::string& conteudo);
// The whole file, or the empty text when it cannot be read.
std::string LeArquivo(const std::string& nome);
bool ExisteArquivo(const std::string& nome);
// The text written `vezes` times over.
std::string Repete(const std::string& texto, int vezes);

// Polls until `condicao` holds, and says whether it did: the wait's bound is only there against
// a process that never gets there, never a measure of speed.
bool Espera(const std::function<bool()>& condicao);

struct Resultado {
    int status = -1;  // exit status (0-255), or -1 when the program did not exit normally
    int sinal = 0;    // the signal that ended the program; 0 when it exited
    std::string saida;
    std::string erro;
};

// In a child process just forked: becomes the program with the arguments (status 127 when it
// cannot be started).
[[noreturn]] void ExecutaNoFilho(const std::string& programa,
                                 const std::vector<std::string>& argumentos);

// Runs the program with the arguments in the working directory, feeding `entrada` to its
// standard input, and collects its standard output, standard error and exit status.
Resultado Executa(const std::string& programa, const std::vector<std::string>& argumentos,
                  const std::string& entrada = "");
// As Executa, with the program's address space limited to `bytes` (setrlimit), as on a machine
// short of memory.
Resultado ExecutaComMemoria(std::size_t bytes, const std::string& programa,
                            const std::vector<std::string>& argumentos);
// As Executa, with the program's standard output a pipe that nobody reads (a reader gone),
// and SIGPIPE as a program started by a spooler or a shell finds it.
Resultado ExecutaSemLeitor(const std::string& programa, const std::vector<std::string>& argumentos);

// A program that reads its report from a pipe the test writes to and keeps open: the run waits
// for the rest of its report where the test wants it to, and the test acts on the run there
// (a signal, a file put in its way) before it lets the run go on.
class ExecucaoAberta {
  public:
    ExecucaoAberta(const std::string& programa, const std::vector<std::string>& argumentos);
    // A program still running is killed and reaped.
    ~ExecucaoAberta();
    ExecucaoAberta(const ExecucaoAberta&) = delete;
    ExecucaoAberta& operator=(const ExecucaoAberta&) = delete;
    void Escreve(const std::string& texto);
    void FechaEntrada();
    void Sinaliza(int sinal);
    // Waits for the program to end, and gives what it wrote and how it ended.
    Resultado Termina();

  private:
    pid_t pid_ = -1;
    int entrada_ = -1;
    int saida_ = -1;  // the program's standard output and error, kept in memory files
    int erro_ = -1;
};

// Paths of the programs under test.
inline const std::string kMorvex = MORVEX_BIN;
inline const std::string kMorvel = MORVEL_BIN;
inline const std::string kMorvpdf = MORVPDF_BIN;

// The bundled example: report, form and logo.
inline const std::string kExemplos = MORV_SOURCE_DIR "/examples/";

// The two printer-language programs, whose jobs the byte tables describe, and all three, for
// what every program does alike (messages, exit status, trace); and the name each gives itself
// in its messages.
inline const std::string kProgramas[] = {kMorvex, kMorvel};
inline const std::string kTodosProgramas[] = {kMorvex, kMorvel, kMorvpdf};
inline std::string NomePrograma(const std::string& programa) {
    if (programa == kMorvpdf) return "morvpdf";
    return programa == kMorvex ? "morvex" : "morvel";
}
