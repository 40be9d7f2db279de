// Graphics in the PCL job: rules, dashed lines, shaded boxes, curved boxes in HP-GL/2, bitmap
// images and barcodes as raster rows.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "barcode/barcode.h"
#include "bitmap/imagem.h"
#include "device/dispositivo.h"
#include "pcl/pcl.h"
#include "util/numeros.h"

namespace {

// A dash is this many dots long and starts every kPassoTraco dots.
constexpr int kTraco = 20;
constexpr int kPassoTraco = 40;
// Dashes are written only within this many dots of the origin either way (over 130 inches,
// far beyond any sheet): a line to an absurd coordinate must not write without end.
constexpr long long kAlcanceTracos = 40000;
// Radius of a curved corner, in dots.
constexpr int kRaio = 30;
// A barcode strip is a quarter inch: this many rows at 100 rows to the inch.
constexpr int kLinhasPorFaixa = 25;
// At most this many strips (50 inches, taller than any sheet) are written for one barcode.
constexpr int kMaxFaixas = 200;

// A rule: a rectangle filled black at (X, Y), w dots wide and h dots high.
void Regua(int X, int Y, int w, int h) {
    std::fprintf(saida, "\x1b*p%dX", X);
    std::fprintf(saida, "\x1b*p%dY", Y);
    std::fprintf(saida, "\x1b*c%dA", w);
    std::fprintf(saida, "\x1b*c%dB", h);
    std::fprintf(saida, "\x1b*c0P");
}

int Absoluto(int valor) {
    return LimitaInt(std::llabs(static_cast<long long>(valor)));
}

// Calls desenha(d) for d = inicio, inicio + 40, ... while d < fim, skipping the dashes that lie
// wholly outside the reach around the origin; the others keep their places on the line.
template <typename F>
void Tracos(long long inicio, long long fim, F desenha) {
    long long d = inicio;
    const long long primeiro = -kAlcanceTracos - kTraco;
    if (d < primeiro) d += (primeiro - d + kPassoTraco - 1) / kPassoTraco * kPassoTraco;
    for (; d < fim && d <= kAlcanceTracos; d += kPassoTraco)
        desenha(static_cast<int>(d));
}

char Canto(std::string_view cantos, std::size_t i) {
    return i < cantos.size() ? cantos[i] : '\0';
}

// A raster row as EscreveLinhaRaster writes it, kept for writing many times over.
std::string LinhaRaster(const unsigned char* bytes, int tamanho) {
    char cabecalho[32];  // the escape, "*b", an int and "W"
    const int n = std::snprintf(cabecalho, sizeof cabecalho, "\x1b*b%dW", tamanho);
    std::string linha(cabecalho, static_cast<std::size_t>(n));
    linha.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(tamanho));
    return linha;
}

}  // namespace

void EscreveLinhaRaster(const unsigned char* bytes, int tamanho) {
    std::fprintf(saida, "\x1b*b%dW", tamanho);
    std::fwrite(bytes, 1, static_cast<std::size_t>(tamanho), saida);
}

void DesenhaLinha(float x1, float y1, float x2, float y2, int largura) {
    const int X1 = PontosX(x1), Y1 = PontosY(y1);
    const int X2 = PontosX(x2), Y2 = PontosY(y2);
    const int a = Absoluto(largura);
    const bool vertical = X1 == X2;
    // A line given from its far end is drawn from its near end.
    const int inicio = vertical ? std::min(Y1, Y2) : std::min(X1, X2);
    const int fim = vertical ? std::max(Y1, Y2) : std::max(X1, X2);
    if (largura >= 0) {
        const int comprimento = LimitaInt(static_cast<long long>(fim) - inicio);
        if (vertical)
            Regua(X1, inicio, a, comprimento);
        else
            Regua(inicio, Y1, comprimento, a);
        return;
    }
    if (vertical)
        Tracos(inicio, fim, [&](int d) { Regua(X1, d, a, kTraco); });
    else
        Tracos(inicio, fim, [&](int d) { Regua(d, Y1, kTraco, a); });
}

