// Texts of the PDF job: the accent notation and the report's bytes as Unicode letters, the
// fonts whose metrics morvel's printer fonts have, rotation and centring.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "codificacao/acentos.h"
#include "codificacao/codificacao.h"
#include "codificacao/utf8.h"
#include "device/dispositivo.h"
#include "pdf/conteudo.h"
#include "pdf/fontes.h"
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
// Glyph advances come in thousandths of the font size.
constexpr double kMilesimosEm = 1000.0;
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

// The font of a text: bold wins over italic; a font code beginning with C is the monospaced
// family. A size that is not a positive number takes the common 12 points, as in morvel; a size
// beyond any page is kept to one every reader can scale.
struct FonteDoTexto {
    std::size_t indice;
    int tamanho;
};
constexpr int kTamanhoPadrao = 12;
constexpr int kTamanhoMaximo = 10000;

FonteDoTexto EscolheFonte(const char* fonte, const char* estilo) {
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
    return {indice, tamanho};
}

// The glyphs of the text being drawn, kept from text to text.
std::vector<std::uint16_t> glifos;

std::string_view SemBrancosNoFim(std::string_view texto) {
    return texto.substr(0, texto.find_last_not_of(' ') + 1);
}

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
    DescarregaFontes();
}

void acentua(std::string& texto) {
    texto = TextoUTF8(texto);
}

void DesenhaTexto(float x, float y, const char* fonte, const char* estilo, std::string& conteudo) {
    const bool centrar = x == -1.0f;
    acentua(conteudo);
    const auto [X, Y, girado] = PosicionaTexto(x, y);
    Conteudo* c = Lado();
    if (c == nullptr) return;
    // Blanks after a text's last letter print nothing; a report's lines are padded with them
    // to the printer's width, and each one the document holds costs as much as a letter.
    const std::string_view texto =
        centrar ? SemBrancosNasPontas(conteudo) : SemBrancosNoFim(conteudo);
    const FonteDoTexto f = EscolheFonte(fonte, estilo);
    const double avanco = Glifos(f.indice, texto, glifos, c->glifos) * f.tamanho / kMilesimosEm;
    if (glifos.empty()) return;
    // A centred text starts half its width back along its own direction, as morvel's
    // stringwidth places it.
    const double recuo = centrar ? avanco / 2 : 0;
    const double TX = girado ? X : X - recuo, TY = girado ? Y - recuo : Y;
    AvisaTexto(f.indice, f.tamanho, TX, TY, girado, glifos);
    c->Preenchimento(0);
    c->Texto(f.indice, f.tamanho, TX, TY, girado, glifos);
}
