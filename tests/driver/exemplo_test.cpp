// The bundled example as printers print it: its barcodes and matrix codes read back from the
// pages of every program, its drawings in the same places on morvex's, morvel's and morvpdf's
// pages, and the PDF's texts as a reader copies them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "support/ferramentas.h"
#include "support/render.h"
#include "support/verificadores.h"

namespace {

// The example's report and logos in the working directory, with the given form beside them.
void CopiaExemplo(const std::string& formulario) {
    EscreveArquivo("relatorio.txt", LeArquivo(kExemplos + "relatorio.txt"));
    EscreveArquivo("logo.bmp", LeArquivo(kExemplos + "logo.bmp"));
    EscreveArquivo("logo.png", LeArquivo(kExemplos + "logo.png"));
    EscreveArquivo("formulario.fmt", formulario);
}

// The example form, and the same form with its logo in colour.
const char* const kFormularios[] = {"formulario.fmt", "formulario-cor.fmt"};

// The texts of the report's symbols: the line of section 3 (i25), the two words of section 5
// (Code 128 and Code 39) and the Pix payment code of section 6 (QR code), as zbarimg reads them
// all; and, for the Data Matrix, the first word of section 5.
struct TextosDoExemplo {
    std::vector<std::string> codigos;
    std::vector<std::string> pedidos;
};

TextosDoExemplo TextosDosCodigos() {
    std::istringstream relatorio(LeArquivo(kExemplos + "relatorio.txt"));
    TextosDoExemplo textos;
    std::string anterior;
    for (std::string linha; std::getline(relatorio, linha); anterior = linha) {
        if (anterior == ".secao 3" || anterior == ".secao 6") textos.codigos.push_back(linha);
        std::istringstream palavras(anterior == ".secao 5" ? linha : "");
        for (std::string palavra; palavras >> palavra;)
            textos.codigos.push_back(palavra);
        if (anterior == ".secao 5") textos.pedidos.push_back(linha.substr(0, linha.find(' ')));
    }
    std::sort(textos.codigos.begin(), textos.codigos.end());
    return textos;
}

// Where the form places the Data Matrix of the order number.
const Regiao kDataMatrixDoPedido = {6.95, 5.0, 0.7, 0.7};

TEST(Exemplo, CodigosLegiveisEmTodosOsJobs) {
    const std::string falta =
        FaltaFerramenta({kMorvex, kMorvel, kMorvpdf}, {kZbarimg, kDmtxread, kPdftoppm});
    if (!falta.empty()) GTEST_SKIP() << falta;
    DiretorioTemporario dir;
    CopiaExemplo(LeArquivo(kExemplos + "formulario.fmt"));
    const TextosDoExemplo esperados = TextosDosCodigos();
    struct Leitura {
        std::string programa;
        Leitor leitor;
    };
    const Leitura leituras[] = {{kMorvex, Leitor::interpretador},
                                {kMorvel, Leitor::interpretador},
                                {kMorvpdf, Leitor::interpretador},
                                {kMorvpdf, Leitor::poppler}};
    for (const auto& [programa, leitor] : leituras) {
        const std::string nome =
            NomePrograma(programa) + (leitor == Leitor::poppler ? " (poppler)" : "");
        // Executa also has the whole job, every command of the example, rendered.
        const Resultado r = Executa(programa, {"relatorio.txt", "formulario.fmt"});
        ASSERT_EQ(r.status, 0) << nome;
        std::vector<std::string> lidos = LeCodigos(r.saida, programa, leitor);
        std::sort(lidos.begin(), lidos.end());
        EXPECT_EQ(lidos, esperados.codigos) << nome;
        EXPECT_EQ(LeDataMatrix(r.saida, programa, kDataMatrixDoPedido, leitor), esperados.pedidos)
            << nome;
    }
}

// The form's drawings: its texts print in each printer's own fonts and are left out. A box
// without a border gets one a dot wide, as its shade prints as a grey in one language and as
// dots in the other: its edges show where it stands.
std::string SoDesenhos(const std::string& formulario) {
    std::istringstream linhas(formulario);
    std::string r;
    for (std::string linha; std::getline(linhas, linha);) {
        const std::string comando = linha.substr(0, linha.find(' '));
        if (comando == "TEXTO" || comando == "INPUT" || comando == "MOSTRA" || comando == "MD5" ||
            comando == "MD5V")
            continue;
        if (comando == "RETANG" && linha.ends_with(" 0")) linha.back() = '1';
        r += linha + "\n";
    }
    return r;
}

// The pages are compared at this resolution: a pixel is a hundredth of an inch.
constexpr int kDpi = 100;
// A pixel darker than this is ink; the light shades of PostScript boxes are not.
constexpr unsigned char kTinta = 128;
// Ink in a run of this many pixels along a row or a column belongs to a drawing; PCL prints
// shades as scattered dots of one or two pixels, which are left out like PostScript's greys.
constexpr int kTracoMinimo = 3;
// The two programs place the form within a pixel of each other; the best shift is sought this
// far, so that a whole form misplaced by a tenth of an inch still shows.
constexpr int kDesvioMaximo = 5;
// Ink counts as in place when the other program has ink this close (in either direction).
constexpr int kTolerancia = 2;
// The share of each program's drawing ink that must be in place on every page. Dashes of
// different lengths and the two interpreters' arcs leave 0.3% out of place on the example; a
// 7-inch rule one dot wide moved by a tenth of an inch puts about 2% more out of place.
constexpr double kLimiar = 0.99;

struct Ponto {
    int x, y;
};

// The ink of a page's drawings, and a map of the pixels within kTolerancia of it.
struct Tinta {
    int largura = 0, altura = 0;
    std::vector<Ponto> pontos;
    std::vector<unsigned char> perto;
    bool Perto(int x, int y) const {
        return x >= 0 && y >= 0 && x < largura && y < altura &&
               perto[static_cast<std::size_t>(y) * static_cast<std::size_t>(largura) +
                     static_cast<std::size_t>(x)];
    }
};

bool Escuro(const Pagina& p, int x, int y) {
    return x >= 0 && y >= 0 && x < p.largura && y < p.altura && p.em(x, y) < kTinta;
}

// Whether the dark pixel (x, y) lies in a run of kTracoMinimo dark pixels along (dx, dy).
bool EmTraco(const Pagina& p, int x, int y, int dx, int dy) {
    int n = 1;
    for (int k = 1; k < kTracoMinimo && Escuro(p, x + k * dx, y + k * dy); ++k)
        ++n;
    for (int k = 1; k < kTracoMinimo && Escuro(p, x - k * dx, y - k * dy); ++k)
        ++n;
    return n >= kTracoMinimo;
}

Tinta TintaDosDesenhos(const Pagina& p) {
    Tinta t{p.largura, p.altura, {}, std::vector<unsigned char>(p.pixels.size(), 0)};
    for (int y = 0; y < p.altura; ++y)
        for (int x = 0; x < p.largura; ++x)
            if (Escuro(p, x, y) && (EmTraco(p, x, y, 1, 0) || EmTraco(p, x, y, 0, 1)))
                t.pontos.push_back({x, y});
    for (const Ponto& q : t.pontos)
        for (int y = std::max(q.y - kTolerancia, 0); y <= std::min(q.y + kTolerancia, p.altura - 1);
             ++y)
            for (int x = std::max(q.x - kTolerancia, 0);
                 x <= std::min(q.x + kTolerancia, p.largura - 1); ++x)
                t.perto[static_cast<std::size_t>(y) * static_cast<std::size_t>(p.largura) +
                        static_cast<std::size_t>(x)] = 1;
    return t;
}

// The share of a's ink, moved by d, that has b's ink close by; a page without ink is in place
// when the other has none either.
double EmLugar(const Tinta& a, const Tinta& b, Ponto d) {
    if (a.pontos.empty()) return b.pontos.empty() ? 1.0 : 0.0;
    std::size_t n = 0;
    for (const Ponto& p : a.pontos)
        n += b.Perto(p.x + d.x, p.y + d.y);
    return static_cast<double>(n) / static_cast<double>(a.pontos.size());
}

// The one shift of a's pages onto b's under which most of their ink is in place.
Ponto MelhorDesvio(const std::vector<Tinta>& a, const std::vector<Tinta>& b) {
    Ponto melhor{0, 0};
    double maximo = 0;
    for (int dy = -kDesvioMaximo; dy <= kDesvioMaximo; ++dy)
        for (int dx = -kDesvioMaximo; dx <= kDesvioMaximo; ++dx) {
            double soma = 0;
            for (std::size_t i = 0; i < a.size(); ++i)
                soma += EmLugar(a[i], b[i], {dx, dy}) + EmLugar(b[i], a[i], {-dx, -dy});
            if (soma > maximo) {
                maximo = soma;
                melhor = {dx, dy};
            }
        }
    return melhor;
}

// The drawings of the example's pages as a program prints them.
std::vector<Tinta> TintasDe(const std::string& programa) {
    const Resultado r = Executa(programa, {"relatorio.txt", "formulario.fmt"});
    EXPECT_EQ(r.status, 0) << NomePrograma(programa);
    std::vector<Tinta> tintas;
    for (const Pagina& p : Renderiza(r.saida, kDpi, programa))
        tintas.push_back(TintaDosDesenhos(p));
    return tintas;
}

// Page by page, each program's drawing ink lies close to the other's.
void ComparaDesenhos(const std::string& um, const std::string& outro) {
    const std::vector<Tinta> a = TintasDe(um), b = TintasDe(outro);
    const std::string na = NomePrograma(um), nb = NomePrograma(outro);
    ASSERT_FALSE(a.empty());
    ASSERT_EQ(a.size(), b.size());
    const Ponto d = MelhorDesvio(a, b);
    std::printf("%s's pages lie (%d, %d) px from %s's at %d dpi\n", na.c_str(), -d.x, -d.y,
                nb.c_str(), kDpi);
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double em_a = EmLugar(a[i], b[i], d);
        const double em_b = EmLugar(b[i], a[i], {-d.x, -d.y});
        std::printf(
            "page %zu: of the drawings' ink, %.2f%% of %s's (%zu px) and %.2f%% of %s's "
            "(%zu px) lie within %d px of the other's; %.0f%% needed\n",
            i + 1, 100 * em_a, na.c_str(), a[i].pontos.size(), 100 * em_b, nb.c_str(),
            b[i].pontos.size(), kTolerancia, 100 * kLimiar);
        EXPECT_GE(em_a, kLimiar) << "page " << i + 1;
        EXPECT_GE(em_b, kLimiar) << "page " << i + 1;
    }
}

