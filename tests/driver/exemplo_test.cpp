// The bundled example as printers print it: its barcodes and matrix codes read back from the
// pages of both programs, and its drawings in the same places on morvex's and morvel's pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "support/ferramentas.h"
#include "support/render.h"

namespace {

// The example's report and logo in the working directory, with the given form beside them.
void CopiaExemplo(const std::string& formulario) {
    EscreveArquivo("relatorio.txt", LeArquivo(kExemplos + "relatorio.txt"));
    EscreveArquivo("logo.bmp", LeArquivo(kExemplos + "logo.bmp"));
    EscreveArquivo("formulario.fmt", formulario);
}

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

TEST(Exemplo, CodigosLegiveisNasDuasLinguagens) {
    const std::string falta = FaltaFerramenta({kMorvex, kMorvel}, {kZbarimg, kDmtxread});
    if (!falta.empty()) GTEST_SKIP() << falta;
    DiretorioTemporario dir;
    CopiaExemplo(LeArquivo(kExemplos + "formulario.fmt"));
    const TextosDoExemplo esperados = TextosDosCodigos();
    for (const auto& programa : kProgramas) {
        // Executa also has the whole job, every command of the example, rendered.
        const Resultado r = Executa(programa, {"relatorio.txt", "formulario.fmt"});
        ASSERT_EQ(r.status, 0) << NomePrograma(programa);
        std::vector<std::string> lidos = LeCodigos(r.saida, programa);
        std::sort(lidos.begin(), lidos.end());
        EXPECT_EQ(lidos, esperados.codigos) << NomePrograma(programa);
        EXPECT_EQ(LeDataMatrix(r.saida, programa, kDataMatrixDoPedido), esperados.pedidos)
            << NomePrograma(programa);
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

// What no byte table shows: the rules, boxes, images and barcodes of the example land in the
// same places on the pages of both programs.
TEST(Exemplo, DesenhosNosMesmosLugaresNasDuasLinguagens) {
    const std::string falta = FaltaFerramenta({kMorvex, kMorvel}, {});
    if (!falta.empty()) GTEST_SKIP() << falta;
    DiretorioTemporario dir;
    CopiaExemplo(SoDesenhos(LeArquivo(kExemplos + "formulario.fmt")));
    std::vector<Tinta> pcl, ps;
    for (auto [programa, tintas] : {std::pair{kMorvex, &pcl}, std::pair{kMorvel, &ps}}) {
        const Resultado r = Executa(programa, {"relatorio.txt", "formulario.fmt"});
        ASSERT_EQ(r.status, 0) << NomePrograma(programa);
        for (const Pagina& p : Renderiza(r.saida, kDpi, programa))
            tintas->push_back(TintaDosDesenhos(p));
    }
    ASSERT_FALSE(pcl.empty());
    ASSERT_EQ(pcl.size(), ps.size());
    const Ponto d = MelhorDesvio(pcl, ps);
    std::printf("morvex's pages lie (%d, %d) px from morvel's at %d dpi\n", -d.x, -d.y, kDpi);
    for (std::size_t i = 0; i < pcl.size(); ++i) {
        const double em_pcl = EmLugar(pcl[i], ps[i], d);
        const double em_ps = EmLugar(ps[i], pcl[i], {-d.x, -d.y});
        std::printf(
            "page %zu: of the drawings' ink, %.2f%% of morvex's (%zu px) and %.2f%% of morvel's "
            "(%zu px) lie within %d px of the other's; %.0f%% needed\n",
            i + 1, 100 * em_pcl, pcl[i].pontos.size(), 100 * em_ps, ps[i].pontos.size(),
            kTolerancia, 100 * kLimiar);
        EXPECT_GE(em_pcl, kLimiar) << "page " << i + 1;
        EXPECT_GE(em_ps, kLimiar) << "page " << i + 1;
    }
}

}  // namespace
