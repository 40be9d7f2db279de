// Drawings of the PDF job: lines, boxes, boxes with curved corners, images, barcodes and matrix
// codes, on the same points and with the same paths as morvel's.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "barcode/barcode.h"
#include "barcode/matriz.h"
#include "bitmap/imagem.h"
#include "device/dispositivo.h"
#include "pdf/conteudo.h"
#include "pdf/imagens.h"
#include "pdf/pdf.h"
#include "util/texto.h"

namespace {

// A width of 0 is the thinnest line the device can print: one dot of a 300-dpi printer, as
// morvel's printers print it (a reader's thinnest line may be far thinner on a screen).
constexpr double kLinhaMaisFina = 72.0 / 300.0;
// A matrix code's module is a whole number of dots of this many to the inch.
constexpr double kPontosPorDot = 72.0 / kPontosModulo;
// A quarter of a circle as one cubic curve: its control points lie this far along the
// tangents, in radii.
constexpr double kTangente = 0.5522847498307936;

double Largura(int w) {
    const double largura = std::fabs(static_cast<double>(w)) * kQuartoPonto;
    if (largura == 0) return kLinhaMaisFina;
    return std::min(largura, static_cast<double>(kLimitePontos));
}

void Move(Conteudo& c, long long X, long long Y) {
    c << X << ' ' << Y << " m\n";
}

void Linha(Conteudo& c, long long X, long long Y) {
    c << X << ' ' << Y << " l\n";
}

void Segmento(Conteudo& c, int xa, int ya, int xb, int yb) {
    Move(c, xa, ya);
    Linha(c, xb, yb);
}

// A square corner: two strokes of kRaio points meeting at the corner point.
void Quina(Conteudo& c, int xa, int ya, int xc, int yc, int xb, int yb) {
    Move(c, xa, ya);
    Linha(c, xc, yc);
    Linha(c, xb, yb);
}

// A curved corner: a quarter of a circle of kRaio points about (xc, yc), counter-clockwise from
// `quarto` quarter turns (0 is the positive x axis).
void Arco(Conteudo& c, int xc, int yc, int quarto) {
    static constexpr int kCos[] = {1, 0, -1, 0};
    static constexpr int kSen[] = {0, 1, 0, -1};
    const int a = quarto % 4, b = (quarto + 1) % 4;
    const double r = kRaio, t = kTangente * kRaio;
    const double x0 = xc + r * kCos[a], y0 = yc + r * kSen[a];
    const double x3 = xc + r * kCos[b], y3 = yc + r * kSen[b];
    c.Real(x0) << ' ';
    c.Real(y0) << " m\n";
    c.Real(x0 - t * kSen[a]) << ' ';
    c.Real(y0 + t * kCos[a]) << ' ';
    c.Real(x3 + t * kSen[b]) << ' ';
    c.Real(y3 - t * kCos[b]) << ' ';
    c.Real(x3) << ' ';
    c.Real(y3) << " c\n";
}

bool Curvo(std::string_view cantos, std::size_t i) {
    return i < cantos.size() && i < kCantos && cantos[i] == '0';
}

long long BytesLinha(int largura) {
    return (static_cast<long long>(largura) + 7) / 8;
}

// An image the stream shows, which the document must hold before the page.
void Mostrada(std::vector<int>& lista, int numero) {
    if (std::find(lista.begin(), lista.end(), numero) == lista.end()) lista.push_back(numero);
}

}  // namespace

void DesenhaLinha(float x1, float y1, float x2, float y2, int largura) {
    Conteudo* c = Lado();
    if (c == nullptr) return;
    const int X1 = PontoX(x1), Y1 = PontoY(y1), X2 = PontoX(x2), Y2 = PontoY(y2);
    bool desenhou = largura >= 0;
    AvisaTinta(X1, Y1, X2, Y2, Largura(largura) / 2);
    c->Traco(0);
    c->Largura(Largura(largura));
    if (largura >= 0) {
        Segmento(*c, X1, Y1, X2, Y2);
    } else {
        // A dashed line as morvel draws it: each dash a path of its own.
        Tracos(X1, Y1, X2, Y2, [c, &desenhou](int X, int Y, int dx, int dy) {
            Move(*c, X, Y);
            Linha(*c, static_cast<long long>(X) + dx, static_cast<long long>(Y) + dy);
            desenhou = true;
        });
    }
    if (desenhou) *c << "h S\n";
}

