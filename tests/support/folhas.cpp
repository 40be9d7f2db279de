#include "support/folhas.h"

namespace {

// A pixel darker than this is ink.
constexpr unsigned char kTinta = 128;

bool Escuro(const Pagina& p, int x, int y) {
    return x >= 0 && y >= 0 && x < p.largura && y < p.altura && p.em(x, y) < kTinta;
}

// A row of the mark's middle half, all ink.
bool LinhaEscura(const Pagina& p, int x0, int x1, int y) {
    for (int x = x0; x < x1; ++x)
        if (!Escuro(p, x, y)) return false;
    return true;
}

bool Dentro(const Pagina& p, int x, int y, int borda) {
    return x >= borda && y >= borda && x < p.largura - borda && y < p.altura - borda;
}

// Ink of `de` not found `dx`, `dy` further on `em`.
long Faltando(const Pagina& de, const Pagina& em, int dx, int dy, int borda, long* tinta) {
    long faltando = 0;
    for (int y = 0; y < de.altura; ++y)
        for (int x = 0; x < de.largura; ++x) {
            if (!Escuro(de, x, y) || !Dentro(de, x, y, borda) || !Dentro(em, x + dx, y + dy, borda))
                continue;
            if (tinta != nullptr) ++*tinta;
            if (!Escuro(em, x + dx, y + dy)) ++faltando;
        }
    return faltando;
}

}  // namespace

std::vector<std::string> LeMarcas(const std::vector<Pagina>& paginas, const ColunaDeMarcas& c,
                                  int dpi) {
    constexpr int kPosicoes = 7;
    std::vector<std::string> lidas;
    for (const Pagina& p : paginas) {
        std::string marcas;
        const int x0 = static_cast<int>((c.x + c.largura / 4) * dpi);
        const int x1 = static_cast<int>((c.x + 3 * c.largura / 4) * dpi);
        for (int i = 0; i < kPosicoes; ++i) {
            const double topo = c.y + i * c.passo;
            bool marca = false;
            for (int y = static_cast<int>((topo - c.passo / 4) * dpi);
                 !marca && y < static_cast<int>((topo + c.passo / 4) * dpi); ++y)
                marca = LinhaEscura(p, x0, x1, y);
            marcas += marca ? '1' : '0';
        }
        lidas.push_back(marcas);
    }
    return lidas;
}

TintaForaDoLugar ComparaTinta(const Pagina& a, const Pagina& b, int dx, int dy, int borda) {
    TintaForaDoLugar r;
    r.faltando = Faltando(a, b, dx, dy, borda, &r.tinta);
    r.sobrando = Faltando(b, a, -dx, -dy, borda, nullptr);
    return r;
}
