// PNG logos as each program prints them: in colour where the page can show it (poppler's and
// Ghostscript's renders), dithered greys in PCL (gpcl6's), transparent parts leaving the page
// as it is, and once in a PDF however many pages show it (pdfimages).
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/ferramentas.h"
#include "support/png.h"
#include "support/render.h"

namespace {

// A red square and a blue one, 60 pixels a side, on a transparent background of 200 by 100
// pixels (transparent black, as design programs save it); drawn 2 by 1 inches at (1, 1), over
// a box of 30% shade.
const std::string kFormaCores =
    "PAPEL A4\n"
    "RETANG 0.5 0.5 3 2 30 0\n"
    "IMAGEM 1 1 2 1 cores.png\n";
// Three pages in two batches: each batch draws its form anew, the document holds one image.
const std::string kTresPaginas = "APA00QTD00\nA\n\fB\nAPA00QTD00\nC\n";

std::string PngCores() {
    return PngRGBA(200, 100, [](int x, int y) -> Rgba {
        if (y < 20 || y >= 80) return {0, 0, 0, 0};
        if (x >= 20 && x < 80) return {255, 0, 0, 255};
        if (x >= 120 && x < 180) return {0, 0, 255, 255};
        return {0, 0, 0, 0};
    });
}

// Places on the page, in inches: the squares' middles, the transparent gap between them, and
// the box beside the picture.
struct Lugar {
    double x, y;
};
constexpr Lugar kVermelho = {1.5, 1.5}, kAzul = {2.5, 1.5}, kVao = {2.0, 1.5}, kCaixa = {0.7, 0.7};

// The mean of each component over a square of a fifth of an inch around the place.
std::vector<double> Media(const Pagina& p, Lugar l, int dpi) {
    const int lado = dpi / 5, x0 = static_cast<int>(l.x * dpi) - lado / 2,
              y0 = static_cast<int>(l.y * dpi) - lado / 2;
    std::vector<double> soma(static_cast<std::size_t>(p.canais), 0.0);
    for (int y = y0; y < y0 + lado; ++y)
        for (int x = x0; x < x0 + lado; ++x)
            for (int c = 0; c < p.canais; ++c)
                soma[static_cast<std::size_t>(c)] += p.canais == 3 ? p.cor(x, y, c) : p.em(x, y);
    for (double& s : soma)
        s /= lado * lado;
    return soma;
}

std::string Componentes(const std::vector<double>& v) {
    std::ostringstream s;
    for (double c : v)
        s << static_cast<int>(c) << ' ';
    return s.str();
}

// Red where the red square is, blue where the blue one is, and the box's own grey in the gap,
// on every page.
void ConfereCores(const std::vector<Pagina>& paginas, int dpi, const std::string& quem) {
    ASSERT_EQ(paginas.size(), 3u) << quem;
    for (const Pagina& p : paginas) {
        const auto vermelho = Media(p, kVermelho, dpi), azul = Media(p, kAzul, dpi),
                   vao = Media(p, kVao, dpi), caixa = Media(p, kCaixa, dpi);
        EXPECT_TRUE(vermelho[0] > 220 && vermelho[1] < 35 && vermelho[2] < 35)
            << quem << ": red square " << Componentes(vermelho);
        EXPECT_TRUE(azul[0] < 35 && azul[1] < 35 && azul[2] > 220)
            << quem << ": blue square " << Componentes(azul);
        EXPECT_LT(caixa[0], 230) << quem << ": the box is not shaded";
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(vao[c], caixa[c], 8) << quem << ": the gap is not the box's "
                                             << Componentes(vao) << "/ " << Componentes(caixa);
    }
}

class Imagens : public ::testing::Test {
  protected:
    void SetUp() override { EscreveArquivo("r.txt", kTresPaginas); }
    DiretorioTemporario dir_;
};

TEST_F(Imagens, CoresNoPDFUmaVezPorDocumento) {
    const std::string falta = FaltaFerramenta({}, {kPdftoppm});
    if (!falta.empty() || !TemPrograma("pdfimages")) GTEST_SKIP() << "install poppler-utils";
    EscreveArquivo("cores.png", PngCores());
    EscreveArquivo("f.fmt", kFormaCores);
    const Resultado r = Executa(kMorvpdf, {"r.txt", "f.fmt", "job.pdf"});
    ASSERT_EQ(r.status, 0) << r.erro;
    // page num type width height color comp bpc enc interp object ID ...: an image in RGB
    // and its soft mask on each page, all of them one object.
    std::istringstream lista(SaidaDe("pdfimages -list job.pdf"));
    std::multiset<std::string> tipos;
    std::set<std::string> objetos;
    int n = 0;
    for (std::string linha; std::getline(lista, linha); ++n) {
        if (n < 2) continue;
        std::istringstream campos(linha);
        std::string pagina, num, tipo, largura, altura, cor, comp, bpc, enc, interp, objeto;
        campos >> pagina >> num >> tipo >> largura >> altura >> cor >> comp >> bpc >> enc >>
            interp >> objeto;
        tipos.insert(tipo + " " + cor + " " + largura + "x" + altura);
        objetos.insert(objeto);
    }
    EXPECT_EQ(tipos.count("image rgb 200x100"), 3u);
    EXPECT_EQ(tipos.count("smask gray 200x100"), 3u);
    EXPECT_EQ(tipos.size(), 6u);
    EXPECT_EQ(objetos.size(), 1u);
    ConfereCores(RenderizaEmCores(LeArquivo("job.pdf"), 50, kMorvpdf, Leitor::poppler), 50,
                 "poppler");
}

TEST_F(Imagens, CoresNoPostScript) {
    const std::string falta = FaltaFerramenta({kMorvel}, {});
    if (!falta.empty()) GTEST_SKIP() << falta;
    EscreveArquivo("cores.png", PngCores());
    EscreveArquivo("f.fmt", kFormaCores);
    const Resultado r = Executa(kMorvel, {"r.txt", "f.fmt"});
    ASSERT_EQ(r.status, 0) << r.erro;
    ConfereCores(RenderizaEmCores(r.saida, 50, kMorvel), 50, "Ghostscript");
}

// A picture of scattered transparency, every other pixel drawn, each row its own red to
// yellow: its clipping path is cut into bands of rows, each band drawn as an image of its own.
// Every pixel at its place shows its own colour, or the shaded box.
TEST_F(Imagens, TransparenciaEspalhadaNoPostScript) {
    const std::string falta = FaltaFerramenta({kMorvel}, {});
    if (!falta.empty()) GTEST_SKIP() << falta;
    constexpr int kLado = 100, kDpi = 300;
    EscreveArquivo("xadrez.png", PngRGBA(kLado, kLado, [](int x, int y) -> Rgba {
                       return {255, static_cast<unsigned char>(2 * y), 0,
                               static_cast<unsigned char>((x + y) % 2 == 0 ? 255 : 0)};
                   }));
    EscreveArquivo("f.fmt", "PAPEL A4\nRETANG 0.5 0.5 2 2 30 0\nIMAGEM 1 1 1 1 xadrez.png\n");
    EscreveArquivo("r.txt", "A\n");
    const Resultado r = Executa(kMorvel, {"r.txt", "f.fmt"});
    ASSERT_EQ(r.status, 0) << r.erro;
    std::size_t imagens = 0;
    for (std::size_t p = 0; (p = r.saida.find("{image flushfile}", p)) != std::string::npos; ++p)
        ++imagens;
    EXPECT_GT(imagens, 1u) << "drawn in one band";
    const std::vector<Pagina> paginas = RenderizaEmCores(r.saida, kDpi, kMorvel);
    ASSERT_EQ(paginas.size(), 1u);
    const Pagina& p = paginas[0];
    const int caixa = p.cor(static_cast<int>(0.7 * kDpi), static_cast<int>(0.7 * kDpi), 0);
    for (int y = 1; y < kLado; y += 7)
        for (int x = y % 5; x < kLado; x += 13) {
            const int px = static_cast<int>((1 + (x + 0.5) / kLado) * kDpi);
            const int py = static_cast<int>((1 + (y + 0.5) / kLado) * kDpi);
            if ((x + y) % 2 == 0) {
                EXPECT_EQ(p.cor(px, py, 0), 255) << x << "," << y;
                EXPECT_NEAR(p.cor(px, py, 1), 2 * y, 8) << x << "," << y;
            } else {
                EXPECT_EQ(p.cor(px, py, 0), caixa) << x << "," << y;
            }
        }
}

// The share of black pixels over the region, in inches.
double Tinta(const Pagina& p, double x, double y, double largura, double altura, int dpi) {
    long pretos = 0, todos = 0;
    for (int py = static_cast<int>(y * dpi); py < static_cast<int>((y + altura) * dpi); ++py)
        for (int px = static_cast<int>(x * dpi); px < static_cast<int>((x + largura) * dpi); ++px) {
            pretos += p.em(px, py) < 128;
            ++todos;
        }
    return static_cast<double>(pretos) / static_cast<double>(todos);
}

// In PCL the colours print as their greys: the red square as 70% ink, the blue one as 89%;
// the transparent gap prints nothing, so the box's shade shows there as beside the picture.
TEST_F(Imagens, CinzasETransparenciaNoPCL) {
    const std::string falta = FaltaFerramenta({kMorvex}, {});
    if (!falta.empty()) GTEST_SKIP() << falta;
    constexpr int kDpi = 300;
    EscreveArquivo("cores.png", PngCores());
    EscreveArquivo("f.fmt", kFormaCores);
    const Resultado r = Executa(kMorvex, {"r.txt", "f.fmt"});
    ASSERT_EQ(r.status, 0) << r.erro;
    const std::vector<Pagina> paginas = Renderiza(r.saida, kDpi, kMorvex);
    ASSERT_EQ(paginas.size(), 3u);
    for (const Pagina& p : paginas) {
        EXPECT_NEAR(Tinta(p, 1.3, 1.3, 0.4, 0.4, kDpi), 1 - 76 / 255.0, 0.05) << "red";
        EXPECT_NEAR(Tinta(p, 2.3, 1.3, 0.4, 0.4, kDpi), 1 - 29 / 255.0, 0.05) << "blue";
        const double caixa = Tinta(p, 0.6, 0.6, 0.3, 0.3, kDpi);
        EXPECT_GT(caixa, 0.05);
        EXPECT_NEAR(Tinta(p, 1.9, 1.3, 0.2, 0.4, kDpi), caixa, 0.03) << "gap";
    }
}

// A grey ramp, black to white across 5 inches: at each tenth of it, gpcl6's page at 300 dpi
// has the ramp's grey as its share of ink, within 10%.
TEST_F(Imagens, RampaDeCinzaNoPCL) {
    const std::string falta = FaltaFerramenta({kMorvex}, {});
    if (!falta.empty()) GTEST_SKIP() << falta;
    constexpr int kDpi = 300;
    EscreveArquivo("rampa.png", PngCinza(1000, 50, [](int x, int) {
                       return static_cast<unsigned char>(x * 255 / 999);
                   }));
    EscreveArquivo("f.fmt", "PAPEL A4\nIMAGEM 1 1 5 1 rampa.png\n");
    const Resultado r = Executa(kMorvex, {"r.txt", "f.fmt"});
    ASSERT_EQ(r.status, 0) << r.erro;
    const std::vector<Pagina> paginas = Renderiza(r.saida, kDpi, kMorvex);
    ASSERT_FALSE(paginas.empty());
    for (int decimo = 0; decimo < 10; ++decimo) {
        const double cinza = (decimo + 0.5) / 10;  // at the middle of the tenth, 0 black
        const double tinta = Tinta(paginas[0], 1 + decimo * 0.5 + 0.15, 1.2, 0.2, 0.6, kDpi);
        std::printf("tenth %d of the ramp: %.1f%% ink for %.1f%% black\n", decimo + 1, 100 * tinta,
                    100 * (1 - cinza));
        EXPECT_NEAR(tinta, 1 - cinza, 0.10) << "tenth " << decimo + 1;
    }
}

}  // namespace
