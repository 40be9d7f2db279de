// The filters, run directly as the spooler runs them and behind a real spooler (a private cupsd
// with one queue per case, each job printing into a file of its own), fed the example report. A
// job prints, byte for byte, what the program writes for the same report and forms (a PDF: the
// same pages, once, whatever the copies), with its messages passed on as warnings; a refused job
// prints nothing, says why as an error and ends with 1; nothing is ever left in the spooler's
// TMPDIR. A report sent to a queue of CUPS's own generic PostScript model with our document
// format prints through texttomorvpdf and CUPS's PDF chain.
#include <cups/ipp.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/cupsd_privado.h"
#include "support/ferramentas.h"
#include "support/render.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPaginasExemplo = 4;
// The pages of the example's PDF, each sheet's front and back: what CUPS's PDF chain counts.
constexpr int kFacesExemplo = 2 * kPaginasExemplo;
// Our document format, which brings a report to texttomorvpdf on any queue that takes PDF.
const std::string kFormatoRelatorio = "application/vnd.morv-relatorio";
// The queues of the PDF path: CUPS's generic PostScript printer, which takes PDF through CUPS's
// own PDF chain (pdftopdf, pdftops).
constexpr const char* kModeloGenerico = "drv:///sample.drv/generic.ppd";
// Low, as only equality counts: two PDFs of one job differ in their dates, never in their pages.
constexpr int kDpiComparacao = 30;
// A filter's status for a job it did not print.
constexpr int kFalhaFiltro = 1;
const std::string kRelatorio = kExemplos + "relatorio.txt";
// What the filters add to the directory of each job's own.
const std::string kPrefixoPasta = "morv-filtro-";

std::string Filtro(const std::string& modelo) {
    if (modelo == "morvpdf") return TEXTTOMORVPDF_BIN;
    return modelo == "morvex" ? TEXTTOMORVEX_BIN : TEXTTOMORVEL_BIN;
}

std::string Programa(const std::string& modelo) {
    if (modelo == "morvpdf") return kMorvpdf;
    return modelo == "morvex" ? kMorvex : kMorvel;
}

// A PDF's pages as Ghostscript draws them.
std::vector<std::vector<unsigned char>> PaginasPDF(const std::string& pdf) {
    std::vector<std::vector<unsigned char>> paginas;
    for (const Pagina& p : Renderiza(pdf, kDpiComparacao, kMorvpdf))
        paginas.push_back(p.pixels);
    return paginas;
}

// The forms directory of the tests, made the working directory: the example form and its logo,
// four forms that differ (each prints its own name), one with an error in its first line, and
// one that prints with warnings (a missing logo, a barcode of letters).
class Formularios {
  public:
    Formularios() {
        chmod(dir_.caminho().c_str(), 0755);
        const std::string exemplo = LeArquivo(kExemplos + "formulario.fmt");
        EscreveArquivo("exemplo.fmt", exemplo);
        EscreveArquivo("logo.bmp", LeArquivo(kExemplos + "logo.bmp"));
        for (const char* nome : {"f1", "f2", "f3", "f4"})
            EscreveArquivo(std::string(nome) + ".fmt",
                           exemplo + "TEXTO 1 0.3 A10 N \"" + nome + "\"\n");
        EscreveArquivo("vias.fmt", LeArquivo(kExemplos + "vias.fmt"));
        EscreveArquivo("ruim.fmt", "DESCONHECIDO\n");
        EscreveArquivo("avisos.fmt", "IMAGEM 1 1 1 1 nada.bmp\nCODBAR 1 2 1 i25 0\n");
    }
    const std::string& caminho() const { return dir_.caminho(); }
    // The format files of a form list ("a" or "a,b,c,d"), as the filter names them.
    std::vector<std::string> Caminhos(const std::string& lista) const {
        std::vector<std::string> caminhos;
        std::istringstream nomes(lista);
        for (std::string nome; std::getline(nomes, nome, ',');)
            caminhos.push_back(caminho() + "/" + nome + ".fmt");
        return caminhos;
    }
    // The program itself on the example report with the forms of the list, after `opcoes`.
    Resultado Direto(const std::string& modelo, const std::string& lista,
                     const std::vector<std::string>& opcoes = {}) const {
        std::vector<std::string> argumentos = opcoes;
        argumentos.push_back(kRelatorio);
        for (const std::string& c : Caminhos(lista))
            argumentos.push_back(c);
        return Executa(Programa(modelo), argumentos);
    }

