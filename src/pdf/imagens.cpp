#include "pdf/imagens.h"

#include <map>
#include <optional>
#include <utility>
#include <variant>

#include "bitmap/bitmap.h"
#include "bitmap/imagem.h"
#include "pdf/compressao.h"
#include "pdf/escritor.h"

namespace {

// An image of the run: its dictionary's entries and its compressed samples, and the same of
// its soft mask when it has one.
struct ImagemGravada {
    std::string entradas;
    std::string dados;
    std::string entradas_alfa;
    std::string dados_alfa;
    int largura = 0, altura = 0;
    bool decodificada = false;
};
std::vector<ImagemGravada> imagens;
// The number of each image by its key; -1 for a file that could not be used.
std::map<std::string, int> por_chave;

ImagemRegistrada Registrada(int numero) {
    const ImagemGravada& g = imagens[static_cast<std::size_t>(numero)];
    return {numero, g.largura, g.altura, g.decodificada};
}

long long BytesLinha(long long amostras_linha, int bits) {
    return (amostras_linha * bits + 7) / 8;
}

bool BitmapCoerente(const Bitmap& b) {
    if (b.largura <= 0 || b.altura <= 0 || b.tamlinha < BytesLinha(b.largura, 1)) return false;
    return static_cast<long long>(b.pixels.size()) >= static_cast<long long>(b.altura) * b.tamlinha;
}

std::string Dimensoes(const ImagemPDF& i) {
    return "/Type/XObject/Subtype/Image/Width " + std::to_string(i.largura) + "/Height " +
           std::to_string(i.altura);
}

int Grava(const std::string& chave, const ImagemPDF& i) {
    ImagemGravada g;
    g.largura = i.largura;
    g.altura = i.altura;
    g.decodificada = i.bits == 8;
    g.entradas = Dimensoes(i);
    if (i.mascara)
        g.entradas += "/ImageMask true";
    else
        g.entradas +=
            std::string(i.componentes == 3 ? "/ColorSpace/DeviceRGB" : "/ColorSpace/DeviceGray") +
            "/BitsPerComponent " + std::to_string(i.bits);
    g.entradas += kFiltroCompressao;
    Comprime(std::string_view(reinterpret_cast<const char*>(i.amostras.data()), i.amostras.size()),
             g.dados, Compressao::maxima);
    if (!i.alfa.empty()) {
        g.entradas_alfa = Dimensoes(i) + "/ColorSpace/DeviceGray/BitsPerComponent 8" +
                          std::string(kFiltroCompressao);
        Comprime(std::string_view(reinterpret_cast<const char*>(i.alfa.data()), i.alfa.size()),
                 g.dados_alfa, Compressao::maxima);
    }
    imagens.push_back(std::move(g));
    const int numero = static_cast<int>(imagens.size() - 1);
    por_chave[chave] = numero;
    return numero;
}

// The bitmap's rows top first, without the file's padding.
ImagemPDF DoBitmap(const Bitmap& b, bool mascara) {
    ImagemPDF i;
    i.largura = b.largura;
    i.altura = b.altura;
    i.bits = 1;
    i.mascara = mascara;
    const auto por_linha = static_cast<std::size_t>(BytesLinha(b.largura, 1));
    i.amostras.reserve(por_linha * static_cast<std::size_t>(b.altura));
    for (std::size_t r = 0; r < static_cast<std::size_t>(b.altura); ++r) {
        const auto inicio = b.pixels.begin() +
                            static_cast<std::ptrdiff_t>(r * static_cast<std::size_t>(b.tamlinha));
        i.amostras.insert(i.amostras.end(), inicio,
                          inicio + static_cast<std::ptrdiff_t>(por_linha));
    }
    return i;
}

// A decoded picture's samples and alpha as they are: rows top first, 8 bits a sample, the alpha
// straight, as a soft mask takes it.
ImagemPDF DaDecodificada(ImagemDecodificada d) {
    ImagemPDF i;
    i.largura = d.largura;
    i.altura = d.altura;
    i.componentes = d.componentes;
    i.bits = 8;
    i.amostras = std::move(d.amostras);
    i.alfa = std::move(d.alfa);
    return i;
}

}  // namespace

std::optional<ImagemRegistrada> ImagemDoArquivo(const char* arquivo, bool mascara) {
    const std::string chave = std::string(mascara ? "m:" : "i:") + arquivo;
    const auto achada = por_chave.find(chave);
    if (achada != por_chave.end()) {
        if (achada->second < 0) return std::nullopt;
        return Registrada(achada->second);
    }
    std::optional<Imagem> lida = CarregaImagem(arquivo, OrdemLinhas::TopoPrimeiro);
    if (auto* d = lida ? std::get_if<ImagemDecodificada>(&*lida) : nullptr) {
        // A picture is the same image whichever mask word names it.
        const ImagemRegistrada r =
            RegistraImagem(std::string("p:") + arquivo, DaDecodificada(std::move(*d)));
        por_chave[chave] = r.numero;
        return r;
    }
    const Bitmap* b = lida ? std::get_if<Bitmap>(&*lida) : nullptr;
    if (b == nullptr || !BitmapCoerente(*b)) {
        por_chave.emplace(chave, -1);
        return std::nullopt;
    }
    return Registrada(Grava(chave, DoBitmap(*b, mascara)));
}

ImagemRegistrada RegistraImagem(const std::string& chave, ImagemPDF imagem) {
    const auto achada = por_chave.find(chave);
    if (achada != por_chave.end() && achada->second >= 0) return Registrada(achada->second);
    return Registrada(Grava(chave, imagem));
}

std::string NomeImagem(int numero) {
    return "Im" + std::to_string(numero + 1);
}

int EscreveImagem(Escritor& escritor, int numero) {
    const ImagemGravada& g = imagens[static_cast<std::size_t>(numero)];
    std::string entradas = g.entradas;
    if (!g.dados_alfa.empty()) {
        const int alfa = escritor.Reserva();
        escritor.Fluxo(alfa, g.entradas_alfa, g.dados_alfa);
        entradas += "/SMask " + Referencia(alfa);
    }
    const int objeto = escritor.Reserva();
    escritor.Fluxo(objeto, entradas, g.dados);
    return objeto;
}

void EsqueceImagens() {
    imagens.clear();
    por_chave.clear();
}