void DesenhaRetang(float x, float y, float largura, float altura, int sombra, int borda) {
    Conteudo* c = Lado();
    if (c == nullptr) return;
    sombra = std::clamp(sombra, 0, kSombraMax);
    const Caixa b = ConverteCaixa(x, y, largura, altura);
    AvisaTinta(b.X1, b.Y2, b.X2, b.Y1, borda != 0 ? Largura(borda) / 2 : 0);
    // morvel's grey is the shade's complement in hundredths.
    c->Preenchimento(static_cast<double>(kSombraMax - sombra) / kSombraMax);
    if (borda != 0) {
        c->Traco(0);
        c->Largura(Largura(borda));
    }
    *c << b.X1 << ' ' << b.Y1 << ' ' << static_cast<long long>(b.X2) - b.X1 << ' '
       << static_cast<long long>(b.Y2) - b.Y1 << (borda != 0 ? " re B\n" : " re f\n");
}

void DesenhaRetangA(float x, float y, float largura, float altura, const char* cantos, int pena) {
    Conteudo* c = Lado();
    if (c == nullptr) return;
    const std::string_view flags = cantos != nullptr ? cantos : "";
    const Caixa b = ConverteCaixa(x, y, largura, altura);
    AvisaTinta(b.X1, b.Y2, b.X2, b.Y1, Largura(pena) / 2);
    c->Traco(0);
    c->Largura(Largura(pena));
    // Coordinates are bounded by kLimitePontos, so these sums cannot overflow.
    Segmento(*c, b.X1 + kRaio, b.Y1, b.X2 - kRaio, b.Y1);
    Segmento(*c, b.X2, b.Y1 - kRaio, b.X2, b.Y2 + kRaio);
    Segmento(*c, b.X1 + kRaio, b.Y2, b.X2 - kRaio, b.Y2);
    Segmento(*c, b.X1, b.Y1 - kRaio, b.X1, b.Y2 + kRaio);
    // Top right, bottom right, bottom left, top left.
    if (Curvo(flags, 1))
        Arco(*c, b.X2 - kRaio, b.Y1 - kRaio, 0);
    else
        Quina(*c, b.X2 - kRaio, b.Y1, b.X2, b.Y1, b.X2, b.Y1 - kRaio);
    if (Curvo(flags, 2))
        Arco(*c, b.X2 - kRaio, b.Y2 + kRaio, 3);
    else
        Quina(*c, b.X2, b.Y2 + kRaio, b.X2, b.Y2, b.X2 - kRaio, b.Y2);
    if (Curvo(flags, 3))
        Arco(*c, b.X1 + kRaio, b.Y2 + kRaio, 2);
    else
        Quina(*c, b.X1 + kRaio, b.Y2, b.X1, b.Y2, b.X1, b.Y2 + kRaio);
    if (Curvo(flags, 0))
        Arco(*c, b.X1 + kRaio, b.Y1 - kRaio, 1);
    else
        Quina(*c, b.X1, b.Y1 - kRaio, b.X1, b.Y1, b.X1 + kRaio, b.Y1);
    *c << "S\n";
}

// A decoded picture in its box, whole points as morvel's: its colours, its transparent parts
// leaving the page as it is (its soft mask).
void DesenhaDecodificada(Conteudo& c, float x, float y, float largura, float altura,
                         const ImagemRegistrada& imagem) {
    const MedidaImagem medida = MedeImagem(largura, altura, imagem.largura, imagem.altura);
    const Caixa b = ConverteCaixa(x, y, medida.largura, medida.altura);
    const long long largura_pt = static_cast<long long>(b.X2) - b.X1;
    const long long altura_pt = static_cast<long long>(b.Y1) - b.Y2;
    // A picture of less than a point prints nothing.
    if (largura_pt <= 0 || altura_pt <= 0) return;
    AvisaTinta(b.X1, b.Y2, b.X2, b.Y1);
    // Rows top first: the image's first row at the box's top.
    c.Salva();
    c << largura_pt << " 0 0 " << altura_pt << ' ' << b.X1 << ' ' << b.Y2 << " cm\n";
    c.Mostra(NomeImagem(imagem.numero));
    c.Restaura();
    Mostrada(c.imagens, imagem.numero);
}

