// Drawings of the PostScript job: lines, boxes, boxes with curved corners, images and barcodes.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "barcode/barcode.h"
#include "barcode/matriz.h"
#include "bitmap/imagem.h"
#include "device/dispositivo.h"
#include "ps/linhas.h"
#include "ps/ps.h"
#include "util/numeros.h"
#include "util/texto.h"

namespace {

// The job's comments repeat words of the format. A comment ends at a line feed, a carriage
// return or a form feed: a word holding one would put the rest of it into the job as
// PostScript. Control bytes are shown as '?'.
std::string Comentario(std::string_view texto) {
    std::string r(texto);
    for (char& c : r)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return r;
}

double Largura(int w) {
    return static_cast<double>(w) * kQuartoPonto;
}

// A dashed line: each dash reads "X Y moveto" then "DX DY rlineto", on lines of their own.
void Tracejado(Linhas& l, int X1, int Y1, int X2, int Y2) {
    Tracos(X1, Y1, X2, Y2, [&l](int X, int Y, int dx, int dy) {
        l << X << ' ' << Y << " moveto\n" << dx << ' ' << dy << " rlineto\n";
        l.EscreveSeGrande();
    });
}

void Segmento(Linhas& l, int xa, int ya, int xb, int yb) {
    l << "newpath\n" << xa << ' ' << ya << " moveto\n" << xb << ' ' << yb << " lineto\nstroke\n";
}

// A square corner: two strokes of kRaio points meeting at the corner point.
void Quina(Linhas& l, int xa, int ya, int xc, int yc, int xb, int yb) {
    l << xa << ' ' << ya << " moveto\n"
      << xc << ' ' << yc << " lineto\n"
      << xb << ' ' << yb << " lineto\n";
}

// A curved corner: a quarter of a circle of kRaio points about (xc, yc), from angle a to b.
void Arco(Linhas& l, int xc, int yc, std::string_view angulos) {
    l << xc << ' ' << yc << " 5 " << angulos << " arc\n";
}

bool Curvo(std::string_view cantos, std::size_t i) {
    return i < cantos.size() && i < kCantos && cantos[i] == '0';
}

void retanga(float x, float y, float largura, float altura, const char* cantos, int w) {
    const std::string_view flags = cantos != nullptr ? cantos : "";
    std::fprintf(saida, "%% RETANGA %.2f %.2f %.2f %.2f %s %d\n", x, y, largura, altura,
                 Comentario(flags).c_str(), w);
    const Caixa c = ConverteCaixa(x, y, largura, altura);
    std::fputs("0 setgray\n", saida);
    std::fprintf(saida, "%.2f setlinewidth\n", Largura(w));
    Linhas l;
    // Coordinates are bounded by kLimitePontos, so these sums cannot overflow.
    Segmento(l, c.X1 + kRaio, c.Y1, c.X2 - kRaio, c.Y1);
    Segmento(l, c.X2, c.Y1 - kRaio, c.X2, c.Y2 + kRaio);
    Segmento(l, c.X1 + kRaio, c.Y2, c.X2 - kRaio, c.Y2);
    Segmento(l, c.X1, c.Y1 - kRaio, c.X1, c.Y2 + kRaio);

    l << "newpath\n";
    if (Curvo(flags, 1))
        Arco(l, c.X2 - kRaio, c.Y1 - kRaio, "0 90");
    else
        Quina(l, c.X2 - kRaio, c.Y1, c.X2, c.Y1, c.X2, c.Y1 - kRaio);
    l << "stroke\nnewpath\n";
    if (Curvo(flags, 2))
        Arco(l, c.X2 - kRaio, c.Y2 + kRaio, "270 360");
    else
        Quina(l, c.X2, c.Y2 + kRaio, c.X2, c.Y2, c.X2 - kRaio, c.Y2);
    l << "stroke\nnewpath\n";
    if (Curvo(flags, 3))
        Arco(l, c.X1 + kRaio, c.Y2 + kRaio, "180 270");
    else
        Quina(l, c.X1 + kRaio, c.Y2, c.X1, c.Y2, c.X1, c.Y2 + kRaio);
    l << "stroke\nnewpath\n";
    if (Curvo(flags, 0))
        Arco(l, c.X1 + kRaio, c.Y1 - kRaio, "90 180");
    else
        Quina(l, c.X1, c.Y1 - kRaio, c.X1, c.Y1, c.X1 + kRaio, c.Y1);
    l << "stroke\n";
    l.Escreve();
}

// Bytes of one image row: the row's pixels rounded up to whole bytes, without the file's padding.
long long BytesLinha(int largura) {
    return (static_cast<long long>(largura) + 7) / 8;
}

bool BitmapCoerente(const Bitmap& b) {
    if (b.largura <= 0 || b.altura <= 0 || b.tamlinha < BytesLinha(b.largura)) return false;
    return static_cast<long long>(b.pixels.size()) >= static_cast<long long>(b.altura) * b.tamlinha;
}

// The bytes as two lower-case hex digits each, blank-separated, written in one piece: a
// barcode strip or an image row is a long run of them.
void EscreveBytes(const unsigned char* bytes, std::size_t n, bool inverte, bool& primeiro) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string texto;
    texto.reserve(3 * n);
    for (std::size_t j = 0; j < n; ++j) {
        const unsigned v = inverte ? 255u - bytes[j] : bytes[j];
        if (!primeiro) texto += ' ';
        texto += kHex[v >> 4];
        texto += kHex[v & 15];
        primeiro = false;
    }
    std::fwrite(texto.data(), 1, texto.size(), saida);
}