  private:
    DiretorioTemporario dir_;
};

// Each line of the text as a line of the filter at that level.
std::string Linhas(const std::string& nivel, const std::string& texto) {
    std::string r;
    std::istringstream linhas(texto);
    for (std::string linha; std::getline(linhas, linha);)
        r += nivel + ": " + linha + "\n";
    return r;
}

// What the filter writes after the job of a run that printed: its page lines, but for a PDF,
// whose pages CUPS's PDF chain counts.
std::string PaginasEInfo(const std::string& modelo, const std::string& formulario, long paginas,
                         int copias) {
    std::string r;
    for (long p = 1; modelo != "morvpdf" && p <= paginas * copias; ++p)
        r += "PAGE: " + std::to_string(p) + " 1\n";
    return r + "INFO: Formulario [" + formulario +
           "] impresso - paginas: " + std::to_string(paginas) +
           ", copias: " + std::to_string(copias) + "\n";
}

// Where the last line of a text begins (a last line end belongs to it).
std::size_t InicioUltimaLinha(const std::string& texto) {
    if (texto.size() < 2) return 0;
    const std::size_t antes = texto.rfind('\n', texto.size() - 2);
    return antes == std::string::npos ? 0 : antes + 1;
}

// Every line of the text starts with `inicio`.
bool TodasComecamCom(const std::string& texto, const std::string& inicio) {
    std::istringstream linhas(texto);
    for (std::string linha; std::getline(linhas, linha);)
        if (linha.rfind(inicio, 0) != 0) return false;
    return true;
}

std::vector<std::string> Conteudo(const std::string& pasta) {
    std::vector<std::string> nomes;
    std::error_code erro;
    for (const auto& e : fs::directory_iterator(pasta, erro))
        nomes.push_back(e.path().filename().string());
    return nomes;
}

struct CasoDireto {
    const char* nome;
    const char* modelo;                   // morvex, morvel or morvpdf: its filter
    std::vector<std::string> argumentos;  // after the filter's name; 5: the report on stdin
    std::string formularios;  // the forms the program is run with for the expected job; empty:
                              // the filter refuses the job itself, saying `erro`
    std::string erro = "";
    std::string nomeado = "";     // the form a failed four-form job names
    std::string padrao_ppd = "";  // the queue model's default form
    bool tmpdir_relativo = false;
    std::vector<std::string> opcoes = {};  // the program's shifts the job is printed with
    std::string ppd_extra = "";            // further defaults of the queue model
};

