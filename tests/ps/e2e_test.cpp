// The real morvel on small reports and forms: exact pieces of the job, and the printed page as
// Ghostscript renders it (every job Executa sees is also checked to render without an error).
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "captura.h"
#include "support/ferramentas.h"
#include "support/render.h"
#include "support/verificadores.h"

namespace {

bool Contem(const std::string& job, const std::string& trecho) {
    return job.find(trecho) != std::string::npos;
}

std::size_t Conta(const std::string& job, const std::string& trecho) {
    std::size_t n = 0;
    for (std::size_t p = job.find(trecho); p != std::string::npos; p = job.find(trecho, p + 1))
        ++n;
    return n;
}

#define PRECISA(programa) \
    if (!TemPrograma(programa)) GTEST_SKIP() << programa " nao instalado"

// A form with every kind of drawing, and a report page with the barcode texts.
const char* const kFormulario =
    "RETANG 0.5 0.5 7.5 1 10 2\n"
    "RETANGA 0.5 2 7.5 2 0101 4\n"
    "IMAGEM 6 2.25 1 1 logo.bmp\n"
    "IMAGEM 6.5 2.25 1 1 logo.bmp 1\n"
    "LINHA 1 1 3 1 2\n"
    "LINHA 0.5 4.7 8 4.7 -2\n"
    "LINHA 4.25 5 4.25 7 -2\n"
    "TEXTO 1 1.2 A14 N \"Sa\\~o Paulo a(b)c \\\\ fim\"\n"
    "TEXTO C 3 C12 \"\" \"  TOTAL GERAL  \"\n"
    "INPUT 1 2.5 C10 I 0\n"
    "CODBAR 1 8 3 code128c 0\n"
    "CODBAR 1 9 3 i25 0\n"
    "CODBAR 1 10 3 code39 0\n"
    "CODBAR 5 10 3 code128c 0\n";
const char* const kRelatorio = "linha um\n1234\n1234567\nABC-123\n12a4\n";

TEST(MorvelE2E, FormularioCompleto) {
    DiretorioTemporario dir;
    EscreveArquivo("fmt.txt", kFormulario);
    EscreveArquivo("rel.txt", kRelatorio);
    std::string linhas;
    for (int i = 0; i < 75; ++i)
        linhas += std::string(i % 2 ? "\xf0\x0f\xf0\x0f" : "\x0f\xf0\x0f\xf0", 4);
    EscreveArquivo("logo.bmp", BitmapUmBit(32, 75, linhas));

    const Resultado r = Executa(kMorvel, {"rel.txt", "fmt.txt"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.erro, F("Codigo de barras invalido [%s]\n", "12a4"));
    const std::string& job = r.saida;
    EXPECT_EQ(job.rfind("%!\n%%BeginPageSetup\n<<\n/Duplex false\n", 0), 0u);
    const std::string esperados[] = {
        "newpath\n72 770 moveto\n144 0 rlineto\nclosepath\n0.50 setlinewidth\nstroke\n",
        "(Sa\\365 Paulo a\\(b\\)c \\\\ fim) show\n",
        "newpath\n306 626 moveto\n(TOTAL GERAL) dup stringwidth pop 2 div neg 0 rmoveto show\n",
        "/CourierItalicLatina findfont\n10 scalefont\nsetfont\nnewpath\n72 662 moveto\n"
        "(linha um) show\n",
        "% RETANG 0.50 0.50 7.50 1.00 10\n",
        "0.90 setgray\n",
        "% RETANGA 0.50 2.00 7.50 2.00 0101 4\n",
        "% IMAGEM logo.bmp 0\ngsave\n432 662 translate\n7 18 scale\n"
        "32 75 1 [32 0 0 75 0 0] {<0f f0 0f f0 f0 0f f0 0f ",
        "% IMAGEM logo.bmp 1\ngsave\n468 662 translate\n7 18 scale\n"
        "32 75 true [32 0 0 75 0 0] {<f0 0f f0 0f 0f f0 0f f0 ",
        "gsave\n72 248 translate\n41 18 scale\n",
    };
    for (const std::string& e : esperados)
        EXPECT_TRUE(Contem(job, e)) << e;
    // Three strips for each of the three barcodes that can be encoded; none for 12a4.
    EXPECT_EQ(Conta(job, " 0 0 1 0 0] {<"), 9u);
    // The form is drawn on the page; the vertical dashed line holds 12 dashes.
    EXPECT_EQ(Conta(job, "0 -6 rlineto\n"), 12u * Conta(job, "% RETANG "));
}

TEST(MorvelE2E, CodigosDeBarrasLegiveis) {
    PRECISA("gs");
    PRECISA("zbarimg");
    DiretorioTemporario dir;
    EscreveArquivo("fmt.txt", kFormulario);
    EscreveArquivo("rel.txt", kRelatorio);
    const Resultado r = Executa(kMorvel, {"rel.txt", "fmt.txt"});
    ASSERT_EQ(r.status, 0);
    std::vector<std::string> lidos = LeCodigos(r.saida);
    std::sort(lidos.begin(), lidos.end());
    // The odd-length i25 text is printed with a leading 0.
    EXPECT_EQ(lidos, (std::vector<std::string>{"01234567", "1234", "ABC-123"}));
}

// Columns of the leftmost and rightmost ink on the page.
std::pair<int, int> Tinta(const Pagina& p) {
    int esq = p.largura, dir = -1;
    for (int y = 0; y < p.altura; ++y)
        for (int x = 0; x < p.largura; ++x)
            if (p.em(x, y) < 128) {
                esq = std::min(esq, x);
                dir = std::max(dir, x);
            }
    return {esq, dir};
}

TEST(MorvelE2E, TextoCentradoEmQuatroPolegadasEUmQuarto) {
    PRECISA("gs");
    struct Caso {
        const char* formato;
        double centro;  // inches from the left edge of the page
    };
    const Caso casos[] = {
        {"TEXTO C 3 A14 N \"  Centro do formulario  \"\n", 4.25},
        {"TEXTO CENTRO 5 C10 \"\" \"WWW\"\n", 4.25},
        {"ROTACAO 180\nTEXTO C 5 A12 I \"S\\~ao Jo\\~ao\"\n", 4.25},
        {"ORIGEM 72 0\nTEXTO C 3 A14 N \"Centro do formulario\"\n", 4.15},
    };
    constexpr int kDpi = 100;
    for (const Caso& c : casos) {
        DiretorioTemporario dir;
        EscreveArquivo("fmt.txt", c.formato);
        EscreveArquivo("rel.txt", "x\n");
        const Resultado r = Executa(kMorvel, {"rel.txt", "fmt.txt"});
        ASSERT_EQ(r.status, 0);
        const std::vector<Pagina> paginas = Renderiza(r.saida, kDpi);
        ASSERT_FALSE(paginas.empty()) << c.formato;
        const auto [esq, dir_] = Tinta(paginas[0]);
        ASSERT_LT(esq, dir_) << c.formato;
        EXPECT_NEAR((esq + dir_) / 2.0, c.centro * kDpi, 2.0) << c.formato;
    }
}

// Absurd numbers still make a job that renders (the job check of Executa runs on it) and
// that stays small.
TEST(MorvelE2E, NumerosAbsurdosRenderizam) {
    DiretorioTemporario dir;
    EscreveArquivo("fmt.txt",
                   "RETANG -1e30 1e30 1e39 -5 1000 -99999999999\n"
                   "RETANGA 1e30 -1e30 -1e38 1e38 0000 2147483647\n"
                   "LINHA -1e38 1 1e38 1 -2147483648\n"
                   "LINHA 1 -1e38 1 1e38 -1\n"
                   "ROTACAO -2147483648\n"
                   "TEXTO 1e38 -1e38 A0 N \"x\"\n"
                   "TEXTO C 1e38 C-5 I \"y\"\n"
                   "ROTACAO 270\n"
                   "TEXTO 1e38 1e38 Zz \"\" \"\\\\\"\n"
                   "CODBAR 1e38 -1e38 2147483647 code128c 0\n");
    EscreveArquivo("rel.txt", "1234\n");
    const Resultado r = Executa(kMorvel, {"rel.txt", "fmt.txt"});
    ASSERT_EQ(r.status, 0);
    EXPECT_LT(r.saida.size(), 4000000u);
}

// A bitmap prints the right way up: the file stores its bottom row first. Its top half is
// black (bits 0), its bottom half white, with and without the mask.
TEST(MorvelE2E, ImagemDePeNaPagina) {
    PRECISA("gs");
    DiretorioTemporario dir;
    const std::string branco(16 * 4, '\xff'), preto(16 * 4, '\0');
    EscreveArquivo("meio.bmp", BitmapUmBit(32, 32, branco + preto));
    EscreveArquivo("fmt.txt", "IMAGEM 1 1 1 1 meio.bmp\nIMAGEM 2 1 1 1 meio.bmp 1\n");
    EscreveArquivo("rel.txt", "x\n");
    const Resultado r = Executa(kMorvel, {"rel.txt", "fmt.txt"});
    ASSERT_EQ(r.status, 0);
    const std::vector<Pagina> paginas = Renderiza(r.saida, 300);
    ASSERT_FALSE(paginas.empty());
    // 32 pixels at 300 to the inch from (1, 1) and (2, 1) inches: columns 300 and 600 on, rows
    // from about 300 down (the page is a little shorter than the form's 11.7 inches).
    for (int coluna : {310, 610}) {
        EXPECT_LT(paginas[0].em(coluna, 306), 128) << coluna;
        EXPECT_GT(paginas[0].em(coluna, 322), 128) << coluna;
    }
}

// A hyphen of the form and of the report prints as the hyphen, not as the wide minus sign that
// ISOLatin1Encoding keeps at its code: a PDF made from the job is searched for the text typed.
TEST(MorvelE2E, HifenImpressoComoHifen) {
    PRECISA("gs");
    PRECISA("pdftotext");
    DiretorioTemporario dir;
    EscreveArquivo("fmt.txt", "TEXTO 1 1 C12 \"\" \"CEP 13010-000\"\nINPUT 1 2 A10 N 0\n");
    EscreveArquivo("rel.txt", "ABC-123\n");
    const Resultado r = Executa(kMorvel, {"rel.txt", "fmt.txt"});
    ASSERT_EQ(r.status, 0);
    EscreveArquivo("job.ps", r.saida);
    const std::string texto = SaidaDe(
        "gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -o job.pdf job.ps && "
        "pdftotext -enc UTF-8 job.pdf -");
    EXPECT_TRUE(Contem(texto, "CEP 13010-000")) << texto;
    EXPECT_TRUE(Contem(texto, "ABC-123")) << texto;
}

// Batch 1 (narrow report) takes the landscape format, batch 2 (wide) the portrait one.
TEST(MorvelE2E, RetratoDepoisDePaisagem) {
    DiretorioTemporario dir;
    EscreveArquivo("paisagem.txt",
                   "PAPEL CARTA\nORIENTACAO PAISAGEM\nORIGEM 720 0\n"
                   "LINHA 1 1 2 1 1\n");
    EscreveArquivo("retrato.txt", "ORIENTACAO RETRATO\nLINHA 1 1 2 1 1\n");
    EscreveArquivo("rel.txt", "APA00QTD00\ncurta\nAPA00QTD00\n" + std::string(90, 'L') + "\n");
    const Resultado r =
        Executa(kMorvel, {"rel.txt", "paisagem.txt", "retrato.txt", "paisagem.txt", "retrato.txt"});
    ASSERT_EQ(r.status, 0);
    const std::string& job = r.saida;
    const std::size_t segundo = job.find("%!\n", 1);
    ASSERT_NE(segundo, std::string::npos);
    const std::string lote1 = job.substr(0, segundo), lote2 = job.substr(segundo);
    EXPECT_TRUE(Contem(lote1, "/PageSize [792 612]\n/Orientation 3\n/ImagingBBox null\n"));
    EXPECT_TRUE(Contem(lote1, "newpath\n72 612 moveto\n72 0 rlineto\n"));
    // The second batch starts from what its own load left: letter, origin one inch in x.
    EXPECT_TRUE(Contem(lote2, "/PageSize [612 792]\n/Orientation 0\n/ImagingBBox null\n"));
    EXPECT_TRUE(Contem(lote2, "newpath\n0 720 moveto\n72 0 rlineto\n"));

    if (!TemPrograma("gs")) GTEST_SKIP() << "gs nao instalado";
    const std::vector<Pagina> paginas = Renderiza(job, 72);
    ASSERT_EQ(paginas.size(), 2u);
    EXPECT_EQ(paginas[1].largura, 612);
    EXPECT_EQ(paginas[1].altura, 792);
}

TEST(MorvelE2E, VersoDesenhadoEmCadaFolha) {
    DiretorioTemporario dir;
    EscreveArquivo("fmt.txt",
                   "DUPLEX\nTEXTO 1 1 A10 \"\" \"frente\"\nVERSO\nTEXTO 1 1 A10 \"\" \"verso\"\n");
    EscreveArquivo("rel.txt", "p1\n\fp2\n");
    const Resultado r = Executa(kMorvel, {"rel.txt", "fmt.txt"});
    ASSERT_EQ(r.status, 0);
    const std::string& job = r.saida;
    EXPECT_TRUE(Contem(job, "/Duplex true\n/Tumble true\n"));
    EXPECT_EQ(Conta(job, "showpage\n"), 4u);
    EXPECT_EQ(Conta(job,
                    "(frente) show\nshowpage\n/ArialLatina findfont\n10 scalefont\nsetfont\n"
                    "newpath\n72 770 moveto\n(verso) show\nshowpage\n"),
              2u);
}

// The form is drawn for the pages that exist, each shown: nothing follows the last showpage.
TEST(MorvelE2E, FormularioSoNasPaginasQueExistem) {
    DiretorioTemporario dir;
    EscreveArquivo("fmt.txt", "LINHA 1 1 3 1 2\n");
    EscreveArquivo("rel.txt", "p1\n\fp2\n");
    const Resultado r = Executa(kMorvel, {"rel.txt", "fmt.txt"});
    ASSERT_EQ(r.status, 0);
    const std::string linha =
        "newpath\n72 770 moveto\n144 0 rlineto\nclosepath\n0.50 setlinewidth\nstroke\n";
    EXPECT_EQ(Conta(r.saida, linha), 2u);
    const std::string paginas = Repete(linha + "showpage\n", 2);
    ASSERT_GE(r.saida.size(), paginas.size());
    EXPECT_EQ(r.saida.substr(r.saida.size() - paginas.size()), paginas);
}

}  // namespace

namespace {

// The job check of the test runner itself: it must see an interpreter error.
TEST(VerificaJobPS, AcusaErroDoInterpretador) {
    PRECISA("gs");
    EXPECT_NONFATAL_FAILURE(
        VerificaJobPS("%!\n/Courier findfont 0 scalefont setfont 9 9 moveto (x) show showpage\n"),
        "gs rejected");
    EXPECT_NONFATAL_FAILURE(VerificaJobPS("%!\n(a\\) show\nshowpage\n"), "gs rejected");
    VerificaJobPS("%!\n/Courier findfont 9 scalefont setfont 9 9 moveto (x) show showpage\n");
}

}  // namespace
