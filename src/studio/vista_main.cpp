// morvstudio-morvel and morvstudio-morvex: the studio's other views. Each is the shared code with
// one program's back-end and page loop, as that program is, and prints the pages the studio
// asks for as a run would print them, so that the studio shows what each printer will print:
//
//   morvstudio-PROGRAMA <pasta> <formulario> (<dados> <marcaini> <marcafim> <imprime> <antes>)...
//
// Each group is one batch (TrechoExecucao): its data file, its range of MARCA blocks, 1 to
// print its pages or 0 only to load the form for it (or to have it read ahead), and the
// report's pages before it. The job goes to standard output.
#include <cstdio>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "util/caminhos.h"
#include "util/numeros.h"

namespace {

constexpr int kArgsFixos = 3;
constexpr int kArgsTrecho = 5;
constexpr int kFalha = -1;

}  // namespace

int main(int argc, char** argv) {
    if (argc <= kArgsFixos || (argc - kArgsFixos) % kArgsTrecho != 0) {
        std::fprintf(stderr,
                     "Uso: %s <pasta> <formulario> (<dados> <ini> <fim> <imprime> <antes>)...\n",
                     argv[0]);
        return kFalha;
    }
    pasta_formulario = argv[1];
    std::vector<TrechoExecucao> trechos;
    for (int i = kArgsFixos; i < argc; i += kArgsTrecho)
        trechos.push_back({argv[i], LeInteiro(argv[i + 1]), LeInteiro(argv[i + 2]),
                           LeInteiro(argv[i + 3]) != 0, LeInteiro(argv[i + 4])});
    std::string erro;
    const int status = ExecutaTrechos(argv[2], trechos, erro);
    if (!erro.empty()) std::fputs(erro.c_str(), stderr);
    return status;
}
