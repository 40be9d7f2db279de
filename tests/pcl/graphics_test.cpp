#include <climits>
#include <cstdint>

#include "pcl/saida_pcl.h"
#include "support/ferramentas.h"
#include "support/pcl_leitor.h"
#include "support/simbolo.h"
#include "support/verificadores.h"

namespace {

using GraficosPCL = SaidaPCL;

std::string Tracos(std::initializer_list<int> posicoes, bool vertical, int fixo, int a) {
    std::string r;
    for (int d : posicoes)
        r += vertical ? Regua(fixo, d, a, 20) : Regua(d, fixo, 20, a);
    return r;
}

TEST_F(GraficosPCL, LinesAreRulesOrDashes) {
    struct Caso {
        float x1, y1, x2, y2;
        int largura;
        std::string esperado;
    };
    const Caso casos[] = {
        {1, 1, 3, 1, 2, Regua(228, 300, 600, 2)},
        {1, 1, 1, 2, 3, Regua(228, 300, 3, 300)},
        {1, 1, 3, 2, 2, Regua(228, 300, 600, 2)},  // a slanted line is drawn level at y1
        {1, 1, 1, 1, 0, Regua(228, 300, 0, 0)},
        // Given from the far end: drawn from the near end.
        {3, 1, 1, 1, 2, Regua(228, 300, 600, 2)},
        {1, 2, 1, 1, 3, Regua(228, 300, 3, 300)},
        // Dashes of 20 dots every 40; the last one whole even past the end.
        {1, 1, 1.5f, 1, -2, Tracos({228, 268, 308, 348}, false, 300, 2)},
        {1.5f, 1, 1, 1, -2, Tracos({228, 268, 308, 348}, false, 300, 2)},
        {1, 1, 1, 2, -1, Tracos({300, 340, 380, 420, 460, 500, 540, 580}, true, 228, 1)},
        {1, 2, 1, 1, -1, Tracos({300, 340, 380, 420, 460, 500, 540, 580}, true, 228, 1)},
        {1, 1, 1.1f, 1, -3, Tracos({228}, false, 300, 3)},
        {1, 1, 1, 1, -3, ""},
        {1, 1, 1.1f, 1, INT_MIN, Tracos({228}, false, 300, INT_MAX)},  // |INT_MIN| kept in range
    };
    for (const auto& c : casos) {
        DesenhaLinha(c.x1, c.y1, c.x2, c.y2, c.largura);
        const std::string job = Novo();
        EXPECT_EQ(job, c.esperado) << c.x1 << " " << c.y1 << " " << c.x2 << " " << c.largura;
        VerificaJobPCL(job);
    }
}

// A dashed line to an absurd coordinate writes the dashes near the sheet and stops.
TEST_F(GraficosPCL, DashedLinesToAbsurdCoordinatesAreBounded) {
    struct Caso {
        float x1, y1, x2, y2;
        int primeiro;  // the first dash written, on the line's own 40-dot pattern
    };
    const Caso casos[] = {
        {0, 1, 1e9f, 1, -72},
        {1e9f, 1, 0, 1, -72},
        // From the int range's end: the pattern is kept, the far dashes skipped.
        {1, -1e30f, 1, 1e30f, -40008},
        {-1e9f, 1, 1, 1, -40008},
    };
    for (const auto& c : casos) {
        DesenhaLinha(c.x1, c.y1, c.x2, c.y2, -1);
        const std::string job = Novo();
        const auto leitura = LeJobPCL(job);
        EXPECT_TRUE(leitura.problemas.empty());
        const std::size_t dashes = leitura.tokens.size() / 5;
        EXPECT_GT(dashes, 900u);
        EXPECT_LT(dashes, 2100u);
        const bool vertical = c.x1 == c.x2;
        const std::string primeiro = F(vertical ? "\x1b*p%dY" : "\x1b*p%dX", c.primeiro);
        EXPECT_NE(job.find(primeiro), std::string::npos) << primeiro.substr(1);
        if (c.x2 == 1.0f && !vertical) {
            EXPECT_NE(job.find(Regua(192, 300, 20, 1)), std::string::npos);
        }
    }
}

TEST_F(GraficosPCL, BoxesAreFilledThenBordered) {
    struct Caso {
        int sombra, borda;
        std::string preenchimento;
    };
    const Caso casos[] = {
        {0, 3, "\x1b*c1P"},
        {10, 3, F("\x1b*c%dg2P", 10)},
        {100, 0, F("\x1b*c%dg2P", 100)},
        {-5, 1, F("\x1b*c%dg2P", -5)},
    };
    for (const auto& c : casos) {
        DesenhaRetang(1, 1, 2, 1, c.sombra, c.borda);
        const std::string esperado = F("\x1b*p%dX", 228) + F("\x1b*p%dY", 300) +
                                     F("\x1b*c%dA", 600) + F("\x1b*c%dB", 300) + c.preenchimento +
                                     Regua(228, 300, 600, c.borda) + Regua(228, 600, 600, c.borda) +
                                     Regua(228, 300, c.borda, 300) + Regua(828, 300, c.borda, 300);
        const std::string job = Novo();
        EXPECT_EQ(job, esperado) << c.sombra << " " << c.borda;
        VerificaJobPCL(job);
    }
}

TEST_F(GraficosPCL, HugeBoxesStayInRange) {
    DesenhaRetang(1e30f, 1e30f, 1e30f, 1e30f, 10, 1);
    const std::string job = Novo();
    EXPECT_NE(job.find(Regua(INT_MAX, INT_MAX, INT_MAX, 1)), std::string::npos);
    VerificaJobPCL(job);
}

// Frame corners top left, top right, bottom right, bottom left for a box of 600 by 300 dots
// and pen 2 (inset 2, radius 30); then the edges between them.
std::string Contorno(const char* cantos) {
    const char* curvos[] = {"PD;AA32,32,90;", "PA568,2;PD;AA568,32,90;",
                            "PA598,268;PD;AA568,268,90;", "PA32,298;PD;AA32,268,90;"};
    const char* retos[] = {"PD2,2;", "PD598,2;", "PD598,298;", "PD2,298;"};
    const char* lados[] = {"PD568,2;", "PD598,268;", "PD32,298;", "PD2,32;"};
    std::string r = "PU2,32;";
    for (int i = 0; i < 4; ++i)
        r += std::string(cantos[i] == '0' ? curvos[i] : retos[i]) + lados[i];
    return r;
}

TEST_F(GraficosPCL, CurvedBoxesAreDrawnInHPGL) {
    struct Caso {
        const char* cantos;
        int direcao;
        int X, Y;
        const char* desenho;  // the corners as drawn in the frame
        int arcos;
    };
    const Caso casos[] = {
        {"0000", 0, 228, 300, "0000", 4},
        {"1111", 0, 228, 300, "1111", 0},
        {"0101", 0, 228, 300, "0101", 2},
        {"0011", 90, 228, 300, "0011", 2},
        {"0", 0, 228, 300, "0111", 1},  // missing flags are square corners
        // A turned page shows the frame upside down: anchored at the far corner, flags turned.
        {"0011", 180, 828, 600, "1100", 2},
        {"0001", 180, 828, 600, "0100", 3},
        {"0000", 180, 828, 600, "0000", 4},
    };
    for (const auto& c : casos) {
        direcao_pcl = c.direcao;
        DesenhaRetangA(1, 1, 2, 1, c.cantos, 2);
        const std::string esperado = F("\x1b*c%dx%dY", 1440, 720) + F("\x1b*p%dX", c.X) +
                                     F("\x1b*p%dY", c.Y) + "\x1b*c0T" + "\x1b%1BIN;" + "SP1;" +
                                     F("SC%d,%d,%d,%d;", 0, 600, 300, 0) + F("PW%f;", 0.4) +
                                     Contorno(c.desenho) + "\x1b%1A";
        const std::string job = Novo();
        EXPECT_EQ(job, esperado) << c.cantos << " " << c.direcao;
        std::size_t arcos = 0;
        for (auto p = job.find("AA"); p != std::string::npos; p = job.find("AA", p + 1))
            ++arcos;
        EXPECT_EQ(arcos, static_cast<std::size_t>(c.arcos)) << c.cantos;
        VerificaJobPCL(job);
    }
}

TEST_F(GraficosPCL, CurvedBoxesWithAbsurdSizesStayInRange) {
    DesenhaRetangA(1, 1, 1e30f, -1e30f, "0000", INT_MAX);
    const std::string job = Novo();
    EXPECT_NE(job.find(F("\x1b*c%dx%dY", INT_MAX, INT_MIN)), std::string::npos);
    EXPECT_NE(job.find(F("PU%d,%d;", INT_MAX, INT_MAX)), std::string::npos);
    VerificaJobPCL(job);
}

const std::string kInicioImagem = "\x1b*t300R\x1b*r0f1A\x1b*b0M";

TEST_F(GraficosPCL, MissingImageWritesOnlyPositionAndRasterStart) {
    DiretorioTemporario dir;
    DesenhaImagem(1, 1, 5, 5, "nao-existe.bmp", 1);
    EXPECT_EQ(Novo(), F("\x1b*p%dX", 228) + F("\x1b*p%dY", 300) + kInicioImagem);
}

void Le32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A one-bit bitmap, rows given bottom first as the file stores them.
std::string Bitmap(int largura, const std::vector<std::string>& linhas) {
    const std::uint32_t offset = 62;
    std::string pixels;
    for (const auto& l : linhas)
        pixels += l;
    std::string s = "BM";
    Le32(s, offset + static_cast<std::uint32_t>(pixels.size()));
    Le32(s, 0);
    Le32(s, offset);
    Le32(s, 40);
    Le32(s, static_cast<std::uint32_t>(largura));
    Le32(s, static_cast<std::uint32_t>(linhas.size()));
    s += std::string("\x01\x00\x01\x00", 4);  // one plane, one bit per pixel
    Le32(s, 0);
    Le32(s, static_cast<std::uint32_t>(pixels.size()));
    Le32(s, 2835);
    Le32(s, 2835);
    Le32(s, 2);
    Le32(s, 2);
    s += std::string("\x00\x00\x00\x00\xff\xff\xff\x00", 8);
    return s + pixels;
}

TEST_F(GraficosPCL, ImageRowsGoTopFirstComplementedWithWhiteFill) {
    struct Caso {
        int largura;
        std::vector<std::string> linhas;    // bottom first
        std::vector<std::string> enviadas;  // top first
    };
    const std::string z(4, '\0'), u(4, '\xff');
    const Caso casos[] = {
        // Black file pixels (bits 0) print; the 12 fill bits of a 20-pixel row stay white.
        {20, {z, u}, {z, std::string("\xff\xff\xf0\x00", 4)}},
        {32, {z, u}, {z, u}},
        {1, {std::string("\x7f\x00\x00\x00", 4)}, {std::string("\x80\x00\x00\x00", 4)}},
        {33, {z + z}, {u + std::string("\x80\x00\x00\x00", 4)}},
    };
    for (const auto& c : casos) {
        DiretorioTemporario dir;
        EscreveArquivo("logo.bmp", Bitmap(c.largura, c.linhas));
        DesenhaImagem(1, 2, 0, 0, "logo.bmp", 0);
        std::string esperado = F("\x1b*p%dX", 228) + F("\x1b*p%dY", 600) + kInicioImagem;
        for (const auto& l : c.enviadas)
            esperado += F("\x1b*b%dW", static_cast<int>(l.size())) + l;
        esperado += "\x1b*rB";
        const std::string job = Novo();
        EXPECT_EQ(job, esperado) << c.largura;
        VerificaJobPCL(job);
    }
}

const std::string kInicioCodigo = "\x1b*t100R\x1b*r0f1A\x1b*b0M";

TEST_F(GraficosPCL, BarcodeRowsAreWholeWordsRepeatedPerStrip) {
    struct Caso {
        const char* tipo;
        const char* codigo;
        int altura;
        std::string linha;  // one raster row
        int linhas;
    };
    const Caso casos[] = {
        {"code39", "A", 2, std::string("\x96\xd3\x52\xc9\x6d\x00", 6), 50},  // 42 modules
        {"i25", "5", 1, std::string("\xa8\xb8\xeb\xa0", 4), 25},             // 27 modules
        {"code128c", "1234 ABC", 1, std::string("\xd3\x96\x72\x2c\x49\xec\x75\x80", 8), 25},
        {"i25", "0123456789", 0, "", 0},  // 99 modules: 14-byte rows, none written
        {"i25", "5", -3, "", 0},
    };
    for (const auto& c : casos) {
        DesenhaCodBar(1, 1, c.altura, c.tipo, c.codigo);
        std::string esperado = F("\x1b*p%dX", 228) + F("\x1b*p%dY", 300) + kInicioCodigo;
        for (int i = 0; i < c.linhas; ++i)
            esperado += F("\x1b*b%dW", static_cast<int>(c.linha.size())) + c.linha;
        esperado += "\x1b*rB";
        const std::string job = Novo();
        EXPECT_EQ(job, esperado) << c.tipo << " " << c.codigo;
        VerificaJobPCL(job);
    }
}

// Row length = modules raised to a multiple of 16, in bytes.
TEST_F(GraficosPCL, BarcodeRowLengthIsModulesInWholeWords) {
    struct Caso {
        const char* tipo;
        const char* codigo;
        int bytes;
    };
    const Caso casos[] = {
        {"i25", "0123456789", 14},  // 99 modules
        {"code39", "ABCDEF", 14},   // 112 modules: already whole words
        {"code39", "", 0},
        {"outro", "A", 6},  // any other type is Code 39
    };
    for (const auto& c : casos) {
        DesenhaCodBar(1, 1, 2, c.tipo, c.codigo);
        const auto leitura = LeJobPCL(Novo());
        EXPECT_TRUE(leitura.problemas.empty());
        int linhas = 0;
        for (const auto& t : leitura.tokens)
            if (t.tipo == TokenPCL::Tipo::Dados) {
                ++linhas;
                EXPECT_EQ(t.bytes.size(), static_cast<std::size_t>(c.bytes)) << c.codigo;
            }
        EXPECT_EQ(linhas, *c.codigo ? 50 : 0) << c.tipo << " " << c.codigo;
    }
}

TEST_F(GraficosPCL, BarcodesThatCannotBeDrawnWriteNothing) {
    struct Caso {
        const char* tipo;
        const char* codigo;
        std::string erro;
    };
    const Caso casos[] = {
        {"code39", "", ""},
        {"code39", " A", ""},
        {"i25", "12A4", "Codigo de barras invalido [12A4]\n"},
        {"code39", "abc def", "Codigo de barras invalido [abc]\n"},
    };
    for (const auto& c : casos) {
        testing::internal::CaptureStderr();
        DesenhaCodBar(1, 1, 2, c.tipo, c.codigo);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.erro) << c.codigo;
        EXPECT_EQ(Novo(), "") << c.codigo;
    }
}

