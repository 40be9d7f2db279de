// An independent decoder reads what the encoders draw: each row becomes a picture, which
// zbarimg must decode to exactly the encoded text.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "barcode/barcode.h"
#include "support/ferramentas.h"

namespace {

constexpr int kPixelsPorModulo = 3;
constexpr int kZonaLivre = 15;  // modules of white on each side of the symbol
constexpr int kAltura = 60;     // pixel rows of bars
constexpr int kMargem = 10;     // white pixel rows above and below

// The decoder's path, or the empty text when it is not installed.
std::string AchaZbarimg() {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const std::string caminho = (dir.empty() ? "." : dir) + "/zbarimg";
        if (access(caminho.c_str(), X_OK) == 0) return caminho;
    }
    return "";
}

// Writes the row as a binary grey map: bars black, spaces and quiet zones white.
void DesenhaPGM(const std::string& nome, const LinhaCodigo& linha, int modulos, Marca marca) {
    const int largura = (modulos + 2 * kZonaLivre) * kPixelsPorModulo;
    std::string linha_px(static_cast<std::size_t>(largura), '\xff');
    for (int k = 0; k < modulos; ++k) {
        const bool bit = linha[static_cast<std::size_t>(k / 8)] & (0x80u >> (k % 8));
        if (bit != (marca == Marca::Barras)) continue;  // a space module
        const auto x = static_cast<std::size_t>((kZonaLivre + k) * kPixelsPorModulo);
        linha_px.replace(x, kPixelsPorModulo, kPixelsPorModulo, '\0');
    }
    const std::string branca(static_cast<std::size_t>(largura), '\xff');
    std::ofstream f(nome, std::ios::binary);
    f << "P5\n" << largura << ' ' << kAltura + 2 * kMargem << "\n255\n";
    for (int y = 0; y < kAltura + 2 * kMargem; ++y)
        f << (y < kMargem || y >= kMargem + kAltura ? branca : linha_px);
}

using Codificador = int (*)(std::string_view, LinhaCodigo&, Marca);

std::string TodosOsPares() {
    std::string s;
    for (int v = 0; v < 100; ++v) {
        s += static_cast<char>('0' + v / 10);
        s += static_cast<char>('0' + v % 10);
    }
    return s;
}

struct Caso {
    const char* nome;
    Codificador codifica;
    std::string texto;
};

const Caso casos[] = {
    {"i25 seis digitos", i25, "123456"},
    {"i25 todos os digitos", i25, "0123456789"},
    {"i25 pares repetidos", i25, "00112233445566778899"},
    {"code128c par", code128c, "1234"},
    {"code128c todos os valores 0 a 99", code128c, TodosOsPares()},
    {"code128c verificador 101", code128c, "99"},
    {"code128c verificador 102", code128c, "0050"},
    {"code128c impar 1", code128c, "7"},
    {"code128c impar 3", code128c, "123"},
    {"code128c impar longo", code128c, "0123456789012345678"},
    {"code128c impar com todos os digitos B", code128c,
     "11223344556677889900"
     "5"},
    {"code39 letras", code39, "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
    {"code39 digitos", code39, "0123456789"},
    {"code39 acrescentados", code39, "-.$/+%"},
    {"code39 misturado", code39, "A-1.B$2/C+3%D"},
    {"code39 um caractere", code39, "Q"},
};

TEST(CodigoBarrasLeitor, ZbarimgDecodificaOTexto) {
    const std::string zbarimg = AchaZbarimg();
    if (zbarimg.empty()) GTEST_SKIP() << "zbarimg not found: install zbar-tools";
    DiretorioTemporario dir;
    for (const auto& c : casos) {
        for (Marca marca : {Marca::Barras, Marca::Espacos}) {
            SCOPED_TRACE(std::string(c.nome) + (marca == Marca::Barras ? " (bars)" : " (spaces)"));
            LinhaCodigo linha;
            const int n = c.codifica(c.texto, linha, marca);
            ASSERT_GT(n, 0);
            DesenhaPGM("codigo.pgm", linha, n, marca);
            const Resultado r = Executa(zbarimg, {"-q", "--raw", "codigo.pgm"});
            EXPECT_EQ(r.status, 0) << r.erro;
            EXPECT_EQ(r.saida, c.texto + "\n");
        }
    }
}

// The odd digits in set B cover the values 16 to 25 of the table.
TEST(CodigoBarrasLeitor, Code128cUltimoDigitoEmB) {
    const std::string zbarimg = AchaZbarimg();
    if (zbarimg.empty()) GTEST_SKIP() << "zbarimg not found: install zbar-tools";
    DiretorioTemporario dir;
    for (char d = '0'; d <= '9'; ++d) {
        const std::string texto = std::string("42") + d;
        SCOPED_TRACE(texto);
        LinhaCodigo linha;
        const int n = code128c(texto, linha, Marca::Barras);
        ASSERT_EQ(n, 11 * 3 + 35);
        DesenhaPGM("codigo.pgm", linha, n, Marca::Barras);
        EXPECT_EQ(Executa(zbarimg, {"-q", "--raw", "codigo.pgm"}).saida, texto + "\n");
    }
}

}  // namespace
