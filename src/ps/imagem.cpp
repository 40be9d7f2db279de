// A decoded picture in the PostScript job: a level 2 image in DeviceGray or DeviceRGB, its
// samples LZW and ASCII85 encoded, its transparent parts left out by a clipping path.
#include "bitmap/imagem.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
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

// A clipping path of more rectangles than this is cut into bands of rows, each drawn with a
// path of its own: printers hold a path in memory of their own, and a picture of scattered
// transparency must not exhaust it.
constexpr std::size_t kMaxPartes = 500;

// Rows primeira to fim (excluded) of the picture, and the rectangles of their drawn pixels.
struct Faixa {
    int primeira, fim;
    std::vector<Retangulo> partes;
};

using Trecho = std::pair<int, int>;  // first column, column after the last

std::vector<Trecho> TrechosDesenhados(const ImagemDecodificada& imagem, int l) {
    std::vector<Trecho> trechos;
    for (int c = 0; c < imagem.largura;) {
        if (!Desenhado(imagem, l, c)) {
            ++c;
            continue;
        }
        const int inicio = c;
        while (c < imagem.largura && Desenhado(imagem, l, c))
            ++c;
        trechos.emplace_back(inicio, c);
    }
    return trechos;
}

// The drawn pixels as rectangles, in bands of at most kMaxPartes rectangles (a band is never
// less than a row): the runs of each row, a run that covers the same columns as one of the row
// above taken into the same rectangle, so that a logo's plain shapes are a few rectangles.
std::vector<Faixa> Faixas(const ImagemDecodificada& imagem) {
    std::vector<Faixa> faixas;
    Faixa faixa{0, 0, {}};
    std::map<Trecho, int> abertos;  // each run of the row above, with the row it started in
    // The open rectangles not in `seguem` end above row l.
    auto fecha = [&](int l, const std::map<Trecho, int>& seguem) {
        for (const auto& [trecho, primeira] : abertos)
            if (seguem.count(trecho) == 0)
                faixa.partes.push_back(
                    {trecho.first, imagem.altura - l, trecho.second - trecho.first, l - primeira});
    };
    for (int l = 0; l < imagem.altura; ++l) {
        const std::vector<Trecho> trechos = TrechosDesenhados(imagem, l);
        std::size_t novos = 0;
        for (const Trecho& t : trechos)
            novos += abertos.count(t) == 0;
        if (l > faixa.primeira && faixa.partes.size() + abertos.size() + novos > kMaxPartes) {
            fecha(l, {});
            abertos.clear();
            faixa.fim = l;
            faixas.push_back(std::move(faixa));
            faixa = {l, l, {}};
        }
        std::map<Trecho, int> desta_linha;
        for (const Trecho& t : trechos) {
            const auto aberto = abertos.find(t);
            desta_linha[t] = aberto != abertos.end() ? aberto->second : l;
        }
        fecha(l, desta_linha);
        abertos = std::move(desta_linha);
    }
    fecha(imagem.altura, {});
    faixa.fim = imagem.altura;
    faixas.push_back(std::move(faixa));
    return faixas;
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

// Rows primeira to fim of the picture as one image, in user space of the picture's pixels;
// without transparency the rectangles are left out, and so is the clipping path.
void DesenhaFaixa(const ImagemDecodificada& imagem, const Faixa& faixa, Amostras& amostras) {
    const int w = imagem.largura, h = imagem.altura, linhas = faixa.fim - faixa.primeira;
    const auto& p = faixa.partes;
    const bool inteira = p.size() == 1 && p[0].largura == w && p[0].altura == linhas;
    std::fputs("gsave\n", saida);
    if (!p.empty() && !inteira) Recorta(p);
    const bool cor = imagem.componentes == 3;
    std::fprintf(saida, "/Device%s setcolorspace\n", cor ? "RGB" : "Gray");
    // The image reads its samples from the job through the two decoding filters; the ASCII85
    // filter is then read to its end mark, so that the job goes on right after the data.
    std::fputs("currentfile /ASCII85Decode filter\n", saida);
    std::fprintf(saida,
                 "<< /ImageType 1 /Width %d /Height %d /BitsPerComponent 8 /Decode [%s] "
                 "/ImageMatrix [1 0 0 -1 0 %d] >>\n",
                 w, linhas, cor ? "0 1 0 1 0 1" : "0 1", h - faixa.primeira);
    std::fputs("dup /DataSource 3 index /LZWDecode filter put\n", saida);
    std::fputs("{image flushfile} exec\n", saida);
    Ascii85 texto(saida);
    Lzw dados(texto);
    for (int l = faixa.primeira; l < faixa.fim; ++l) {
        const std::vector<unsigned char>& linha = amostras.Linha(l);
        dados.Poe(linha.data(), linha.size());
    }
    dados.Termina();
    std::fputs("grestore\n", saida);
}

// The drawings of this run's pictures, by file name.
std::map<std::string, ImagemCodificada>& Codificadas() {
    static std::map<std::string, ImagemCodificada> codificadas;
    return codificadas;
}

}  // namespace

const ImagemCodificada* ImagemDaExecucao(const std::string& arquivo) {
    const auto achada = Codificadas().find(arquivo);
    return achada != Codificadas().end() ? &achada->second : nullptr;
}

const ImagemCodificada& CodificaImagem(const std::string& arquivo,
                                       const ImagemDecodificada& imagem) {
    ImagemCodificada codificada{imagem.largura, imagem.altura, {}};
    std::vector<Faixa> faixas = {{0, imagem.altura, {}}};
    if (imagem.Transparente()) {
        faixas = Faixas(imagem);
        std::erase_if(faixas, [](const Faixa& f) { return f.partes.empty(); });
    }
    if (!faixas.empty()) {
        char* texto = nullptr;
        std::size_t tamanho = 0;
        std::FILE* memoria = open_memstream(&texto, &tamanho);
        if (memoria != nullptr) {
            std::FILE* job = saida;
            saida = memoria;
            Amostras amostras(imagem);
            for (const Faixa& faixa : faixas)
                DesenhaFaixa(imagem, faixa, amostras);
            saida = job;
            if (std::fclose(memoria) == 0) codificada.desenho.assign(texto, tamanho);
            std::free(texto);
        }
    }
    return Codificadas().insert_or_assign(arquivo, std::move(codificada)).first->second;
}

void EsqueceImagensPS() {
    Codificadas().clear();
}

void DesenhaImagemCodificada(const Caixa& caixa, const ImagemCodificada& imagem) {
    const long long largura_pt = static_cast<long long>(caixa.X2) - caixa.X1;
    const long long altura_pt = static_cast<long long>(caixa.Y1) - caixa.Y2;
    // A picture of less than a point prints nothing, nor one without a drawn pixel.
    if (largura_pt <= 0 || altura_pt <= 0 || imagem.desenho.empty()) return;
    std::fputs("gsave\n", saida);
    // User space in the picture's pixels, from its bottom left corner.
    std::fprintf(saida, "%d %d translate\n", caixa.X1, caixa.Y2);
    std::fprintf(saida, "%lld %d div %lld %d div scale\n", largura_pt, imagem.largura, altura_pt,
                 imagem.altura);
    std::fwrite(imagem.desenho.data(), 1, imagem.desenho.size(), saida);
    std::fputs("grestore\n", saida);
}