// What no byte table shows: the rules, boxes, images and barcodes of the example, its logo a
// bitmap or a colour PNG, land in the same places on the pages of both printer languages, and
// on the PDF's pages as on morvel's.
TEST(Exemplo, DesenhosNosMesmosLugaresNasDuasLinguagens) {
    const std::string falta = FaltaFerramenta({kMorvex, kMorvel}, {});
    if (!falta.empty()) GTEST_SKIP() << falta;
    for (const char* formulario : kFormularios) {
        SCOPED_TRACE(formulario);
        DiretorioTemporario dir;
        CopiaExemplo(SoDesenhos(LeArquivo(kExemplos + formulario)));
        ComparaDesenhos(kMorvex, kMorvel);
    }
}

TEST(Exemplo, DesenhosDoPDFNosLugaresDosDoPostScript) {
    const std::string falta = FaltaFerramenta({kMorvpdf, kMorvel}, {});
    if (!falta.empty()) GTEST_SKIP() << falta;
    for (const char* formulario : kFormularios) {
        SCOPED_TRACE(formulario);
        DiretorioTemporario dir;
        CopiaExemplo(SoDesenhos(LeArquivo(kExemplos + formulario)));
        ComparaDesenhos(kMorvpdf, kMorvel);
    }
}

// The whole form, texts included: the PDF's letters advance by the fonts' own widths, as
// morvel's printer sets them, so each text lies where the printed one does, on both sides.
TEST(Exemplo, TextosDoPDFNosLugaresDosDoPostScript) {
    const std::string falta = FaltaFerramenta({kMorvpdf, kMorvel}, {});
    if (!falta.empty()) GTEST_SKIP() << falta;
    DiretorioTemporario dir;
    CopiaExemplo(LeArquivo(kExemplos + "formulario.fmt"));
    ComparaDesenhos(kMorvpdf, kMorvel);
}