const CasoDireto kDiretos[] = {
    {"uso",
     "morvex",
     {"1", "u", "t", "1"},
     "",
     "Uso: texttomorvex trabalho usuario titulo copias opcoes [arquivo]\n"},
    {"copias invalidas",
     "morvel",
     {"1", "u", "t", "0", "formulario=exemplo", kRelatorio},
     "",
     "ERROR: Numero de copias invalido [0]\n"},
    {"sem formulario",
     "morvex",
     {"1", "u", "t", "1", "", kRelatorio},
     "",
     "ERROR: Formulario nao informado (lp -o formulario=NOME)\n"},
    // A control character a client sent is not echoed into the spooler's log.
    {"nome com controle",
     "morvex",
     {"1", "u", "t", "1",
      "formulario=a\x1b[2Jb\x07"
      "c",
      kRelatorio},
     "",
     "ERROR: Nome de formulario invalido [a?[2Jb?c]\n"},
    {"duas copias", "morvex", {"7", "u", "t", "2", "formulario=exemplo", kRelatorio}, "exemplo"},
    // The PDF goes out once: CUPS's PDF chain makes the copies.
    {"PDF de duas copias",
     "morvpdf",
     {"7", "u", "t", "2", "formulario=exemplo", kRelatorio},
     "exemplo"},
    {"relatorio na entrada", "morvel", {"7", "u", "t", "1", "formulario=exemplo"}, "exemplo"},
    {"valor personalizado",
     "morvel",
     {"7", "u", "t", "1", "formulario=Custom.exemplo", kRelatorio},
     "exemplo"},
    {"padrao do modelo",
     "morvex",
     {"7", "u", "t", "1", "", kRelatorio},
     "exemplo",
     "",
     "",
     "Custom.exemplo"},
    // The example's one print run has the page heading and is narrow: the third form.
    {"quatro formularios",
     "morvel",
     {"7", "u", "t", "1", "formulario=f1,f2,f3,f4", kRelatorio},
     "f1,f2,f3,f4"},
    {"quatro com erro no escolhido",
     "morvex",
     {"7", "u", "t", "1", "formulario=f1,f2,ruim,f4", kRelatorio},
     "f1,f2,ruim,f4",
     "",
     "ruim"},
    {"avisos", "morvel", {"7", "u", "t", "1", "formulario=avisos", kRelatorio}, "avisos"},
    {"formulario inexistente", "morvex", {"7", "u", "t", "1", "formulario=nao", kRelatorio}, "nao"},
    {"TMPDIR relativo",
     "morvex",
     {"7", "u", "t", "1", "formulario=exemplo", kRelatorio},
     "exemplo",
     "",
     "",
     "",
     true},
    // The shifts of the sides, the job's own or the queue model's, reach the program, which
    // refuses one that is no shift.
    {"deslocamentos do trabalho",
     "morvex",
     {"7", "u", "t", "1", "formulario=exemplo deslocamento=0.04,-0.02 deslocamento-verso=0,0.1",
      kRelatorio},
     "exemplo",
     "",
     "",
     "",
     false,
     {"-s", "0.04,-0.02", "-S", "0,0.1"}},
    {"deslocamento invalido",
     "morvel",
     {"7", "u", "t", "1", "formulario=exemplo deslocamento=0,04", kRelatorio},
     "exemplo",
     "",
     "",
     "",
     false,
     {"-s", "0,04"}},
    {"deslocamento do modelo",
     "morvpdf",
     {"7", "u", "t", "1", "formulario=exemplo", kRelatorio},
     "exemplo",
     "",
     "",
     "",
     false,
     {"-s", "0.5,0.25"},
     "*Defaultdeslocamento: Custom.0.5,0.25\n"},
};

// Without a spooler: the filter run as the spooler runs it, its status, job, page lines and
// messages against the program's own run on the same forms.
TEST(FiltrosCups, ExecutadosDiretamente) {
    Formularios formularios;
    VariavelTrocada pasta("MORV_FORMULARIOS", formularios.caminho());
    VariavelTrocada ppd("PPD", "");
    TmpdirPrivado tmpdir;
    const std::string relatorio = LeArquivo(kRelatorio);
    for (const CasoDireto& c : kDiretos) {
        SCOPED_TRACE(c.nome);
        std::optional<VariavelTrocada> modelo, relativo;
        if (!c.padrao_ppd.empty() || !c.ppd_extra.empty()) {
            EscreveArquivo("fila.ppd",
                           "*PPD-Adobe: \"4.3\"\n*OpenUI *formulario: PickOne\n"
                           "*Defaultformulario: " +
                               c.padrao_ppd + "\n*CloseUI: *formulario\n" + c.ppd_extra);
            modelo.emplace("PPD", formularios.caminho() + "/fila.ppd");
        }
        fs::create_directory("tmp");
        if (c.tmpdir_relativo) relativo.emplace("TMPDIR", "tmp");
        const Resultado r =
            Executa(Filtro(c.modelo), c.argumentos, c.argumentos.size() == 5 ? relatorio : "");

        std::string saida, erro = c.erro;
        int status = kFalhaFiltro;
        if (!c.formularios.empty()) {
            const Resultado direto = formularios.Direto(c.modelo, c.formularios, c.opcoes);
            const int copias = std::stoi(c.argumentos[3]);
            if (direto.status == 0) {
                status = 0;
                saida = c.modelo == std::string("morvpdf") ? direto.saida
                                                           : Repete(direto.saida, copias);
                erro = Linhas("WARNING", direto.erro) +
                       PaginasEInfo(c.modelo, c.formularios, kPaginasExemplo, copias);
            } else {
                // The line that says why the job stopped names the form of a four-form list.
                const std::size_t ultima = InicioUltimaLinha(direto.erro);
                const std::string nomeado =
                    c.nomeado.empty() ? "" : "Formulario [" + c.nomeado + "]: ";
                erro = Linhas("ERROR", direto.erro.substr(0, ultima)) +
                       Linhas("ERROR", nomeado + direto.erro.substr(ultima));
            }
        }
        EXPECT_EQ(r.status, status);
        if (c.modelo == std::string("morvpdf") && !saida.empty()) {
            // One document, however many copies: a PDF written twice over is no PDF.
            EXPECT_EQ(r.saida.find("%%EOF"), r.saida.rfind("%%EOF"));
            EXPECT_TRUE(PaginasPDF(r.saida) == PaginasPDF(saida));
        } else {
            EXPECT_TRUE(r.saida == saida) << r.saida.size() << " bytes printed, " << saida.size();
        }
        EXPECT_EQ(r.erro, erro);
        EXPECT_EQ(Conteudo(tmpdir.caminho()), std::vector<std::string>{});
        EXPECT_EQ(Conteudo("tmp"), std::vector<std::string>{});
    }
}

