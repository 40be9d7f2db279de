// Texts of the PDF job: the accent notation and the report's bytes as Unicode letters, the
// fonts whose metrics morvel's printer fonts have, rotation and centring.
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "codificacao/acentos.h"
#include "codificacao/codificacao.h"
#include "codificacao/utf8.h"
#include "device/dispositivo.h"
#include "pdf/pdf.h"
#include "util/numeros.h"

// A PDF's text is Unicode: the texts of a format that declares its set are converted to UTF-8,
// so that every letter they hold keeps its place in the document's text.
const char* const kConjuntoImpressora = "UTF-8";

namespace {

// The first code of the Latin-1 letters above ASCII; codes from 0x80 up to it are control codes.
constexpr unsigned kPrimeiraLetraLatin1 = 0xA0;
constexpr unsigned kPrimeiroImprimivel = 0x20;
constexpr unsigned kApagar = 0x7F;
// A Latin-1 code (also its Unicode code point) in UTF-8: two bytes above ASCII.
void PoeLatin1(std::string& s, unsigned char codigo) {
    if (codigo < 0x80) {
        s += static_cast<char>(codigo);
        return;
    }
    s += static_cast<char>(0xC0 | (codigo >> 6));
    s += static_cast<char>(0x80 | (codigo & 0x3F));
}

// A character that prints nothing in morvel's Latin-1 fonts: a control code.
bool Controle(std::string_view caractere) {
    const auto primeiro = static_cast<unsigned char>(caractere[0]);
    if (caractere.size() == 1) return primeiro < kPrimeiroImprimivel || primeiro == kApagar;
    // U+0080 to U+009F are C2 80 to C2 9F.
    return caractere.size() == 2 && primeiro == 0xC2 &&
           static_cast<unsigned char>(caractere[1]) < kPrimeiraLetraLatin1;
}

// The well-formed characters of a UTF-8 text, less the control codes; a byte that belongs to no
// character becomes "?", as the set's conversion makes it.
std::string SoImprimiveis(std::string_view texto) {
    std::string r;
    r.reserve(texto.size());
    for (std::size_t i = 0; i < texto.size();) {
        const std::size_t n = TamanhoSequencia(texto, i);
        if (n == 0) {
            r += '?';
            ++i;
            continue;
        }
        const std::string_view c = texto.substr(i, n);
        if (!Controle(c)) r.append(c);
        i += n;
    }
    return r;
}

bool Simples(std::string_view texto) {
    for (const char c : texto) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\\' || b < kPrimeiroImprimivel || b >= kApagar) return false;
    }
    return true;
}

// The six fonts morvel's prologue defines, in the same order: the sans letters (its "Arial") and
// the monospaced (its "Courier"), each plain, bold and italic.
struct FontePDF {
    const char* familia;
    cairo_font_slant_t inclinacao;
    cairo_font_weight_t peso;
};
constexpr FontePDF kFontes[] = {
    {"Nimbus Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL},
    {"Nimbus Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD},
    {"Nimbus Sans", CAIRO_FONT_SLANT_ITALIC, CAIRO_FONT_WEIGHT_NORMAL},
    {"Nimbus Mono PS", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL},
    {"Nimbus Mono PS", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD},
    {"Nimbus Mono PS", CAIRO_FONT_SLANT_ITALIC, CAIRO_FONT_WEIGHT_NORMAL},
};
constexpr std::size_t kFontesPorFamilia = 3;

// Each face is looked up once a process: the lookup goes through fontconfig.
cairo_font_face_t* faces[std::size(kFontes)] = {};
cairo_font_face_t* Face(std::size_t indice) {
    if (faces[indice] == nullptr) {
        const FontePDF& f = kFontes[indice];
        faces[indice] = cairo_toy_font_face_create(f.familia, f.inclinacao, f.peso);
    }
    return faces[indice];
}

// A size that is not a positive number takes the common 12 points, as in morvel; a size beyond
// any page is kept to one the font library can scale.
constexpr int kTamanhoPadrao = 12;
constexpr int kTamanhoMaximo = 10000;

// Bold wins over italic; a font code beginning with C is the monospaced family.
void SelecionaFonte(cairo_t* cr, const char* fonte, const char* estilo) {
    const std::string_view f = fonte != nullptr ? fonte : "";
    const std::string_view e = estilo != nullptr ? estilo : "";
    std::size_t indice = !f.empty() && f[0] == 'C' ? kFontesPorFamilia : 0;
    if (e.find('N') != std::string_view::npos)
        indice += 1;
    else if (e.find('I') != std::string_view::npos)
        indice += 2;
    int tamanho = f.empty() ? 0 : LeInteiro(f.substr(1));
    if (tamanho <= 0) tamanho = kTamanhoPadrao;
    if (tamanho > kTamanhoMaximo) tamanho = kTamanhoMaximo;
    cairo_set_font_face(cr, Face(indice));
    // The side's y grows upwards: the font's own y is turned back so that letters stand upright.
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, tamanho, -tamanho);
    cairo_set_font_matrix(cr, &m);
}

std::string_view SemBrancosNoFim(std::string_view texto) {
    return texto.substr(0, texto.find_last_not_of(' ') + 1);
}

constexpr double kGrausPorRadiano = 180.0 / M_PI;

}  // namespace

std::string TextoUTF8(std::string_view texto) {
    if (Simples(texto)) return std::string(texto);
    const bool declarado = codificacao != Codificacao::nenhuma;
    std::string s;
    s.reserve(texto.size() + texto.size() / 2);
    for (const LetraLatin1& l : ConverteAcentos(texto)) {
        // A converted text is UTF-8 already; the bytes of any other are Latin-1.
        if (l.acentuada || !declarado)
            PoeLatin1(s, l.byte);
        else
            s += static_cast<char>(l.byte);
    }
    return SoImprimiveis(s);
}

void LiberaFontes() {
    for (cairo_font_face_t*& face : faces) {
        if (face != nullptr) cairo_font_face_destroy(face);
        face = nullptr;
    }
    // The drawing library and fontconfig keep caches for the life of the process; freed, they
    // leave a leak checker nothing to report.
    cairo_debug_reset_static_data();
    FcFini();
}

void acentua(std::string& texto) {
    texto = TextoUTF8(texto);
}

void DesenhaTexto(float x, float y, const char* fonte, const char* estilo, std::string& conteudo) {
    const bool centrar = x == -1.0f;
    acentua(conteudo);
    const auto [X, Y, girado] = PosicionaTexto(x, y);
    cairo_t* cr = Lado();
    if (cr == nullptr) return;
    // Blanks after a text's last letter print nothing; a report's lines are padded with them
    // to the printer's width, and each one the document holds costs as much as a letter.
    const std::string texto(centrar ? SemBrancosNasPontas(conteudo) : SemBrancosNoFim(conteudo));
    cairo_save(cr);
    SelecionaFonte(cr, fonte, estilo);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, X, Y);
    if (girado) cairo_rotate(cr, rotacao / kGrausPorRadiano);
    if (centrar) {
        cairo_text_extents_t medida;
        cairo_text_extents(cr, texto.c_str(), &medida);
        cairo_rel_move_to(cr, -medida.x_advance / 2, 0);
    }
    AvisaTexto(cr, texto.c_str());
    cairo_show_text(cr, texto.c_str());
    cairo_restore(cr);
}
