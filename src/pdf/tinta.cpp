// What a host that asks is told of each drawing (aviso_tinta): the box it inked, from the
// drawing's own user space, as the page shows it.
#include <algorithm>

#include "device/dispositivo.h"
#include "pdf/pdf.h"

void AvisaTinta(cairo_t* cr, double x1, double y1, double x2, double y2, double margem) {
    if (aviso_tinta == nullptr || cr == nullptr) return;
    // The user space may be moved, scaled, flipped or turned: each corner goes to the device,
    // whose units are the page's points from its top left corner.
    const double cantos[4][2] = {{x1 - margem, y1 - margem},
                                 {x2 + margem, y1 - margem},
                                 {x1 - margem, y2 + margem},
                                 {x2 + margem, y2 + margem}};
    double xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    for (int i = 0; i < 4; ++i) {
        double x = cantos[i][0], y = cantos[i][1];
        cairo_user_to_device(cr, &x, &y);
        xmin = i == 0 ? x : std::min(xmin, x);
        xmax = i == 0 ? x : std::max(xmax, x);
        ymin = i == 0 ? y : std::min(ymin, y);
        ymax = i == 0 ? y : std::max(ymax, y);
    }
    aviso_tinta(xmin / kPontosPorPolegada, ymin / kPontosPorPolegada,
                (xmax - xmin) / kPontosPorPolegada, (ymax - ymin) / kPontosPorPolegada);
}

void AvisaTexto(cairo_t* cr, const char* texto) {
    if (aviso_tinta == nullptr || cr == nullptr || texto == nullptr || *texto == '\0') return;
    cairo_text_extents_t medida;
    cairo_text_extents(cr, texto, &medida);
    double x = 0, y = 0;
    cairo_get_current_point(cr, &x, &y);
    AvisaTinta(cr, x + medida.x_bearing, y + medida.y_bearing,
               x + medida.x_bearing + medida.width, y + medida.y_bearing + medida.height);
}