// The image's box, in whole points as morvel scales it, with its top left corner at (x, y). A
// plain bitmap paints its light pixels white; a mask (mascara not 0) leaves them as they were.
void DesenhaImagem(float x, float y, float largura, float altura, const char* arquivo,
                   int mascara) {
    Conteudo* c = Lado();
    if (c == nullptr || arquivo == nullptr) return;
    const std::optional<ImagemRegistrada> imagem = ImagemDoArquivo(arquivo, mascara != 0);
    if (!imagem) return;
    if (imagem->decodificada) {
        DesenhaDecodificada(*c, x, y, largura, altura, *imagem);
        return;
    }
    const long long altura_pt = static_cast<long long>(imagem->altura) * 72 / kPixelsPolegada;
    const long long largura_pt = static_cast<long long>(imagem->largura) * 72 / kPixelsPolegada;
    // An image of less than a point prints nothing.
    if (altura_pt <= 0 || largura_pt <= 0) return;
    const int X = PontoX(x), Y = PontoY(y);
    AvisaTinta(X, static_cast<double>(Y - altura_pt), static_cast<double>(X + largura_pt), Y);
    c->Salva();
    if (mascara != 0) c->Preenchimento(0);
    *c << largura_pt << " 0 0 " << altura_pt << ' ' << X << ' ' << LimitaAInt(Y - altura_pt)
       << " cm\n";
    c->Mostra(NomeImagem(imagem->numero));
    c->Restaura();
    Mostrada(c->imagens, imagem->numero);
}

// The bars as a one-bit image mask one module a pixel, stretched over the height of every strip,
// over the white of the spaces: as morvel's strips, which are opaque images, print them. A
// barcode holds a few hundred bars; drawn as boxes, each would cost the document far more.
void DesenhaCodBar(float x, float y, int altura, const char* tipo, const char* codigo) {
    std::string texto = codigo != nullptr ? codigo : "";
    rtrim(texto);
    if (texto.empty()) return;
    LinhaCodigo linha{};
    const int m = CodificaCodBar(tipo != nullptr ? tipo : "", texto, linha, Marca::Barras);
    if (m < 0) return;
    Conteudo* c = Lado();
    const int faixas = std::min(altura, kMaxFaixas);
    if (c == nullptr || m == 0 || faixas <= 0) return;
    const int X = PontoX(x), Y = PontoY(y);
    const long long largura_pt = static_cast<long long>(m) * 72 / kModulosPolegada;
    // A barcode of less than a point prints nothing.
    if (largura_pt <= 0) return;
    const long long alto = static_cast<long long>(kAlturaFaixa) * faixas;
    AvisaTinta(X, static_cast<double>(Y - alto), static_cast<double>(X + largura_pt), Y);
    c->Salva();
    c->Preenchimento(1);
    *c << X << ' ' << Y - alto << ' ' << largura_pt << ' ' << alto << " re f\n";
    c->Preenchimento(0);
    *c << largura_pt << " 0 0 " << alto << ' ' << X << ' ' << Y - alto << " cm\n";
    c->ImagemEmLinha(m, 1, true, linha.data(), static_cast<std::size_t>(BytesLinha(m)));
    c->Restaura();
}

// The dark modules as a one-bit image mask, one module a pixel, each pixel a square of the
// module's side: light modules leave the page as it was.
void DesenhaCodMatriz(float x, float y, const SimboloMatriz& simbolo) {
    Conteudo* c = Lado();
    if (c == nullptr || simbolo.modulo <= 0 || simbolo.largura <= 0 || simbolo.altura <= 0) return;
    const auto por_linha = static_cast<std::size_t>(simbolo.BytesLinha());
    if (simbolo.linhas.size() < por_linha * static_cast<std::size_t>(simbolo.altura)) return;
    // Rows top first: the first row hangs from (x, y) and the next ones go down the page.
    const double lado = simbolo.modulo * kPontosPorDot;
    const double largura = simbolo.largura * lado, altura = simbolo.altura * lado;
    AvisaTinta(PontoX(x), PontoY(y) - altura, PontoX(x) + largura, PontoY(y));
    c->Salva();
    c->Preenchimento(0);
    c->Real(largura) << " 0 0 ";
    c->Real(altura) << ' ' << PontoX(x) << ' ';
    c->Real(PontoY(y) - altura) << " cm\n";
    c->ImagemEmLinha(simbolo.largura, simbolo.altura, true, simbolo.linhas.data(), por_linha);
    c->Restaura();
}
