// The fixed objects of the form, drawn once a batch and shown on every page: the document then
// holds each side's form once, as a drawing of its own that every page refers to, instead of
// thousands of copies.
#include <memory>
#include <vector>

#include "device/dispositivo.h"
#include "interp/interp.h"
#include "pdf/pdf.h"

namespace {

struct FechaSuperficie {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Superficie = std::unique_ptr<cairo_surface_t, FechaSuperficie>;

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
    Superficie desenho;
};
std::vector<FormaGravada> formas;

Rotacoes RotacoesAtuais() {
    return {rotacao0, rotacao};
}

const FormaGravada& Grava(char lado, void (*interpreta)()) {
    const PaginaPontos p = PaginaEfetiva();
    const cairo_rectangle_t area{0, 0, p.largura, p.altura};
    FormaGravada f{
        lado,         via_atual,
        deslocamento, RotacoesAtuais(),
        {},           Superficie(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &area))};
    cairo_t* cr = cairo_create(f.desenho.get());
    // The same user space as a side's: points from the bottom left, y upwards.
    cairo_translate(cr, 0, p.altura);
    cairo_scale(cr, 1, -1);
    DesviaLado(cr);
    interpreta();
    DesviaLado(nullptr);
    cairo_destroy(cr);
    f.depois = RotacoesAtuais();
    formas.push_back(std::move(f));
    return formas.back();
}

}  // namespace

void DesenhaForma(char lado, void (*interpreta)()) {
    cairo_t* cr = Lado();
    if (cr == nullptr) return;
    const FormaGravada* forma = nullptr;
    for (const FormaGravada& f : formas)
        if (f.lado == lado && f.via == via_atual && f.deslocamento.x == deslocamento.x &&
            f.deslocamento.y == deslocamento.y && f.antes == RotacoesAtuais())
            forma = &f;
    if (forma == nullptr) forma = &Grava(lado, interpreta);
    rotacao0 = forma->depois.pedida;
    rotacao = forma->depois.em_uso;
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_source_surface(cr, forma->desenho.get(), 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
}

void EsqueceFormas() {
    formas.clear();
}
