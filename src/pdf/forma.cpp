// The fixed objects of the form, drawn once a batch and shown on every page: the document then
// holds each side's form once, as a form object of its own that every page shows, instead of
// thousands of copies.
#include <deque>
#include <string>

#include "device/dispositivo.h"
#include "interp/interp.h"
#include "pdf/compressao.h"
#include "pdf/conteudo.h"
#include "pdf/pdf.h"

namespace {

// The text rotation carries over from object to object and page to page, so the same fixed
// objects may be drawn otherwise on a later page: each drawing is kept with the rotation it
// started from, and leaves the rotation it ended with.
struct Rotacoes {
    int pedida, em_uso;
    bool operator==(const Rotacoes&) const = default;
};

// Each copy of a copy set (VIAS) has a form of its own, and each side its own shift.
struct FormaGravada {
    char lado;
    int via;
    Deslocamento deslocamento;
    Rotacoes antes, depois;
    Conteudo conteudo;
    std::string comprimido;
    double largura, altura;
};
// The batch's forms; the first one's number in the run is `primeira`. A deque keeps each form
// where it is while others are recorded.
std::deque<FormaGravada> formas;
int primeira = 0;

Rotacoes RotacoesAtuais() {
    return {rotacao0, rotacao};
}

const FormaGravada& Grava(char lado, void (*interpreta)()) {
    const PaginaPontos p = PaginaEfetiva();
    FormaGravada& f = formas.emplace_back();
    f.lado = lado;
    f.via = via_atual;
    f.deslocamento = deslocamento;
    f.antes = RotacoesAtuais();
    f.largura = p.largura;
    f.altura = p.altura;
    // Shown on a page, a form starts from the page's state, which it cannot know.
    f.conteudo.Comeca(false);
    DesviaLado(&f.conteudo);
    interpreta();
    DesviaLado(nullptr);
    f.depois = RotacoesAtuais();
    Comprime(f.conteudo.Dados(), f.comprimido, Compressao::maxima);
    return f;
}

}  // namespace

void DesenhaForma(char lado, void (*interpreta)()) {
    Conteudo* c = Lado();
    if (c == nullptr) return;
    const FormaGravada* forma = nullptr;
    int numero = primeira;
    for (const FormaGravada& f : formas) {
        if (f.lado == lado && f.via == via_atual && f.deslocamento.x == deslocamento.x &&
            f.deslocamento.y == deslocamento.y && f.antes == RotacoesAtuais()) {
            forma = &f;
            break;
        }
        ++numero;
    }
    if (forma == nullptr) forma = &Grava(lado, interpreta);
    rotacao0 = forma->depois.pedida;
    rotacao = forma->depois.em_uso;
    // A form that draws nothing is not shown.
    if (forma->conteudo.Vazio()) return;
    c->Mostra(NomeForma(numero));
    c->formas.push_back(numero);
}

void EsqueceFormas() {
    primeira += static_cast<int>(formas.size());
    formas.clear();
}

void ReiniciaFormas() {
    formas.clear();
    primeira = 0;
}

FormaPDF FormaDeNumero(int numero) {
    const FormaGravada& f = formas[static_cast<std::size_t>(numero - primeira)];
    return {&f.conteudo, f.comprimido, f.largura, f.altura};
}

std::string NomeForma(int numero) {
    return "Fm" + std::to_string(numero + 1);
}
