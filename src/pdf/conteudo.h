#pragma once
// One content stream in the making: a page's, or the form of one side's fixed objects. The
// drawing operations write PDF's operators into it, with morvel's numbers; what the document
// needs to know of the stream (the glyphs of each font, the images and forms it shows) is kept
// beside it, so that the stream can go to whichever document its sheet ends in.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/fontes.h"
#include "util/montador.h"

class Conteudo : public Montador {
  public:
    // A page's stream starts from PDF's initial graphics state (black, lines one point wide, no
    // font); a form's from whatever state the page that shows it is in, so its first colour,
    // width and font are always written.
    void Comeca(bool estado_inicial);

    // A number with at most four decimals, without trailing zeros.
    Montador& Real(double numero);

    // The graphics state, each part written only when it changes.
    void Preenchimento(double cinza);  // g: the grey of fills, texts and image masks
    void Traco(double cinza);          // G: the grey of strokes
    void Largura(double pontos);       // w
    void Salva();                      // q
    void Restaura();                   // Q

    // A text in font `fonte` of `tamanho` points from (X, Y), turned a quarter turn
    // counter-clockwise when `girado`, in the fill's grey.
    void Texto(std::size_t fonte, int tamanho, double X, double Y, bool girado,
               const std::vector<std::uint16_t>& glifos);
    // A one-bit image in the stream itself, `bytes_linha` bytes a row, rows top first, on the
    // unit square of the current user space: opaque (a clear bit black, a set bit white), or,
    // as a mask, a set bit painted in the fill's grey and a clear bit leaving the page alone.
    void ImagemEmLinha(int largura, int altura, bool mascara, const unsigned char* linhas,
                       std::size_t bytes_linha);
    // Shows the image or form of that resource name.
    void Mostra(std::string_view nome);

    std::string_view Dados() const { return texto_; }
    bool Vazio() const { return texto_.empty(); }

    // What the stream shows, for the document that takes it.
    GlifosUsados glifos;
    std::vector<int> imagens;  // run-wide numbers of the images (imagens.h)
    std::vector<int> formas;   // run-wide numbers of the forms (forma.cpp)

  private:
    // What of the graphics state is known; a negative value or fonte_ at kNumFontes: unknown.
    struct Estado {
        double preenchimento, traco, largura;
        std::size_t fonte;
        int tamanho;
    };
    Estado estado_{};
    std::vector<Estado> pilha_;
};