// A job that dies (here of std::bad_alloc, loading a form of 200,000 lines in 64 MiB) is an
// error with its signal, and leaves nothing behind.
TEST(FiltrosCups, TrabalhoSemMemoria) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit leaves";
#endif
    constexpr std::size_t kMemoria = 64 * 1024 * 1024;
    constexpr int kLinhas = 200000;
    Formularios formularios;
    std::string grande;
    for (int i = 0; i < kLinhas; ++i)
        grande += "TEXTO 1 1 A10 N \"linha " + std::to_string(i) + "\"\n";
    EscreveArquivo("grande.fmt", grande);
    VariavelTrocada pasta("MORV_FORMULARIOS", formularios.caminho());
    TmpdirPrivado tmpdir;
    for (const char* modelo : {"morvex", "morvel"}) {
        SCOPED_TRACE(modelo);
        const Resultado r = ExecutaComMemoria(
            kMemoria, Filtro(modelo), {"7", "u", "t", "1", "formulario=grande", kRelatorio});
        EXPECT_EQ(r.status, kFalhaFiltro);
        EXPECT_EQ(r.saida, "");
        const std::string sinal = "ERROR: Erro na execucao do " + std::string(modelo) +
                                  " - sinal " + std::to_string(SIGABRT) + " [" +
                                  strsignal(SIGABRT) + "]\n";
        ASSERT_GE(r.erro.size(), sinal.size()) << r.erro;
        EXPECT_EQ(r.erro.substr(r.erro.size() - sinal.size()), sinal) << r.erro;
        EXPECT_TRUE(TodasComecamCom(r.erro, "ERROR: ")) << r.erro;
        EXPECT_EQ(Conteudo(tmpdir.caminho()), std::vector<std::string>{});
    }
}

// A backend gone before the job is sent: the filter says so and leaves nothing behind, where
// SIGPIPE would have ended it with the job's directory still there.
TEST(FiltrosCups, SaidaSemLeitor) {
    Formularios formularios;
    VariavelTrocada pasta("MORV_FORMULARIOS", formularios.caminho());
    TmpdirPrivado tmpdir;
    for (const char* modelo : {"morvex", "morvel", "morvpdf"}) {
        SCOPED_TRACE(modelo);
        const Resultado r = ExecutaSemLeitor(
            Filtro(modelo), {"7", "u", "t", "1", "formulario=exemplo", kRelatorio});
        EXPECT_EQ(r.status, kFalhaFiltro);
        EXPECT_EQ(r.erro, "ERROR: Erro na gravacao do arquivo [stdout]\n");
        EXPECT_EQ(Conteudo(tmpdir.caminho()), std::vector<std::string>{});
    }
}

