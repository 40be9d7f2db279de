// A decoded picture in the PostScript job: a level 2 image in DeviceGray or DeviceRGB, its
// samples LZW and ASCII85 encoded, its transparent parts left out by a clipping path.
#include "bitmap/imagem.h"

#include <cstdio>
#include <map>
#include <utility>
#include <vector>

#include "device/dispositivo.h"
#include "ps/filtros.h"
#include "ps/linhas.h"
#include "ps/ps.h"

namespace {

// A level 2 page cannot blend: a pixel at least half opaque is drawn, over white, and any
// other leaves the page as it is.
constexpr unsigned char kMeioOpaco = 128;
constexpr int kMaxAmostra = 255;

bool Desenhado(const ImagemDecodificada& imagem, int l, int c) {
    return imagem.alfa[imagem.Indice(l, c)] >= kMeioOpaco;
}

// A part of the picture in pixels, from its bottom left corner, y upwards.
struct Retangulo {
    int x, y, largura, altura;
};

// The pixels that are drawn, as rectangles: the runs of each row, a run that covers the same
// columns as one of the row above taken into the same rectangle, so that a logo's plain shapes
// are a few rectangles.
std::vector<Retangulo> PartesDesenhadas(const ImagemDecodificada& imagem) {
    using Trecho = std::pair<int, int>;  // first column, column after the last
    std::vector<Retangulo> partes;
    std::map<Trecho, int> abertos;  // each run of the row above, with the row it started in
    for (int l = 0; l <= imagem.altura; ++l) {
        std::map<Trecho, int> desta_linha;
        for (int c = 0; l < imagem.altura && c < imagem.largura;) {
            if (!Desenhado(imagem, l, c)) {
                ++c;
                continue;
            }
            const int inicio = c;
            while (c < imagem.largura && Desenhado(imagem, l, c))
                ++c;
            const auto aberto = abertos.find({inicio, c});
            desta_linha[{inicio, c}] = aberto != abertos.end() ? aberto->second : l;
        }
        for (const auto& [trecho, primeira] : abertos)
            if (desta_linha.count(trecho) == 0)
                partes.push_back(
                    {trecho.first, imagem.altura - l, trecho.second - trecho.first, l - primeira});
        abertos = std::move(desta_linha);
    }
    return partes;
}

// The clipping path of the drawn parts; each rectangle is "x y width height r".
void Recorta(const std::vector<Retangulo>& partes) {
    Linhas l;
    l << "newpath\n1 dict begin\n"
      << "/r {4 2 roll moveto 1 index 0 rlineto 0 exch rlineto neg 0 rlineto closepath} def\n";
    for (const Retangulo& p : partes) {
        l << p.x << ' ' << p.y << ' ' << p.largura << ' ' << p.altura << " r\n";
        l.EscreveSeGrande();
    }
    l << "end\nclip newpath\n";
    l.Escreve();
}

// The samples each row is sent with: a drawn pixel's over white, as it prints. The pixels left
// out take the colour of the nearest drawn one of their row, or, in a row with none drawn,
// those of the nearest row that has: an interpreter paints every device pixel the clipping
// path touches, and one that falls on a pixel left out must not show white along the edge.
class Amostras {
  public:
    explicit Amostras(const ImagemDecodificada& imagem) : imagem_(imagem) {
        if (!imagem.Transparente()) return;
        fonte_.assign(static_cast<std::size_t>(imagem.altura), -1);
        int anterior = -1;
        for (int l = 0; l < imagem.altura; ++l) {
            for (int c = 0; c < imagem.largura && fonte_[l] < 0; ++c)
                if (Desenhado(imagem, l, c)) fonte_[l] = l;
            if (fonte_[l] == l) {
                // The rows above without drawn pixels, since the last one with: the nearer.
                for (int k = anterior + 1; k < l; ++k)
                    if (anterior < 0 || l - k < k - anterior) fonte_[k] = l;
                anterior = l;
            } else {
                fonte_[l] = anterior;
            }
        }
    }