TEST_F(GraficosPCL, TallBarcodesAreCapped) {
    DesenhaCodBar(1, 1, INT_MAX, "i25", "5");
    const auto leitura = LeJobPCL(Novo());
    EXPECT_TRUE(leitura.problemas.empty());
    EXPECT_EQ(leitura.tokens.size(), 3u + 2u + 2u * 5000u + 1u);
}

// Rows of dots in delta-row compression: each transfer replaces only the bytes that differ from
// the row above (a command byte: count less one in its top 3 bits, offset in its low 5, further
// offset bytes from 31 on), and a row that repeats the one above is an empty transfer.
TEST_F(GraficosPCL, MatrixCodesAreDeltaRowRasters) {
    struct Caso {
        const char* nome;
        std::vector<std::string> linhas;
        int modulo;
        std::vector<std::string> transferencias;
    };
    const std::string b80 = "\x80", bff = std::string(8, '\xff');
    const Caso casos[] = {
        {"modulo de 2 pontos", {"1"}, 2, {std::string("\x00\xc0", 2), ""}},
        {"linha repetida", {"10", "10"}, 1, {std::string("\x00", 1) + b80, ""}},
        {"volta ao branco", {"1", "0"}, 1, {std::string("\x00", 1) + b80, std::string(2, '\0')}},
        {"segundo trecho",
         {LinhaModulos(24, {0, 16})},
         1,
         {std::string("\x00", 1) + b80 + "\x01" + b80}},
        {"offset 30", {LinhaModulos(256, {240})}, 1, {"\x1e" + b80}},
        {"offset 31", {LinhaModulos(256, {248})}, 1, {std::string("\x1f\x00", 2) + b80}},
        {"offset 285", {LinhaModulos(2400, {2280})}, 1, {"\x1f\xfe" + b80}},
        {"offset 286", {LinhaModulos(2400, {2288})}, 1, {std::string("\x1f\xff\x00", 3) + b80}},
        {"nove bytes", {std::string(72, '1')}, 1, {"\xe0" + bff + std::string("\x00\xff", 2)}},
    };
    for (const Caso& c : casos) {
        DesenhaCodMatriz(1, 1, SimboloDe(c.linhas, c.modulo));
        std::string esperado =
            F("\x1b*p%dX", 228) + F("\x1b*p%dY", 300) + "\x1b*t300R\x1b*r0f1A\x1b*b3M";
        for (const std::string& t : c.transferencias)
            esperado += F("\x1b*b%zuW", t.size()) + t;
        const std::string job = Novo();
        EXPECT_EQ(job, esperado + "\x1b*rB") << c.nome;
        VerificaJobPCL(job);
    }
}

}  // namespace