// The stamps of a job or a text, in order: eight groups of four hexadecimal digits.
std::vector<std::string> Carimbos(const std::string& texto) {
    static const std::regex kCarimbo("[0-9a-f]{4}(\\.[0-9a-f]{4}){7}");
    std::vector<std::string> r;
    for (std::sregex_iterator i(texto.begin(), texto.end(), kCarimbo), fim; i != fim; ++i)
        r.push_back(i->str());
    return r;
}

// The customers' names of the report: the columns the form captures from section 1.
std::vector<std::string> NomesDosClientes() {
    std::istringstream relatorio(LeArquivo(kExemplos + "relatorio.txt"));
    std::vector<std::string> nomes;
    std::string anterior;
    for (std::string linha; std::getline(relatorio, linha); anterior = linha)
        if (anterior == ".secao 1") {
            std::string nome = linha.substr(9, 40);
            nome.erase(nome.find_last_not_of(' ') + 1);
            nomes.push_back(nome);
        }
    return nomes;
}

// The PDF's text as a reader copies it: the form's texts with their accented letters, what the
// form takes from the report, and the stamps, the same as morvel's; its fonts travel with it.
TEST(Exemplo, TextosDoPDF) {
    if (!TemPrograma("pdftotext")) GTEST_SKIP() << "pdftotext not found: install poppler-utils";
    DiretorioTemporario dir;
    CopiaExemplo(LeArquivo(kExemplos + "formulario.fmt"));
    const Resultado pdf = Executa(kMorvpdf, {"relatorio.txt", "formulario.fmt", "exemplo.pdf"});
    ASSERT_EQ(pdf.status, 0) << pdf.erro;
    VerificaJobPDF(LeArquivo("exemplo.pdf"));
    const std::string registro_pdf = LeArquivo("md5.tmp");
    const Resultado ps = Executa(kMorvel, {"relatorio.txt", "formulario.fmt"});
    ASSERT_EQ(ps.status, 0);
    EXPECT_EQ(LeArquivo("md5.tmp"), registro_pdf);

    const std::string texto = SaidaDe("pdftotext -raw exemplo.pdf -");
    std::vector<std::string> esperados = {
        "Emiss\u00e3o autom\u00e1tica - n\u00e3o \u00e9 necess\u00e1rio assinar",
        "PEDIDO (C\u00d3DIGO 128)", "REFER\u00caNCIA (C\u00d3DIGO 39)",
        "INSTRU\u00c7\u00d5ES", "Pague pelo c\u00f3digo de barras em qualquer ag\u00eancia.",
        "a autentica\u00e7\u00e3o identifica o documento."};
    for (const std::string& nome : NomesDosClientes())
        esperados.push_back(nome);
    for (const std::string& e : esperados)
        EXPECT_NE(texto.find(e), std::string::npos) << e;
    EXPECT_EQ(Carimbos(texto), Carimbos(ps.saida));
    EXPECT_FALSE(Carimbos(texto).empty());

    // Every font embedded: the fourth column of pdffonts (after the header's two lines).
    std::istringstream fontes(SaidaDe("pdffonts exemplo.pdf"));
    int n = 0;
    for (std::string linha; std::getline(fontes, linha); ++n) {
        if (n < 2) continue;
        EXPECT_NE(linha.find(" yes "), std::string::npos) << linha;
        // Embedded and subset: a customer's file carries only the glyphs it draws.
        EXPECT_NE(linha.find(" yes yes "), std::string::npos) << linha;
    }
    EXPECT_GT(n, 2);
}

}  // namespace

namespace {

// A customer's file of one sheet of the example may hold this many bytes: small enough to mail
// by the thousand, with its form, its logo and the glyphs of its own texts.
constexpr std::uintmax_t kArquivoDeClienteMaximo = 25000;

// Each customer of the example gets a file of one sheet of its own, within the size a mailer
// can send by the thousand.
TEST(Exemplo, ArquivosDosClientesPequenos) {
    DiretorioTemporario dir;
    CopiaExemplo(LeArquivo(kExemplos + "formulario.fmt"));
    const Resultado r =
        Executa(kMorvpdf, {"-d", "saida", "-n", "NOME", "relatorio.txt", "formulario.fmt"});
    ASSERT_EQ(r.status, 0) << r.erro;
    std::size_t arquivos = 0;
    for (const auto& e : std::filesystem::directory_iterator("saida")) {
        if (e.path().extension() != ".pdf") continue;
        ++arquivos;
        EXPECT_LE(e.file_size(), kArquivoDeClienteMaximo) << e.path();
        VerificaJobPDF(LeArquivo(e.path().string()));
    }
    EXPECT_EQ(arquivos, NomesDosClientes().size());
}

}  // namespace
