#include "support/render.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

bool TemPrograma(const std::string& nome) {
    return std::system(("command -v " + nome + " >/dev/null 2>&1").c_str()) == 0;
}

namespace {

// Standard output of the command and its exit status.
std::string SaidaEEstado(const std::string& comando, int& estado) {
    std::string s;
    estado = -1;
    if (std::FILE* p = popen(comando.c_str(), "r")) {
        char bloco[4096];
        std::size_t n;
        while ((n = std::fread(bloco, 1, sizeof bloco, p)) > 0)
            s.append(bloco, n);
        estado = pclose(p);
    }
    return s;
}

const Interpretador kGhostscript = {"gs", "gs -q -dSAFER -dNOPAUSE -dBATCH",
                                    "gs not found: install Ghostscript"};
const Interpretador kGpcl6 = {"gpcl6", "gpcl6 -dNOPAUSE -dBATCH",
                              "gpcl6 not found: install a PCL interpreter as gpcl6"};

// At most this much of an interpreter's report goes into a failure message.
constexpr std::size_t kMaxRelato = 2000;

// Whether the interpreter is on PATH, looked up once a run; its absence is noted once.
bool Presente(const Interpretador& interpretador) {
    static std::map<std::string, bool> vistos;
    const auto [item, novo] = vistos.try_emplace(interpretador.nome, false);
    if (novo) {
        item->second = TemPrograma(interpretador.nome);
        if (!item->second) std::fprintf(stderr, "%s: jobs not rendered\n", interpretador.falta);
    }
    return item->second;
}

const Interpretador kPoppler = {"pdftoppm", "pdftoppm",
                                "pdftoppm not found: install poppler-utils"};

const Interpretador& LeitorDe(const std::string& programa, Leitor leitor) {
    return leitor == Leitor::poppler ? kPoppler : InterpretadorDe(programa);
}

// The interpreter's device that writes files of the type: pictures, or the pages' text.
std::string Dispositivo(const std::string& tipo) {
    if (tipo == "txt") return "txtwrite";
    if (tipo == "ppm") return "ppmraw";
    return tipo == "png" ? "pnggray" : "pgmraw";
}

// Renders the job into numbered files, each page one, named `nome` and a number, of the type
// `tipo` (pgm, ppm for colour, png, or txt for the interpreter's text); their names in page
// order.
std::vector<std::string> RenderizaEm(const std::string& job, const std::string& programa,
                                     Leitor leitor, int dpi, const std::string& nome,
                                     const std::string& tipo) {
    EscreveArquivo("render.job", job);
    int estado;
    if (leitor == Leitor::poppler)
        SaidaEEstado(std::string("pdftoppm") + (tipo == "ppm" ? "" : " -gray") + " -r " +
                         std::to_string(dpi) + (tipo == "png" ? " -png" : "") + " render.job " +
                         nome + " </dev/null 2>/dev/null",
                     estado);
    else
        SaidaEEstado(std::string(InterpretadorDe(programa).comando) + " -sDEVICE=" +
                         Dispositivo(tipo) + " -r" + std::to_string(dpi) + " -sOutputFile=" + nome +
                         "-%03d." + tipo + " render.job </dev/null 2>/dev/null",
                     estado);
    std::remove("render.job");
    // Both readers number the pages with as many digits as they all need: the names sort.
    std::vector<std::string> nomes;
    for (const auto& entrada : std::filesystem::directory_iterator("."))
        if (const std::string n = entrada.path().filename().string();
            n.starts_with(nome + "-") && n.ends_with("." + tipo))
            nomes.push_back(n);
    std::sort(nomes.begin(), nomes.end());
    return nomes;
}

// The texts a decoder printed, one a line.
std::vector<std::string> LinhasLidas(const std::string& saida) {
    std::istringstream lidos(saida);
    std::vector<std::string> textos;
    for (std::string l; std::getline(lidos, l);)
        if (!l.empty()) textos.push_back(l);
    return textos;
}

std::string Numerado(const char* modelo, int i) {
    char nome[64];
    std::snprintf(nome, sizeof nome, modelo, i);
    return nome;
}

}  // namespace

std::string SaidaDe(const std::string& comando) {
    int estado;
    return SaidaEEstado(comando + " 2>/dev/null", estado);
}

const Interpretador& InterpretadorDe(const std::string& programa) {
    return programa == kMorvex ? kGpcl6 : kGhostscript;
}

std::string FaltaFerramenta(const std::vector<std::string>& programas,
                            const std::vector<std::string>& decodificadores) {
    for (const auto& programa : programas)
        if (!TemPrograma(InterpretadorDe(programa).nome)) return InterpretadorDe(programa).falta;
    for (const auto& decodificador : decodificadores) {
        if (TemPrograma(decodificador)) continue;
        const char* pacote = decodificador == kZbarimg    ? "zbar-tools"
                             : decodificador == kDmtxread ? "dmtx-utils"
                                                          : "poppler-utils";
        return decodificador + " not found: install " + pacote;
    }
    return "";
}

