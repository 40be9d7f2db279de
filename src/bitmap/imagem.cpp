#include "bitmap/imagem.h"

#include <algorithm>
#include <cfloat>
#include <cstdio>
#include <set>
#include <string>
#include <utility>

#include "bitmap/png.h"

namespace {

// The names already reported in this run: a logo of the form is read again for every page (and
// every batch), and the operator needs to hear of it once, not once per sheet.
std::set<std::string> avisados;

// A picture's own pixels are drawn at this many to the inch, as a bitmap's.
constexpr float kPixelsPolegadaImagem = 300.0f;

// A size in inches as a float, kept inside the float range.
float Polegadas(double medida) {
    return static_cast<float>(std::min(medida, static_cast<double>(FLT_MAX)));
}

}  // namespace

std::optional<Imagem> LeImagem(const char* arquivo, OrdemLinhas ordem) {
    const ArquivoImagem f = AbreArquivoImagem(arquivo);
    if (!f) return std::nullopt;
    if (AssinaturaPNG(f.get())) {
        std::optional<ImagemDecodificada> png = DecodificaPNG(f.get());
        if (!png) return std::nullopt;
        return Imagem(std::move(*png));
    }
    std::optional<Bitmap> bmp = LeBitmap(f.get(), ordem);
    if (!bmp) return std::nullopt;
    return Imagem(std::move(*bmp));
}

std::optional<Imagem> CarregaImagem(const char* arquivo, OrdemLinhas ordem) {
    const std::string nome = arquivo != nullptr ? arquivo : "";
    std::optional<Imagem> imagem = LeImagem(nome.c_str(), ordem);
    if (!imagem && avisados.insert(nome).second)
        std::fprintf(stderr, "Erro na abertura do arquivo [%s]\n", nome.c_str());
    return imagem;
}

MedidaImagem MedeImagem(float largura, float altura, int pixels_largura, int pixels_altura) {
    const double proporcao = static_cast<double>(pixels_altura) / pixels_largura;
    if (largura > 0 && altura > 0) return {largura, altura};
    if (largura > 0) return {largura, Polegadas(largura * proporcao)};
    if (altura > 0) return {Polegadas(altura / proporcao), altura};
    return {static_cast<float>(pixels_largura) / kPixelsPolegadaImagem,
            static_cast<float>(pixels_altura) / kPixelsPolegadaImagem};
}