    // The samples of row l.
    const std::vector<unsigned char>& Linha(int l) {
        const ImagemDecodificada& im = imagem_;
        const std::size_t n = static_cast<std::size_t>(im.largura) * im.componentes;
        const unsigned char* origem = &im.amostras[im.Indice(l, 0) * im.componentes];
        linha_.assign(origem, origem + n);
        if (!im.Transparente()) return linha_;
        const int f = fonte_[l];
        // Each pixel's nearest drawn one in the row, looked for from the left, then the right.
        perto_.assign(static_cast<std::size_t>(im.largura), -1);
        for (int c = 0, ultimo = -1; c < im.largura; ++c) {
            if (Desenhado(im, f, c)) ultimo = c;
            perto_[c] = ultimo;
        }
        for (int c = im.largura - 1, proximo = -1; c >= 0; --c) {
            if (Desenhado(im, f, c)) proximo = c;
            if (proximo >= 0 && (perto_[c] < 0 || proximo - c < c - perto_[c])) perto_[c] = proximo;
        }
        for (int c = 0; c < im.largura; ++c) {
            const std::size_t pixel = im.Indice(f, perto_[c]);
            const int a = im.alfa[pixel];
            for (int k = 0; k < im.componentes; ++k) {
                const int v = im.amostras[pixel * im.componentes + k];
                linha_[static_cast<std::size_t>(c) * im.componentes + k] =
                    static_cast<unsigned char>(
                        (v * a + kMaxAmostra * (kMaxAmostra - a) + kMaxAmostra / 2) / kMaxAmostra);
            }
        }
        return linha_;
    }

  private:
    const ImagemDecodificada& imagem_;
    std::vector<int> fonte_;  // the row whose drawn pixels give each row its colours
    std::vector<int> perto_;
    std::vector<unsigned char> linha_;
};

}  // namespace

void DesenhaImagemDecodificada(const Caixa& caixa, const ImagemDecodificada& imagem) {
    const long long largura_pt = static_cast<long long>(caixa.X2) - caixa.X1;
    const long long altura_pt = static_cast<long long>(caixa.Y1) - caixa.Y2;
    // A picture of less than a point prints nothing.
    if (largura_pt <= 0 || altura_pt <= 0 || imagem.largura <= 0 || imagem.altura <= 0) return;
    std::vector<Retangulo> partes;
    if (imagem.Transparente()) {
        partes = PartesDesenhadas(imagem);
        if (partes.empty()) return;
    }
    const int w = imagem.largura, h = imagem.altura;
    std::fputs("gsave\n", saida);
    // User space in the picture's pixels, from its bottom left corner.
    std::fprintf(saida, "%d %d translate\n", caixa.X1, caixa.Y2);
    std::fprintf(saida, "%lld %d div %lld %d div scale\n", largura_pt, w, altura_pt, h);
    const bool inteira = partes.size() == 1 && partes[0].largura == w && partes[0].altura == h;
    if (!partes.empty() && !inteira) Recorta(partes);
    const bool cor = imagem.componentes == 3;
    std::fprintf(saida, "/Device%s setcolorspace\n", cor ? "RGB" : "Gray");
    // The image reads its samples from the job through the two decoding filters; the ASCII85
    // filter is then read to its end mark, so that the job goes on right after the data.
    std::fputs("currentfile /ASCII85Decode filter\n", saida);
    std::fprintf(saida,
                 "<< /ImageType 1 /Width %d /Height %d /BitsPerComponent 8 /Decode [%s] "
                 "/ImageMatrix [1 0 0 -1 0 %d] >>\n",
                 w, h, cor ? "0 1 0 1 0 1" : "0 1", h);
    std::fputs("dup /DataSource 3 index /LZWDecode filter put\n", saida);
    std::fputs("{image flushfile} exec\n", saida);
    Ascii85 texto(saida);
    Lzw dados(texto);
    Amostras amostras(imagem);
    for (int l = 0; l < h; ++l) {
        const std::vector<unsigned char>& linha = amostras.Linha(l);
        dados.Poe(linha.data(), linha.size());
    }
    dados.Termina();
    std::fputs("grestore\n", saida);
}