// A bitmap at its own size, 300 pixels to the inch, its first data row at the bottom.
void DesenhaBitmap(float x, float y, const Bitmap& b, const char* arquivo, int mascara) {
    if (!BitmapCoerente(b)) return;
    const int X = PontoX(x), Y = PontoY(y);
    std::fprintf(saida, "%% IMAGEM %s %d\n", Comentario(arquivo).c_str(), mascara);
    std::fputs("gsave\n", saida);
    const long long altura_pt = static_cast<long long>(b.altura) * 72 / kPixelsPolegada;
    const long long largura_pt = static_cast<long long>(b.largura) * 72 / kPixelsPolegada;
    std::fprintf(saida, "%d %d translate\n", X, LimitaAInt(Y - altura_pt));
    std::fprintf(saida, "%d %d scale\n", LimitaAInt(largura_pt), LimitaAInt(altura_pt));
    if (mascara == 0)
        std::fprintf(saida, "%d %d 1 [%d 0 0 %d 0 0] {<", b.largura, b.altura, b.largura, b.altura);
    else
        std::fprintf(saida, "%d %d true [%d 0 0 %d 0 0] {<", b.largura, b.altura, b.largura,
                     b.altura);
    // Rows bottom first, as the file stores them and as the matrix reads them.
    const auto por_linha = static_cast<std::size_t>(BytesLinha(b.largura));
    const auto passo = static_cast<std::size_t>(b.tamlinha);
    bool primeiro = true;
    for (std::size_t r = 0; r < static_cast<std::size_t>(b.altura); ++r)
        EscreveBytes(b.pixels.data() + r * passo, por_linha, mascara != 0, primeiro);
    std::fprintf(saida, mascara == 0 ? ">} image\n" : ">} imagemask\n");
    std::fputs("grestore\n", saida);
}

}  // namespace

void DesenhaLinha(float x1, float y1, float x2, float y2, int largura) {
    const int X1 = PontoX(x1), Y1 = PontoY(y1), X2 = PontoX(x2), Y2 = PontoY(y2);
    Linhas l;
    l << "newpath\n";
    if (largura >= 0)
        l << X1 << ' ' << Y1 << " moveto\n" << X2 - X1 << ' ' << Y2 - Y1 << " rlineto\n";
    else
        Tracejado(l, X1, Y1, X2, Y2);
    l << "closepath\n";
    l.Escreve();
    std::fprintf(saida, "%.2f setlinewidth\n", largura >= 0 ? Largura(largura) : -Largura(largura));
    std::fputs("stroke\n", saida);
}

void DesenhaRetang(float x, float y, float largura, float altura, int sombra, int borda) {
    sombra = std::clamp(sombra, 0, kSombraMax);
    std::fprintf(saida, "%% RETANG %.2f %.2f %.2f %.2f %d\n", x, y, largura, altura, sombra);
    const Caixa c = ConverteCaixa(x, y, largura, altura);
    Linhas l;
    l << "newpath\n" << c.X1 << ' ' << c.Y1 << " moveto\n";
    l << c.X2 << ' ' << c.Y1 << " lineto\n" << c.X2 << ' ' << c.Y2 << " lineto\n";
    l << c.X1 << ' ' << c.Y2 << " lineto\n" << c.X1 << ' ' << c.Y1 << " lineto\n";
    l << "closepath\ngsave\n";
    l.Escreve();
    if (sombra != 0)
        std::fprintf(saida, "0.%02d setgray\n", kSombraMax - sombra);
    else
        std::fputs("1 setgray\n", saida);
    std::fputs("fill\ngrestore\n", saida);
    if (borda != 0) {
        std::fputs("0 setgray\n", saida);
        std::fprintf(saida, "%.2f setlinewidth\n", Largura(borda));
        std::fputs("stroke\n", saida);
    }
}