void DesenhaRetang(float x, float y, float largura, float altura, int sombra, int borda) {
    const int X = PontosX(x), Y = PontosY(y);
    const int W = Pontos(largura), H = Pontos(altura);
    std::fprintf(saida, "\x1b*p%dX", X);
    std::fprintf(saida, "\x1b*p%dY", Y);
    std::fprintf(saida, "\x1b*c%dA", W);
    std::fprintf(saida, "\x1b*c%dB", H);
    if (sombra != 0)
        std::fprintf(saida, "\x1b*c%dg2P", sombra);
    else
        std::fprintf(saida, "\x1b*c1P");
    Regua(X, Y, W, borda);
    Regua(X, LimitaInt(static_cast<long long>(Y) + H), W, borda);
    Regua(X, Y, borda, H);
    Regua(LimitaInt(static_cast<long long>(X) + W), Y, borda, H);
}

void DesenhaRetangA(float x, float y, float largura, float altura, const char* cantos, int pena) {
    retanga(PontosX(x), PontosY(y), Pontos(largura), Pontos(altura), cantos, pena);
}

void retanga(int X, int Y, int W, int H, const char* cantos, int pena) {
    const std::string_view dados = cantos ? cantos : "";
    char c[4] = {Canto(dados, 0), Canto(dados, 1), Canto(dados, 2), Canto(dados, 3)};
    if (direcao_pcl == 180) {
        // HP-GL/2 does not turn with the print direction: the frame is anchored at the corner
        // that the turned page shows as top left, and each corner takes its opposite's flag.
        X = LimitaInt(static_cast<long long>(X) + W);
        Y = LimitaInt(static_cast<long long>(Y) + H);
        std::swap(c[0], c[2]);
        std::swap(c[1], c[3]);
    }
    const long long p = pena, r = kRaio, w = W, h = H;
    auto v = [](long long valor) { return LimitaInt(valor); };

    std::fprintf(saida, "\x1b*c%dx%dY", Trunca(W / 300.0 * 720.0), Trunca(H / 300.0 * 720.0));
    std::fprintf(saida, "\x1b*p%dX", X);
    std::fprintf(saida, "\x1b*p%dY", Y);
    std::fprintf(saida, "\x1b*c0T");
    std::fprintf(saida, "\x1b%%1BIN;");
    std::fprintf(saida, "SP1;");
    std::fprintf(saida, "SC%d,%d,%d,%d;", 0, W, H, 0);
    std::fprintf(saida, "PW%f;", pena * 0.2);
    std::fprintf(saida, "PU%d,%d;", v(p), v(p + r));
    if (c[0] == '0') {
        std::fprintf(saida, "PD;");
        std::fprintf(saida, "AA%d,%d,90;", v(p + r), v(p + r));
    } else {
        std::fprintf(saida, "PD%d,%d;", v(p), v(p));
    }
    std::fprintf(saida, "PD%d,%d;", v(w - p - r), v(p));
    if (c[1] == '0') {
        std::fprintf(saida, "PA%d,%d;", v(w - p - r), v(p));
        std::fprintf(saida, "PD;");
        std::fprintf(saida, "AA%d,%d,90;", v(w - p - r), v(p + r));
    } else {
        std::fprintf(saida, "PD%d,%d;", v(w - p), v(p));
    }
    std::fprintf(saida, "PD%d,%d;", v(w - p), v(h - p - r));
    if (c[2] == '0') {
        std::fprintf(saida, "PA%d,%d;", v(w - p), v(h - p - r));
        std::fprintf(saida, "PD;");
        std::fprintf(saida, "AA%d,%d,90;", v(w - p - r), v(h - p - r));
    } else {
        std::fprintf(saida, "PD%d,%d;", v(w - p), v(h - p));
    }
    std::fprintf(saida, "PD%d,%d;", v(p + r), v(h - p));
    if (c[3] == '0') {
        std::fprintf(saida, "PA%d,%d;", v(p + r), v(h - p));
        std::fprintf(saida, "PD;");
        std::fprintf(saida, "AA%d,%d,90;", v(p + r), v(h - p - r));
    } else {
        std::fprintf(saida, "PD%d,%d;", v(p), v(h - p));
    }
    std::fprintf(saida, "PD%d,%d;", v(p), v(p + r));
    std::fprintf(saida, "\x1b%%1A");
}

