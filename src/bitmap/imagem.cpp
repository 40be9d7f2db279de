#include <cstdio>
#include <set>
#include <string>

#include "bitmap/bitmap.h"

namespace {

// The names already reported in this run: a logo of the form is read again for every page (and
// every batch), and the operator needs to hear of it once, not once per sheet.
std::set<std::string> avisados;

}  // namespace

std::optional<Bitmap> CarregaImagem(const char* arquivo, OrdemLinhas ordem) {
    const std::string nome = arquivo != nullptr ? arquivo : "";
    std::optional<Bitmap> imagem = CarregaBitmap(nome.c_str(), ordem);
    if (!imagem && avisados.insert(nome).second)
        std::fprintf(stderr, "Erro na abertura do arquivo [%s]\n", nome.c_str());
    return imagem;
}