void RenderizaSemErro(const std::string& job, const std::string& programa, Leitor leitor) {
    const Interpretador& interpretador = LeitorDe(programa, leitor);
    if (!Presente(interpretador)) return;
    std::string nome = (std::filesystem::temp_directory_path() / "morv-job-XXXXXX").string();
    const int fd = mkstemp(nome.data());
    if (fd < 0) {
        ADD_FAILURE() << "mkstemp";
        return;
    }
    std::FILE* f = fdopen(fd, "wb");
    std::fwrite(job.data(), 1, job.size(), f);
    std::fclose(f);
    int estado;
    // Every reader reports errors in its messages; gpcl6 may still end with status 0. Poppler
    // reads every page, its fonts and its text when it extracts the text.
    const std::string comando = leitor == Leitor::poppler
                                    ? "pdftotext '" + nome + "' /dev/null </dev/null 2>&1"
                                    : std::string(interpretador.comando) + " -sDEVICE=nullpage '" +
                                          nome + "' </dev/null 2>&1";
    std::string relato = SaidaEEstado(comando, estado);
    std::remove(nome.c_str());
    const bool ok = estado != -1 && WIFEXITED(estado) && WEXITSTATUS(estado) == 0;
    std::string minusculo = relato;
    std::transform(minusculo.begin(), minusculo.end(), minusculo.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (!ok || minusculo.find("error") != std::string::npos)
        ADD_FAILURE() << interpretador.nome << " rejected the job:\n"
                      << relato.substr(0, kMaxRelato);
}

bool LePGM(const std::string& nome, Pagina& p, int canais) {
    std::ifstream f(nome, std::ios::binary);
    std::string magia;
    int maximo = 0;
    f >> magia;
    // Comment lines may follow the magic number.
    while (f >> std::ws && f.peek() == '#') {
        std::string comentario;
        std::getline(f, comentario);
    }
    f >> p.largura >> p.altura >> maximo;
    f.get();
    if (!f || magia != (canais == 3 ? "P6" : "P5") || maximo != 255 || p.largura <= 0 ||
        p.altura <= 0)
        return false;
    p.canais = canais;
    p.pixels.resize(static_cast<std::size_t>(p.largura) * static_cast<std::size_t>(p.altura) *
                    static_cast<std::size_t>(canais));
    f.read(reinterpret_cast<char*>(p.pixels.data()), static_cast<std::streamsize>(p.pixels.size()));
    return static_cast<bool>(f);
}

namespace {

std::vector<Pagina> Paginas(const std::string& job, int dpi, const std::string& programa,
                            Leitor leitor, int canais) {
    std::vector<Pagina> paginas;
    for (const std::string& nome :
         RenderizaEm(job, programa, leitor, dpi, "render", canais == 3 ? "ppm" : "pgm")) {
        Pagina p;
        if (LePGM(nome, p, canais)) paginas.push_back(std::move(p));
        std::remove(nome.c_str());
    }
    return paginas;
}

}  // namespace

std::vector<Pagina> Renderiza(const std::string& job, int dpi, const std::string& programa,
                              Leitor leitor) {
    return Paginas(job, dpi, programa, leitor, 1);
}

std::vector<Pagina> RenderizaEmCores(const std::string& job, int dpi, const std::string& programa,
                                     Leitor leitor) {
    return Paginas(job, dpi, programa, leitor, 3);
}

std::vector<std::string> TextosDasPaginas(const std::string& job, const std::string& programa) {
    std::vector<std::string> textos;
    for (const std::string& nome :
         RenderizaEm(job, programa, Leitor::interpretador, 300, "texto", "txt")) {
        textos.push_back(LeArquivo(nome));
        std::remove(nome.c_str());
    }
    return textos;
}

std::vector<std::string> LeCodigos(const std::string& job, const std::string& programa,
                                   Leitor leitor) {
    const std::vector<std::string> imagens =
        RenderizaEm(job, programa, leitor, 300, "codigos", "png");
    std::string comando = "zbarimg -q --raw";
    for (const std::string& imagem : imagens)
        comando += " " + imagem;
    const std::string lidos = imagens.empty() ? "" : SaidaDe(comando);
    for (const std::string& imagem : imagens)
        std::remove(imagem.c_str());
    return LinhasLidas(lidos);
}

namespace {

// The region of the page, cut out as a grey map file.
void GravaRecorte(const Pagina& p, const Regiao& r, int dpi, const std::string& nome) {
    const int x0 = std::clamp(static_cast<int>(r.x * dpi), 0, p.largura);
    const int y0 = std::clamp(static_cast<int>(r.y * dpi), 0, p.altura);
    const int x1 = std::clamp(static_cast<int>((r.x + r.largura) * dpi), x0, p.largura);
    const int y1 = std::clamp(static_cast<int>((r.y + r.altura) * dpi), y0, p.altura);
    std::ofstream f(nome, std::ios::binary);
    f << "P5\n" << x1 - x0 << ' ' << y1 - y0 << "\n255\n";
    for (int y = y0; y < y1; ++y)
        f.write(
            reinterpret_cast<const char*>(&p.pixels[static_cast<std::size_t>(y) * p.largura + x0]),
            x1 - x0);
}

}  // namespace

std::vector<std::string> LeDataMatrix(const std::string& job, const std::string& programa,
                                      const Regiao& regiao, Leitor leitor) {
    constexpr int kDpi = 300;
    std::string comando = "dmtxread -n -N1";
    std::vector<std::string> recortes;
    for (const Pagina& p : Renderiza(job, kDpi, programa, leitor)) {
        recortes.push_back(Numerado("recorte%03d.pgm", static_cast<int>(recortes.size()) + 1));
        GravaRecorte(p, regiao, kDpi, recortes.back());
        comando += " " + recortes.back();
    }
    const std::string lidos = recortes.empty() ? "" : SaidaDe(comando);
    for (const std::string& recorte : recortes)
        std::remove(recorte.c_str());
    return LinhasLidas(lidos);
}