// A full TMPDIR: the program's message, which used to go to a file on that same disk, reaches
// the spooler; the job prints nothing and leaves nothing.
TEST(FiltrosCups, TmpdirCheio) {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
    Formularios formularios;
    const std::string cheio = formularios.caminho() + "/cheio";
    fs::create_directory(cheio);
    if (mount("tmpfs", cheio.c_str(), "tmpfs", 0, "size=48k") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    const struct Desmonta {
        const std::string& ponto;
        ~Desmonta() { umount(ponto.c_str()); }
    } desmonta{cheio};
    std::string relatorio;
    for (int i = 0; i < 30; ++i)
        relatorio += LeArquivo(kRelatorio);
    EscreveArquivo("grande.txt", relatorio);
    VariavelTrocada pasta("MORV_FORMULARIOS", formularios.caminho());
    VariavelTrocada tmpdir("TMPDIR", cheio);
    for (const char* modelo : {"morvex", "morvel"}) {
        SCOPED_TRACE(modelo);
        const Resultado r =
            Executa(Filtro(modelo), {"7", "u", "t", "1", "formulario=exemplo", "grande.txt"});
        EXPECT_EQ(r.status, kFalhaFiltro);
        EXPECT_EQ(r.saida, "");
        const std::string erro =
            "ERROR: Erro na criacao do arquivo temporario [" + cheio + "/" + kPrefixoPasta + "7-";
        EXPECT_EQ(r.erro.rfind(erro, 0), 0u) << r.erro;
        EXPECT_EQ(Conteudo(cheio), std::vector<std::string>{});
    }
}

struct Caso {
    const char* fila;        // a queue of its own (no '-')
    const char* modelo;      // printer model and program: morvex or morvel; generico: CUPS's
                             // generic PostScript model, the job sent as our document format
    const char* opcao_fila;  // lpadmin -o ..., or none
    const char* formulario;  // lp -o formulario=..., or none
    const char* impresso;    // the forms of the job it prints; none: the job is refused
    int copias;              // lp -n
    int trabalhos;           // jobs submitted at once
    const char* nivel;       // the level of its message in the spooler's log: "E ", "W ", any
    const char* mensagem;    // what each job says there
    const char* opcao_lp = nullptr;        // a further lp -o of the job
    std::vector<std::string> opcoes = {};  // the program's shifts the job is printed with
    int folhas = kPaginasExemplo;          // sheets of one copy
};

// clang-format off
const Caso casos[] = {
    {"pcl", "morvex", nullptr, "exemplo", "exemplo", 1, 1, "", "[exemplo] impresso - paginas: 4, copias: 1"},
    {"ps", "morvel", nullptr, "exemplo", "exemplo", 1, 1, "", "[exemplo] impresso - paginas: 4, copias: 1"},
    {"copias", "morvex", nullptr, "exemplo", "exemplo", 2, 1, "", "[exemplo] impresso - paginas: 4, copias: 2"},
    {"quatro", "morvel", nullptr, "f1,f2,f3,f4", "f1,f2,f3,f4", 1, 1, "", "[f1,f2,f3,f4] impresso"},
    {"dois", "morvel", nullptr, "exemplo", "exemplo", 1, 2, "", "[exemplo] impresso - paginas: 4, copias: 1"},
    {"padrao", "morvex", "formulario-default=exemplo", nullptr, "exemplo", 1, 1, "", "[exemplo] impresso"},
    {"modelo", "morvel", "formulario=Custom.exemplo", nullptr, "exemplo", 1, 1, "", "[exemplo] impresso"},
    {"avisos", "morvex", nullptr, "avisos", "avisos", 1, 1, "W ", "Codigo de barras invalido ["},
    {"desconhecido", "morvex", nullptr, "nenhum", nullptr, 1, 1, "E ", "/nenhum.fmt] #2"},
    {"passwd", "morvex", nullptr, "../etc/passwd", nullptr, 1, 1, "E ", "formulario invalido [../etc/passwd]"},
    {"sem_formulario", "morvel", nullptr, nullptr, nullptr, 1, 1, "E ", "Formulario nao informado"},
    {"pdf", "generico", nullptr, "exemplo", "exemplo", 2, 1, "", "[exemplo] impresso - paginas: 4, copias: 2"},
    {"pdf_desconhecido", "generico", nullptr, "nenhum", nullptr, 1, 1, "E ", "/nenhum.fmt] #2"},
    // The queue's shift, and the job's own for the back, reach the printer; every copy of a copy
    // set is a sheet of the page log.
    {"desloc_fila", "morvex", "deslocamento-default=0.04,-0.02", "exemplo", "exemplo", 1, 1, "", "[exemplo] impresso", nullptr, {"-s", "0.04,-0.02"}},
    {"desloc_trabalho", "morvel", "deslocamento-default=0.04,-0.02", "exemplo", "exemplo", 1, 1, "", "[exemplo] impresso", "deslocamento-verso=0.1,0", {"-s", "0.04,-0.02", "-S", "0.1,0"}},
    {"desloc_modelo", "morvex", "deslocamento=Custom.0.04,-0.02", "exemplo", "exemplo", 1, 1, "", "[exemplo] impresso", nullptr, {"-s", "0.04,-0.02"}},
    {"vias", "morvex", nullptr, "vias", "vias", 1, 1, "", "[vias] impresso - paginas: 8, copias: 1", nullptr, {}, 2 * kPaginasExemplo},
};
// clang-format on

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
    Formularios formularios;
    std::map<std::string, std::string> esperado;
    auto chave = [](const Caso& c) {
        std::string k = std::string(c.modelo) + c.impresso;
        for (const std::string& o : c.opcoes)
            k += " " + o;
        return k;
    };
    for (const Caso& c : casos)
        if (c.impresso != nullptr && c.modelo != std::string("generico"))
            esperado[chave(c)] = formularios.Direto(c.modelo, c.impresso, c.opcoes).saida;
    // A job printed through the PDF chain has the barcodes of morvel's job of the same form.
    const bool le_codigos = FaltaFerramenta({kMorvel}, {kZbarimg}).empty();
    std::vector<std::string> codigos;
    if (le_codigos) codigos = LeCodigos(esperado.at("morvelexemplo"));
    std::sort(codigos.begin(), codigos.end());

    CupsdPrivado cupsd({TEXTTOMORVEX_BIN, TEXTTOMORVEL_BIN, TEXTTOMORVPDF_BIN},
                       {{"MORV_FORMULARIOS", formularios.caminho()}},
                       {MORV_TIPOS, MORV_CONVERSOES});
    ASSERT_TRUE(cupsd.pronto()) << cupsd.Log("error_log");
    std::vector<std::string> filas;
    for (const Caso& c : casos) {
        const bool generico = c.modelo == std::string("generico");
        Resultado r = cupsd.Cliente(
            "lpadmin",
            {"-p", c.fila, "-E", "-v", cupsd.Dispositivo(c.fila), generico ? "-m" : "-P",
             generico ? kModeloGenerico : MORV_MODELOS "/" + std::string(c.modelo) + ".ppd"});
        ASSERT_EQ(r.status, 0) << r.erro;
        if (c.opcao_fila) {
            r = cupsd.Cliente("lpadmin", {"-p", c.fila, "-o", c.opcao_fila});
            ASSERT_EQ(r.status, 0) << r.erro;
        }
        // Held until every job is in, so that the queues print at the same time.
        ASSERT_EQ(cupsd.Cliente("cupsdisable", {c.fila}).status, 0);
        filas.push_back(c.fila);
    }
    std::map<std::string, std::vector<std::string>> trabalhos;
    for (const Caso& c : casos) {
        for (int i = 0; i < c.trabalhos; ++i) {
            std::vector<std::string> argumentos = {"-d", c.fila, "-n", std::to_string(c.copias)};
            // The form's paper, which the PDF chain would otherwise scale to the queue's.
            if (c.modelo == std::string("generico"))
                argumentos.insert(argumentos.end(),
                                  {"-o", "document-format=" + kFormatoRelatorio, "-o", "media=A4"});
            if (c.formulario)
                argumentos.insert(argumentos.end(),
                                  {"-o", std::string("formulario=") + c.formulario});
            if (c.opcao_lp) argumentos.insert(argumentos.end(), {"-o", c.opcao_lp});
            argumentos.push_back(kRelatorio);
            const Resultado r = cupsd.Cliente("lp", argumentos);
            ASSERT_EQ(r.status, 0) << r.erro;
            // "request id is pcl-12 (1 file(s))"
            const std::string id = r.saida.substr(r.saida.find(" is ") + 4);
            trabalhos[c.fila].push_back(id.substr(0, id.find(' ')));
        }
    }
    // The printer models offer both shifts, as the clients and the web interface list them.
    const std::string listadas = cupsd.Cliente("lpoptions", {"-p", "desloc_fila", "-l"}).saida;
    EXPECT_NE(listadas.find("deslocamento/"), std::string::npos) << listadas;
    EXPECT_NE(listadas.find("deslocamento-verso/"), std::string::npos) << listadas;
    ASSERT_EQ(cupsd.Cliente("cupsenable", filas).status, 0);
    ASSERT_TRUE(cupsd.EsperaTrabalhos()) << cupsd.Cliente("lpstat", {"-l", "-o"}).saida;
    const std::string page_log = cupsd.Log("page_log");
    const std::string error_log = cupsd.Log("error_log");
    const std::vector<std::string> sobras = Conteudo(cupsd.Temporarios());

    for (const Caso& c : casos) {
        SCOPED_TRACE(c.fila);
        const bool imprime = c.impresso != nullptr;
        const bool generico = c.modelo == std::string("generico");
        const int copias = imprime ? c.copias : 0;
        const std::string job = imprime && !generico ? Repete(esperado.at(chave(c)), copias) : "";
        // The PDF chain counts pages, each copy once: the filter counts none of them.
        const std::string folhas =
            "] total " + std::to_string((generico ? kFacesExemplo : c.folhas) * copias) + " ";
        for (const std::string& trabalho : trabalhos[c.fila]) {
            SCOPED_TRACE(trabalho);
            const std::string impresso = cupsd.Impresso(trabalho);
            if (generico && imprime) {
                // Ghostscript draws each page as many times as the job's copies ask.
                std::vector<std::string> lidos, copias_dos_codigos;
                if (le_codigos) lidos = LeCodigos(impresso);
                std::sort(lidos.begin(), lidos.end());
                for (const std::string& codigo : codigos)
                    copias_dos_codigos.insert(copias_dos_codigos.end(), copias, codigo);
                EXPECT_EQ(lidos, copias_dos_codigos);
            } else {
                EXPECT_TRUE(impresso == job) << impresso.size() << " bytes printed, " << job.size();
            }
            const std::string numero = trabalho.substr(trabalho.find('-') + 1);
            EXPECT_TRUE(NoLog(page_log, c.fila, " " + numero + " [", folhas));
            // A refused job's message is an error of the job, a printed job's a warning or note.
            EXPECT_TRUE(NoLog(error_log, c.nivel, "[Job " + numero + "] ", c.mensagem));
            EXPECT_EQ(cupsd.EstadoTrabalho(trabalho),
                      imprime ? IPP_JSTATE_COMPLETED : IPP_JSTATE_STOPPED);
            if (!imprime) {
                EXPECT_TRUE(NoLog(error_log, "", "[Job " + numero + "] ", "stopped with status 1"));
            }
            for (const std::string& sobra : sobras)
                EXPECT_NE(sobra.rfind(kPrefixoPasta + numero + "-", 0), 0u) << sobra;
        }
    }
}

// The spooler cancels a job by SIGTERM to its filter: the filter, whose job still waits for the
// rest of its report, ends the job's process, removes its directory and ends as a job not
// printed.
TEST(FiltrosCups, TrabalhoCanceladoNaoDeixaNada) {
    Formularios formularios;
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
    // The trace shows the job's directory made, and its removal armed; the job then waits on
    // the pipe for a report that never ends.
    EXPECT_TRUE(Espera([&] {
        for (const auto& job : fs::directory_iterator(tmpdir.caminho()))
            if (ExisteArquivo(job.path() / "vodrel.dbg")) return true;
        return false;
    }));
    kill(filtro, SIGTERM);
    int estado = 0;
    waitpid(filtro, &estado, 0);
    close(relatorio[1]);
    EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == kFalhaFiltro) << estado;
    EXPECT_TRUE(fs::is_empty(tmpdir.caminho()));
}

}  // namespace
