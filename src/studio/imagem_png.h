#pragma once
// A page of a PDF as the designer sees it: rendered by poppler at the zoom's resolution, exactly
// as poppler's own renderer draws it, and encoded in PNG for the page.
#include <optional>
#include <string>

struct QuadroPNG {
    std::string png;
    int largura = 0, altura = 0;  // in pixels
};

// The pages of the PDF file, or -1 when poppler cannot read it.
int PaginasDoPDF(const std::string& pdf);
// Page `indice` (from 0) of the PDF at `dpi` pixels to the inch; nothing, with the reason, when
// it cannot be rendered.
std::optional<QuadroPNG> RenderizaPaginaPDF(const std::string& pdf, int indice, double dpi,
                                            std::string& erro);
