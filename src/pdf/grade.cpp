// The form designer's proof: a light grid under the form, a line every tenth of an inch of the
// form's own positions (ORIGEM moves it with the form), whole inches darker and numbered along
// the top and left edges, so that every position of a format can be read off a printed proof.
#include <cmath>
#include <string>

#include "pdf/pdf.h"

namespace {

constexpr int kDecimosPolegada = 10;
// Greys and widths in points: the tenths barely there, the inches plain but lighter than the
// form's own black lines.
constexpr double kCinzaDecimo = 0.85, kCinzaPolegada = 0.55;
constexpr double kLarguraDecimo = 0.2, kLarguraPolegada = 0.5;
// The inch numbers: small sans letters just inside the page's top and left edges.
constexpr double kTamanhoNumero = 6;
constexpr double kMargemNumero = 2;

float Decimos(int k) {
    return static_cast<float>(k) / static_cast<float>(kDecimosPolegada);
}

// The tenths of an inch of the form that fall on the page, in one direction: the first and
// the last, from the form position of the page's edges.
struct Faixa {
    int primeiro, ultimo;
};
Faixa FaixaDecimos(double inicio, double polegadas) {
    return {static_cast<int>(std::ceil(inicio * kDecimosPolegada)),
            static_cast<int>(std::floor((inicio + polegadas) * kDecimosPolegada))};
}

void Numero(cairo_t* cr, double X, double Y, int polegada) {
    const std::string texto = std::to_string(polegada);
    cairo_move_to(cr, X, Y);
    cairo_show_text(cr, texto.c_str());
}

}  // namespace

void DesenhaGrade(cairo_t* cr) {
    const PaginaPontos p = PaginaEfetiva();
    const Faixa xs = FaixaDecimos(p.xtop, p.largura / kPontosPorPolegada);
    // The page's top edge is at form y = ytop + (altura_forma - altura / 72).
    const double topo = static_cast<float>(p.ytop) + p.altura_forma - p.altura / kPontosPorPolegada;
    const Faixa ys = FaixaDecimos(topo, p.altura / kPontosPorPolegada);
    cairo_save(cr);
    for (const bool polegada : {false, true}) {
        cairo_set_source_rgb(cr, polegada ? kCinzaPolegada : kCinzaDecimo,
                             polegada ? kCinzaPolegada : kCinzaDecimo,
                             polegada ? kCinzaPolegada : kCinzaDecimo);
        cairo_set_line_width(cr, polegada ? kLarguraPolegada : kLarguraDecimo);
        for (int k = xs.primeiro; k <= xs.ultimo; ++k) {
            if ((k % kDecimosPolegada == 0) != polegada) continue;
            const double X = PontoX(Decimos(k));
            cairo_move_to(cr, X, 0);
            cairo_line_to(cr, X, p.altura);
        }
        for (int k = ys.primeiro; k <= ys.ultimo; ++k) {
            if ((k % kDecimosPolegada == 0) != polegada) continue;
            const double Y = PontoY(Decimos(k));
            cairo_move_to(cr, 0, Y);
            cairo_line_to(cr, p.largura, Y);
        }
        cairo_stroke(cr);
    }
    cairo_set_source_rgb(cr, kCinzaPolegada, kCinzaPolegada, kCinzaPolegada);
    cairo_select_font_face(cr, "Nimbus Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, kTamanhoNumero, -kTamanhoNumero);
    cairo_set_font_matrix(cr, &m);
    for (int k = xs.primeiro; k <= xs.ultimo; ++k)
        if (k % kDecimosPolegada == 0 && k != 0)
            Numero(cr, PontoX(Decimos(k)) + kMargemNumero,
                   p.altura - kMargemNumero - kTamanhoNumero, k / kDecimosPolegada);
    for (int k = ys.primeiro; k <= ys.ultimo; ++k)
        if (k % kDecimosPolegada == 0 && k != 0)
            Numero(cr, kMargemNumero, PontoY(Decimos(k)) - kMargemNumero - kTamanhoNumero,
                   k / kDecimosPolegada);
    cairo_restore(cr);
}
