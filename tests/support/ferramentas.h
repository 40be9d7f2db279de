#pragma once
// Test helpers: a temporary working directory, files, and running the real programs.
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

void EscreveArquivo(const std::string& nome, const std::string& conteudo);
// The whole file, or the empty text when it cannot be read.
std::string LeArquivo(const std::string& nome);
bool ExisteArquivo(const std::string& nome);

struct Resultado {
    int status = -1;  // exit status (0-255), or -1 when the program did not exit normally
    std::string saida;
    std::string erro;
};

// Runs the program with the arguments in the working directory, feeding `entrada` to its
// standard input, and collects its standard output, standard error and exit status.
Resultado Executa(const std::string& programa, const std::vector<std::string>& argumentos,
                  const std::string& entrada = "");

// Paths of the two programs under test.
inline const std::string kMorvex = MORVEX_BIN;
inline const std::string kMorvel = MORVEL_BIN;