void DesenhaRetangA(float x, float y, float largura, float altura, const char* cantos, int pena) {
    retanga(x, y, largura, altura, cantos, pena);
}

// A bitmap at its own size, 300 pixels to the inch; a decoded picture at the object's size.
void DesenhaImagem(float x, float y, float largura, float altura, const char* arquivo,
                   int mascara) {
    if (arquivo == nullptr) return;
    const ImagemCodificada* codificada = ImagemDaExecucao(arquivo);
    if (codificada == nullptr) {
        const std::optional<Imagem> lida = CarregaImagem(arquivo, OrdemLinhas::ComoGravado);
        if (!lida) return;
        if (const auto* decodificada = std::get_if<ImagemDecodificada>(&*lida))
            codificada = &CodificaImagem(arquivo, *decodificada);
        else
            return DesenhaBitmap(x, y, std::get<Bitmap>(*lida), arquivo, mascara);
    }
    const MedidaImagem medida =
        MedeImagem(largura, altura, codificada->largura, codificada->altura);
    std::fprintf(saida, "%% IMAGEM %s %d\n", Comentario(arquivo).c_str(), mascara);
    DesenhaImagemCodificada(ConverteCaixa(x, y, medida.largura, medida.altura), *codificada);
}

void DesenhaCodBar(float x, float y, int altura, const char* tipo, const char* codigo) {
    std::string texto = codigo != nullptr ? codigo : "";
    rtrim(texto);
    if (texto.empty()) return;
    LinhaCodigo linha{};
    const int m = CodificaCodBar(tipo != nullptr ? tipo : "", texto, linha, Marca::Espacos);
    if (m < 0) return;
    const auto bytes = static_cast<std::size_t>(BytesLinha(m));
    const int X = PontoX(x), Y = PontoY(y);
    const int largura_pt = static_cast<int>(static_cast<long long>(m) * 72 / kModulosPolegada);
    const int faixas = std::min(altura, kMaxFaixas);
    for (int k = 1; k <= faixas; ++k) {
        std::fputs("gsave\n", saida);
        std::fprintf(saida, "%d %d translate\n%d %d scale\n%d %d 1 [%d 0 0 %d 0 0] {<", X,
                     Y - kAlturaFaixa * k, largura_pt, kAlturaFaixa, m, 1, m, 1);
        bool primeiro = true;
        EscreveBytes(linha.data(), bytes, false, primeiro);
        std::fputs(">} image\n", saida);
        std::fputs("grestore\n", saida);
    }
}

// One image mask of the symbol, a sample a module, scaled to the modules' size: the symbol is
// as large as in the PCL job, whole dots of 1/300 inch a module, and a few hundred bytes.
void DesenhaCodMatriz(float x, float y, const SimboloMatriz& s) {
    if (s.modulo < 1) return;
    const double ponto = kPontosPorPolegada / kPontosModulo;  // a module dot, in points
    const double largura = static_cast<double>(s.largura) * s.modulo * ponto;
    const double altura = static_cast<double>(s.altura) * s.modulo * ponto;
    std::fprintf(saida, "%% CODMATRIZ %d %d %d\n", s.largura, s.altura, s.modulo);
    std::fputs("gsave\n", saida);
    std::fprintf(saida, "%d %.2f translate\n", PontoX(x), PontoY(y) - altura);
    std::fprintf(saida, "%.2f %.2f scale\n", largura, altura);
    // The rows top first, as the symbol holds them; a set bit is a dark module and is painted.
    std::fprintf(saida, "%d %d true [%d 0 0 %d 0 %d] {<", s.largura, s.altura, s.largura, -s.altura,
                 s.altura);
    bool primeiro = true;
    EscreveBytes(s.linhas.data(), s.linhas.size(), false, primeiro);
    std::fputs(">} imagemask\ngrestore\n", saida);
}
