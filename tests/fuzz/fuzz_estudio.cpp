// What the studio parses from a request: the numbers of its address (page, side, resolution,
// line, a move's distances), the form's text in its body, and the move of a line. Each number
// is accepted within its bounds or refused; a form's bytes shown to the page come back as they
// were; a move changes only the words that place the object, each to a number with two
// decimals, and leaves every other byte of the line as it was.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "comum.h"
#include "interp/palavras.h"
#include "studio/json.h"
#include "studio/movimento.h"
#include "studio/pedido.h"

namespace {

// The page's text as it reads a JSON string the studio wrote: its characters in UTF-8.
std::string DesfazJson(std::string_view j) {
    fuzz::Exige(j.size() >= 2 && j.front() == '"' && j.back() == '"', "a JSON text without its quotes");
    std::string r;
    for (std::size_t i = 1; i + 1 < j.size(); ++i) {
        if (j[i] != '\\') {
            fuzz::Exige(j[i] != '"' && static_cast<unsigned char>(j[i]) >= 0x20, "a bare quote or control");
            r += j[i];
            continue;
        }
        const char e = j[++i];
        if (e == 'u') {
            r += static_cast<char>(std::stoi(std::string(j.substr(i + 1, 4)), nullptr, 16));
            i += 4;
        } else {
            r += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
        }
    }
    return r;
}

struct Palavra {
    std::size_t inicio, tamanho;
};

std::vector<Palavra> Palavras(std::string_view linha) {
    std::vector<Palavra> p;
    PercorrePalavras(linha, [&](std::size_t i, std::size_t n, bool) { p.push_back({i, n}); });
    return p;
}

// A number as a move writes it: a sign, digits, a point and two decimals.
bool DuasDecimais(std::string_view w) {
    if (!w.empty() && w.front() == '-') w.remove_prefix(1);
    const std::size_t ponto = w.find('.');
    return ponto != std::string_view::npos && ponto > 0 && w.size() == ponto + 3 &&
           w.find_first_not_of("0123456789.") == std::string_view::npos;
}

void ConfereMovimento(std::string_view linha, std::string_view movida) {
    const std::vector<Palavra> antes = Palavras(linha), depois = Palavras(movida);
    fuzz::Exige(antes.size() == depois.size(), "a move changed the number of words");
    std::size_t fim_a = 0, fim_d = 0;
    for (std::size_t i = 0; i < antes.size(); ++i) {
        fuzz::Exige(linha.substr(fim_a, antes[i].inicio - fim_a) ==
                        movida.substr(fim_d, depois[i].inicio - fim_d),
                    "a move changed what lies between the words");
        const std::string_view a = linha.substr(antes[i].inicio, antes[i].tamanho);
        const std::string_view d = movida.substr(depois[i].inicio, depois[i].tamanho);
        fuzz::Exige(a == d || (i > 0 && DuasDecimais(d)), "a move changed a word that places nothing");
        fim_a = antes[i].inicio + antes[i].tamanho;
        fim_d = depois[i].inicio + depois[i].tamanho;
    }
    fuzz::Exige(linha.substr(fim_a) == movida.substr(fim_d), "a move changed the end of the line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const std::string_view entrada(reinterpret_cast<const char*>(dados), tamanho);
    const auto [parametros, texto] = fuzz::Divide(entrada);
    // The address's numbers: "pagina lado dpi linha dx dy", each a word.
    std::vector<std::string_view> p;
    for (std::size_t i = 0; i < parametros.size() && p.size() < 6;) {
        const std::size_t fim = std::min(parametros.find(' ', i), parametros.size());
        p.push_back(parametros.substr(i, fim - i));
        i = fim + 1;
    }
    p.resize(6);
    if (const auto pagina = LeInteiroPedido(p[0], 1, 10000)) fuzz::Exige(*pagina >= 1 && *pagina <= 10000, "page out of bounds");
    if (const auto lado = LeInteiroPedido(p[1], 0, 1)) fuzz::Exige(*lado == 0 || *lado == 1, "side out of bounds");
    if (const auto dpi = LeDecimalPedido(p[2], 10, 400)) fuzz::Exige(*dpi >= 10 && *dpi <= 400, "dpi out of bounds");
    const auto linha = LeInteiroPedido(p[3], 1, 1 << 30);
    const auto dx = LeDecimalPedido(p[4], -100, 100);
    const auto dy = LeDecimalPedido(p[5], -100, 100);
    fuzz::Exige(!dx || (std::isfinite(*dx) && std::fabs(*dx) <= 100), "dx out of bounds");

    // A form's bytes, shown to the page and sent back by it, come back as they were.
    const Conjunto conjunto = ConjuntoDoFormulario(texto);
    const std::string mostrado = DesfazJson(TextoJson(texto, conjunto));
    const auto devolvido = BytesDoEditor(mostrado, conjunto);
    fuzz::Exige(devolvido && *devolvido == texto, "a form's bytes did not come back from the page");

    // The move of one of its lines.
    if (linha && dx && dy) {
        const auto atual = LinhaDoTexto(texto, *linha);
        if (atual) {
            if (const auto movida = MoveObjeto(*atual, *dx, *dy)) ConfereMovimento(*atual, *movida);
        }
    }
    return 0;
}