// A bitmap at its own size, one pixel a dot; a decoded picture at the object's size, dithered.
void DesenhaImagem(float x, float y, float largura, float altura, const char* arquivo, int) {
    const int X = PontosX(x), Y = PontosY(y);
    std::fprintf(saida, "\x1b*p%dX", X);
    std::fprintf(saida, "\x1b*p%dY", Y);
    std::fprintf(saida, "\x1b*t300R\x1b*r0f1A\x1b*b0M");
    const auto lida = CarregaImagem(arquivo, OrdemLinhas::TopoPrimeiro);
    if (!lida) return;
    if (const auto* decodificada = std::get_if<ImagemDecodificada>(&*lida)) {
        const MedidaImagem medida =
            MedeImagem(largura, altura, decodificada->largura, decodificada->altura);
        EnviaImagemPontilhada(*decodificada, X, Y, Pontos(medida.largura),
                              Pontos(medida.altura));
        return;
    }
    const Bitmap* imagem = &std::get<Bitmap>(*lida);

    const int tamlinha = std::max(imagem->tamlinha, 0);
    std::size_t linhas = 0;
    if (tamlinha > 0)
        linhas = std::min(static_cast<std::size_t>(std::max(imagem->altura, 0)),
                          imagem->pixels.size() / static_cast<std::size_t>(tamlinha));
    // Bits after the last pixel of a row are fill: they are sent white, not as a black band.
    const long long pixels = std::clamp<long long>(imagem->largura, 0, 8LL * tamlinha);
    std::vector<unsigned char> linha(static_cast<std::size_t>(tamlinha));
    for (std::size_t i = 0; i < linhas; ++i) {
        const unsigned char* origem =
            imagem->pixels.data() + i * static_cast<std::size_t>(tamlinha);
        for (int b = 0; b < tamlinha; ++b) {
            // Bit 0 of the file is a black pixel; a set raster bit prints black.
            unsigned char byte = static_cast<unsigned char>(~origem[b]);
            const long long primeiro_bit = 8LL * b;
            if (primeiro_bit + 8 > pixels) {
                const long long validos = std::max(pixels - primeiro_bit, 0LL);
                byte &= static_cast<unsigned char>(0xFF00u >> validos);
            }
            linha[static_cast<std::size_t>(b)] = byte;
        }
        EscreveLinhaRaster(linha.data(), tamlinha);
    }
    std::fprintf(saida, "\x1b*rB");
}

void DesenhaCodBar(float x, float y, int altura, const char* tipo, const char* codigo) {
    std::string_view texto = codigo ? codigo : "";
    texto = texto.substr(0, texto.find(' '));
    if (texto.empty()) return;
    LinhaCodigo linha{};
    const int modulos = CodificaCodBar(tipo ? tipo : "", texto, linha, Marca::Barras);
    if (modulos < 0) return;
    // A raster row is sent in whole 16-bit words; the bits after the last module stay white.
    const int tamanho = (modulos + 15) / 16 * 2;
    for (int k = modulos; k < tamanho * 8; ++k)
        linha[static_cast<std::size_t>(k / 8)] &= static_cast<unsigned char>(~(0x80u >> (k % 8)));

    std::fprintf(saida, "\x1b*p%dX", PontosX(x));
    std::fprintf(saida, "\x1b*p%dY", PontosY(y));
    std::fprintf(saida, "\x1b*t100R\x1b*r0f1A\x1b*b0M");
    const int linhas = std::clamp(altura, 0, kMaxFaixas) * kLinhasPorFaixa;
    // Every row of the bars is the same: it is formatted once and written as often as needed.
    const std::string raster = LinhaRaster(linha.data(), tamanho);
    for (int i = 0; i < linhas; ++i)
        std::fwrite(raster.data(), 1, raster.size(), saida);
    std::fprintf(saida, "\x1b*rB");
}
