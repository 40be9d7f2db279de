// morvpdf's entry point: its own options, then the run as the other programs make it.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "driver/driver.h"
#include "driver/opcoes.h"
#include "pdf/pdf.h"

namespace {

// Status of a run that stops on an error, as Principal's.
constexpr int kFalha = -1;
// With this many arguments after the options the third one names the output file.
constexpr int kArgsComSaida = 3;
// A folder made for the customers' files may be used by all, less what the umask takes away.
constexpr mode_t kPermissoesPasta = 0777;

int Uso() {
    EscreveUso();
    std::fprintf(stderr, "  -g             a grade do projetista sob o formulario\n");
    std::fprintf(stderr,
                 "  -d <pasta>     um PDF por cliente na pasta, nova ou vazia, e o indice.csv\n");
    std::fprintf(stderr,
                 "  -n <variavel>  a variavel capturada (CAPTURA) que nomeia cada cliente\n");
    std::fprintf(stderr,
                 "  -s <dx,dy>     desloca a frente dx polegadas para a direita e dy para baixo\n");
    std::fprintf(stderr, "  -S <dx,dy>     o mesmo para o verso (sem ele, o da frente)\n");
    return kFalha;
}

std::string NomeBase(std::string_view caminho) {
    const std::size_t barra = caminho.find_last_of('/');
    return std::string(barra == std::string_view::npos ? caminho : caminho.substr(barra + 1));
}

// Anything in the folder, hidden files included; true also when it cannot be read, since then
// nobody can tell.
bool TemConteudo(const std::string& pasta) {
    DIR* d = opendir(pasta.c_str());
    if (d == nullptr) return true;
    bool tem = false;
    for (const dirent* e; !tem && (e = readdir(d)) != nullptr;)
        tem = std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0;
    closedir(d);
    return tem;
}

// The customers' folder is empty, or is made now, before the run begins: another run's files
// beside this run's would be mailed with them, and its index would not name them.
bool PreparaPasta(const std::string& pasta) {
    struct stat info {};
    if (stat(pasta.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        if (!TemConteudo(pasta)) return true;
        std::fprintf(stderr, "Pasta nao vazia [%s]\n", pasta.c_str());
        return false;
    }
    if (mkdir(pasta.c_str(), kPermissoesPasta) == 0) return true;
    std::fprintf(stderr, "Erro na criacao da pasta [%s]\n", pasta.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // Options come first; "-" alone names standard input and ends them, as any other argument.
    int opcao;
    // The shifts are the driver's, as in the other programs: passed on to it as given.
    std::vector<std::string> deslocamentos;
    // A refused option is answered by the usage text alone, in the programs' own words.
    opterr = 0;
    while ((opcao = getopt(argc, argv, "+gd:n:s:S:")) != -1) {
        switch (opcao) {
            case 's':
            case 'S':
                // Checked now, before a customers' folder is made for a run that cannot start.
                if (!ConfereDeslocamento(optarg)) return kFalha;
                deslocamentos.insert(deslocamentos.end(), {opcao == 's' ? "-s" : "-S", optarg});
                break;
            case 'g':
                opcoes_pdf.grade = true;
                break;
            case 'd':
                opcoes_pdf.pasta = optarg;
                break;
            case 'n':
                opcoes_pdf.variavel = optarg;
                break;
            default:
                return Uso();
        }
    }
    const int posicionais = argc - optind;
    // A folder of customers' files needs the variable that names them, and takes the place of
    // an output file.
    if (opcoes_pdf.pasta.empty() != opcoes_pdf.variavel.empty()) return Uso();
    if (!opcoes_pdf.pasta.empty() && posicionais == kArgsComSaida) return Uso();
    if (posicionais >= 2) {
        const std::string_view relatorio = argv[optind];
        opcoes_pdf.titulo = NomeBase(relatorio == "-" ? argv[optind + 1] : relatorio);
        if (posicionais == kArgsComSaida) opcoes_pdf.nome_saida = argv[optind + 2];
    }
    if (!opcoes_pdf.pasta.empty() && !PreparaPasta(opcoes_pdf.pasta)) return kFalha;
    // Principal reads the arguments as the other programs do: the program's name, the shifts,
    // then the report and the formats.
    std::vector<char*> resto{argv[0]};
    for (std::string& d : deslocamentos)
        resto.push_back(d.data());
    resto.insert(resto.end(), argv + optind, argv + argc);
    resto.push_back(nullptr);
    const int status = Principal(static_cast<int>(resto.size()) - 1, resto.data());
    LiberaFontes();
    return status;
}
