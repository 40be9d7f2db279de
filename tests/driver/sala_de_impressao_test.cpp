// The print room's work, read off the printed sheets of all three programs: each side moved by
// its printer's shift, the calibration form's crosshairs where they say they are, a copy set's
// sheets, headings, trays and codes, and the marks a folding and inserting machine reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/ferramentas.h"
#include "support/folhas.h"
#include "support/render.h"

namespace {

// Every check here reads 300 dpi renders, as the inserter's and the operator's eyes would.
constexpr int kDpi = 300;

// The example's report and logo in the working directory, with the report cut to its first
// `paginas` pages when asked.
void CopiaExemplo(int paginas = 0) {
    std::string relatorio = LeArquivo(kExemplos + "relatorio.txt");
    if (paginas > 0) {
        std::size_t fim = 0;
        for (int i = 0; i < paginas && fim != std::string::npos; ++i)
            fim = relatorio.find('\f', fim + 1);
        if (fim != std::string::npos) relatorio.resize(fim);
    }
    EscreveArquivo("relatorio.txt", relatorio);
    EscreveArquivo("logo.bmp", LeArquivo(kExemplos + "logo.bmp"));
}

std::vector<Pagina> Imprime(const std::string& programa, std::vector<std::string> argumentos) {
    const Resultado r = Executa(programa, argumentos);
    EXPECT_EQ(r.status, 0) << NomePrograma(programa) << ": " << r.erro;
    return Renderiza(r.saida, kDpi, programa);
}

// -s moves the front and, without -S, the back; -S the back alone: every ink pixel of the
// sheet, shades, codes and texts included, by exactly the shift's dots, in every program, on
// an upright back side and on one turned by 180 degrees.
TEST(SalaDeImpressao, DeslocamentoMoveCadaLado) {
    const std::string falta = FaltaFerramenta({kMorvex, kMorvel, kMorvpdf}, {});
    if (!falta.empty()) GTEST_SKIP() << falta;
    DiretorioTemporario dir;
    CopiaExemplo(1);
    std::string formulario = LeArquivo(kExemplos + "formulario.fmt");
    EscreveArquivo("formulario.fmt", formulario);
    formulario.replace(formulario.find("VERSO NORMAL"), 12, "VERSO");
    EscreveArquivo("virado.fmt", formulario);
    struct Caso {
        std::vector<std::string> opcoes;
        std::string formulario;
        int frente_x, frente_y, verso_x, verso_y;  // dots at 300 dpi, along the form's axes
    };
    const Caso casos[] = {
        {{"-s", "0.5,0.25"}, "formulario.fmt", 150, 75, 150, 75},
        {{"-S", "0.5,0.25"}, "formulario.fmt", 0, 0, 150, 75},
        {{"-S", "-0.25,0.25"}, "virado.fmt", 0, 0, -75, 75},
    };
    // What a shift carries past the printable area is lost: only ink that stays a third of an
    // inch inside the sheet is compared.
    constexpr int kBorda = kDpi / 3;
    for (const std::string& programa : kTodosProgramas) {
        for (const Caso& c : casos) {
            SCOPED_TRACE(NomePrograma(programa) + " " + c.opcoes[0] + " " + c.formulario);
            const std::vector<Pagina> base = Imprime(programa, {"relatorio.txt", c.formulario});
            std::vector<std::string> argumentos = c.opcoes;
            argumentos.insert(argumentos.end(), {"relatorio.txt", c.formulario});
            const std::vector<Pagina> movida = Imprime(programa, argumentos);
            ASSERT_EQ(base.size(), 2u);
            ASSERT_EQ(movida.size(), 2u);
            // morvex turns a turned back side itself, so its render shows the back upside down
            // and the shift the other way; the others leave the turn to the duplex unit.
            const int sentido = c.formulario == "virado.fmt" && programa == kMorvex ? -1 : 1;
            const TintaForaDoLugar frente =
                ComparaTinta(base[0], movida[0], c.frente_x, c.frente_y, kBorda);
            const TintaForaDoLugar verso =
                ComparaTinta(base[1], movida[1], sentido * c.verso_x, sentido * c.verso_y, kBorda);
            EXPECT_GT(frente.tinta, 0);
            EXPECT_EQ(frente.faltando, 0);
            EXPECT_EQ(frente.sobrando, 0);
            EXPECT_GT(verso.tinta, 0);
            EXPECT_EQ(verso.faltando, 0);
            EXPECT_EQ(verso.sobrando, 0);
        }
    }
}

// The centre of the crosshair drawn about (x, y) inches: the column of its vertical arm and
// the row of its horizontal arm (the mean of the dark ones, within a tenth of an inch); -1 where
// an arm is not found.
struct Centro {
    double x = -1, y = -1;
};

Centro CentroDaCruz(const Pagina& p, double x, double y) {
    const int cx = static_cast<int>(x * kDpi), cy = static_cast<int>(y * kDpi);
    constexpr int kBusca = kDpi / 10, kBraco = kDpi / 5, kVao = kDpi / 20;
    // An arm is dark over most of its length, the crossing and the label left out.
    auto braco = [&](int linha, bool vertical) {
        int escuros = 0;
        for (int d = kVao; d < kBraco; ++d)
            for (int lado : {-1, 1}) {
                const int a = vertical ? linha : cx + lado * d;
                const int b = vertical ? cy + lado * d : linha;
                escuros += p.em(a, b) < 128;
            }
        return escuros > (kBraco - kVao);
    };
    Centro c;
    auto media = [&](int centro, bool vertical) {
        double soma = 0;
        int n = 0;
        for (int k = centro - kBusca; k <= centro + kBusca; ++k)
            if (braco(k, vertical)) soma += k, ++n;
        return n > 0 ? soma / n : -1.0;
    };
    c.x = media(cx, true);
    c.y = media(cy, false);
    return c;
}

// The crosshairs near the four corners of both sides lie where their labels say, in every
// program, so that a ruler laid on them measures the printer alone.
TEST(SalaDeImpressao, CruzesDaCalibracaoNoLugar) {
    const std::string falta = FaltaFerramenta({kMorvex, kMorvel, kMorvpdf}, {});
    if (!falta.empty()) GTEST_SKIP() << falta;
    DiretorioTemporario dir;
    EscreveArquivo("r.txt", "\n");
    struct Forma {
        const char* nome;
        double direita,
            baixo;  // the crosshairs: (1, 1), (direita, 1), (1, baixo), (direita, baixo)
    };
    const Forma formas[] = {{"calibracao", 7, 10.5}, {"calibracao-carta", 7.5, 10}};
    // A third of a millimetre: morvex's letter page starts 3 dots right of the paper's 1/4 inch.
    constexpr double kTolerancia = 4;
    for (const Forma& f : formas) {
        EscreveArquivo("f.fmt", LeArquivo(kExemplos + f.nome + ".fmt"));
        for (const std::string& programa : kTodosProgramas) {
            const std::vector<Pagina> lados = Imprime(programa, {"r.txt", "f.fmt"});
            ASSERT_EQ(lados.size(), 2u) << f.nome << " " << NomePrograma(programa);
            for (std::size_t lado = 0; lado < lados.size(); ++lado)
                for (double x : {1.0, f.direita})
                    for (double y : {1.0, f.baixo}) {
                        SCOPED_TRACE(std::string(f.nome) + " " + NomePrograma(programa) + " side " +
                                     std::to_string(lado) + " (" + std::to_string(x) + ", " +
                                     std::to_string(y) + ")");
                        const Centro c = CentroDaCruz(lados[lado], x, y);
                        EXPECT_NEAR(c.x, x * kDpi, kTolerancia);
                        EXPECT_NEAR(c.y, y * kDpi, kTolerancia);
                    }
        }
    }
}

// The numbers of every `comando` in the job, in order ("\x1b&l(\d+)H", "/MediaPosition (\d+)").
std::vector<int> Numeros(const std::string& job, const std::string& comando) {
    std::vector<int> numeros;
    const std::regex padrao(comando);
    for (auto i = std::sregex_iterator(job.begin(), job.end(), padrao); i != std::sregex_iterator();
         ++i)
        numeros.push_back(std::stoi((*i)[1]));
    return numeros;
}

// The stamp printed on a page, as its interpreter lays its text out.
std::string Carimbo(const std::string& texto) {
    static const std::regex padrao("[0-9a-f]{4}(\\.[0-9a-f]{4}){7}");
    std::smatch achado;
    return std::regex_search(texto, achado, padrao) ? achado.str() : "";
}

// The example in two copies (examples/vias.fmt): twice the sheets, each copy its own heading
// and none of the other's, the second copy from tray 2, and the same codes and stamp on both.
TEST(SalaDeImpressao, DuasViasDoExemplo) {
    const std::string falta = FaltaFerramenta({kMorvex, kMorvel, kMorvpdf}, {kZbarimg});
    if (!falta.empty()) GTEST_SKIP() << falta;
    DiretorioTemporario dir;
    CopiaExemplo();
    EscreveArquivo("vias.fmt", LeArquivo(kExemplos + "vias.fmt"));
    // The i25 line of section 3 and the order number of section 5, on every page of the report.
    std::vector<std::string> codigos;
    std::istringstream relatorio(LeArquivo("relatorio.txt"));
    std::string anterior;
    for (std::string linha; std::getline(relatorio, linha); anterior = linha) {
        if (anterior == ".secao 3") codigos.insert(codigos.end(), 2, linha);
        if (anterior == ".secao 5") codigos.insert(codigos.end(), 2, linha.substr(0, 14));
    }
    std::sort(codigos.begin(), codigos.end());
    constexpr int kPaginas = 4;
    const std::vector<int> bandejas = {1, 2, 1, 2, 1, 2, 1, 2};
    for (const std::string& programa : kTodosProgramas) {
        SCOPED_TRACE(NomePrograma(programa));
        const Resultado r = Executa(programa, {"relatorio.txt", "vias.fmt"});
        ASSERT_EQ(r.status, 0) << r.erro;
        const std::vector<std::string> textos = TextosDasPaginas(r.saida, programa);
        ASSERT_EQ(textos.size(), 2u * kPaginas);
        for (std::size_t i = 0; i < textos.size(); ++i) {
            const bool primeira = i % 2 == 0;
            EXPECT_EQ(textos[i].find("1a VIA - CLIENTE") != std::string::npos, primeira) << i;
            EXPECT_EQ(textos[i].find("2a VIA - ARQUIVO") != std::string::npos, !primeira) << i;
            EXPECT_NE(Carimbo(textos[i]), "") << i;
            if (!primeira) {
                EXPECT_EQ(Carimbo(textos[i]), Carimbo(textos[i - 1])) << i;
            }
        }
        std::vector<std::string> lidos = LeCodigos(r.saida, programa);
        std::sort(lidos.begin(), lidos.end());
        EXPECT_EQ(lidos, codigos);
        if (programa == kMorvex) {
            EXPECT_EQ(Numeros(r.saida, "\x1b&l(\\d+)H"), bandejas);
        } else if (programa == kMorvel) {
            EXPECT_EQ(Numeros(r.saida, "/MediaPosition (\\d+)"), bandejas);
        }
    }
}

// The column of the marks' forms below: its corner and the default step and width.
const ColunaDeMarcas kColuna = {0.3, 3.0, 1.0 / 6, 0.5};
const std::string kMarcas = "GRUPO CLIENTE\nOMR 0.3 3\n";
// A report page per customer name.
std::string Paginas(const std::vector<std::string>& clientes) {
    std::string r;
    for (std::size_t i = 0; i < clientes.size(); ++i)
        r += (i > 0 ? "\f" : "") + clientes[i] + "\n";
    return r;
}

// The marks read off every sheet's front. From the top: start, end of envelope, the sheet's
// number in three bits, parity (an even count of marks in the six), safety.
TEST(SalaDeImpressao, MarcasDoEnvelopadorLidasDasFolhas) {
    const std::string falta = FaltaFerramenta({kMorvex, kMorvel, kMorvpdf}, {});
    if (!falta.empty()) GTEST_SKIP() << falta;
    DiretorioTemporario dir;
    const std::string dez(10, 'X');
    struct Caso {
        const char* nome;
        std::string relatorio;
        std::string formato;
        int lados;  // pages a sheet renders as
        std::vector<std::string> marcas;
    };
    const std::string frente = "PAPEL CARTA\nCAPTURA 0 CLIENTE:1:20\nMOSTRA 1 1 A12 N CLIENTE\n";
    const Caso casos[] = {
        {"tres clientes de 1, 3 e 2 folhas",
         Paginas({"ANA", "BIA", "BIA", "BIA", "CAIO", "CAIO"}),
         frente + kMarcas,
         1,
         {"1100111", "1001001", "1001111", "1110011", "1010111", "1111001"}},
        {"dez folhas: a sequencia volta a 0",
         Paginas(std::vector<std::string>(10, "ANA")),
         frente + kMarcas,
         1,
         {"1000101", "1001001", "1001111", "1010001", "1010111", "1011011", "1011101", "1000011",
          "1000101", "1101011"}},
        // The variable is captured on the back, after the front's marks are drawn; a customer's
        // sheets go on into the next batch.
        {"captura no verso, cliente entre dois lotes",
         "APA00QTD00\n" + Paginas({"ANA", "BIA"}) + "\fAPA00QTD00\n" + Paginas({"BIA", "CAIO"}),
         "PAPEL CARTA\n" + kMarcas + "VERSO NORMAL\nCAPTURA 0 CLIENTE:1:20\n",
         2,
         {"1100111", "1001001", "1101101", "1110011"}},
        // A copy set is its customer's: only its last copy ends the envelope; a page without a
        // value is an envelope of its own, its copies with it.
        {"duas vias, uma pagina sem valor",
         Paginas({"1", "2 ANA"}),
         "VIAS 2\nPAPEL CARTA\nCAPTURA 0 CLIENTE:3:20\n" + kMarcas,
         1,
         {"1000101", "1101011", "1001111", "1110011"}},
    };
    for (const Caso& c : casos) {
        EscreveArquivo("r.txt", c.relatorio);
        EscreveArquivo("f.fmt", c.formato);
        for (const std::string& programa : kTodosProgramas) {
            SCOPED_TRACE(std::string(c.nome) + " " + NomePrograma(programa));
            std::vector<Pagina> lados = Imprime(programa, {"r.txt", "f.fmt"});
            std::vector<Pagina> frentes;
            for (std::size_t i = 0; i < lados.size(); i += static_cast<std::size_t>(c.lados))
                frentes.push_back(std::move(lados[i]));
            EXPECT_EQ(LeMarcas(frentes, kColuna, kDpi), c.marcas);
        }
    }
}

}  // namespace
