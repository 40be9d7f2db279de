// Texts of the PostScript job: accents as Latin-1 octal escapes, font selection, rotation and
// centring.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "codificacao/acentos.h"
#include "codificacao/codificacao.h"
#include "codificacao/utf8.h"
#include "device/dispositivo.h"
#include "ps/linhas.h"
#include "ps/ps.h"
#include "util/numeros.h"

// The prologue re-encodes every font to ISO Latin-1.
const char* const kConjuntoImpressora = "ISO-8859-1";

namespace {

// One character of a converted text: a byte taken as it is, or an accented letter that the
// job must write as an octal escape. Keeping the two apart lets a literal backslash be escaped
// in the job while the escapes of accented letters keep their single backslash.
struct Caractere {
    unsigned char byte;
    bool escape;
};
using Convertido = std::vector<Caractere>;

// The notation's letters in Latin-1, each marked to go out as an octal escape.
Convertido ConverteAcentosPS(std::string_view texto) {
    const std::vector<LetraLatin1> letras = ConverteAcentos(texto);
    Convertido r;
    r.reserve(letras.size());
    for (const LetraLatin1& l : letras)
        r.push_back({l.byte, l.acentuada});
    return r;
}

// The last code that means the same in every character set the job may carry.
constexpr unsigned char kUltimoAscii = 127;

// A text converted from a declared set is written 7-bit: its characters above 127 go out as
// octal escapes, as the accented letters of the notation do, so that a letter typed as itself
// and the same letter in the notation make the same job. Other texts keep their bytes.
bool AltosEmOctal() {
    return codificacao != Codificacao::nenhuma;
}

// The accents of the text converted, and, in a job that declares its set, every character
// above 127 marked to go out as an escape.
Convertido ConverteTextoPS(std::string_view texto) {
    Convertido c = ConverteAcentosPS(texto);
    if (AltosEmOctal())
        for (Caractere& k : c)
            k.escape = k.escape || k.byte > kUltimoAscii;
    return c;
}

void PoeOctal(std::string& s, unsigned char byte) {
    s += '\\';
    s += static_cast<char>('0' + ((byte >> 6) & 7));
    s += static_cast<char>('0' + ((byte >> 3) & 7));
    s += static_cast<char>('0' + (byte & 7));
}

// The text as acentua leaves it: escapes as backslash and three octal digits, the rest as is.
std::string TextoConvertido(const Convertido& c) {
    std::string s;
    s.reserve(c.size());
    for (const Caractere& k : c) {
        if (k.escape)
            PoeOctal(s, k.byte);
        else
            s += static_cast<char>(k.byte);
    }
    return s;
}

// The inside of a PostScript string: a backslash, a parenthesis or a NUL byte taken as it is
// would end or corrupt the string, so each is escaped.
std::string CadeiaPS(const Convertido& c) {
    std::string s;
    s.reserve(c.size());
    for (const Caractere& k : c) {
        if (k.escape || k.byte == 0) {
            PoeOctal(s, k.byte);
        } else {
            if (k.byte == '\\' || k.byte == '(' || k.byte == ')') s += '\\';
            s += static_cast<char>(k.byte);
        }
    }
    return s;
}

void AparaBrancos(Convertido& c) {
    auto branco = [](const Caractere& k) { return !k.escape && k.byte == ' '; };
    while (!c.empty() && branco(c.back()))
        c.pop_back();
    std::size_t inicio = 0;
    while (inicio < c.size() && branco(c[inicio]))
        ++inicio;
    c.erase(c.begin(), c.begin() + static_cast<std::ptrdiff_t>(inicio));
}

// A size that is not a positive number would make the font unusable (the job fails at the
// show), so it takes the common 12 points.
constexpr int kTamanhoPadrao = 12;

void SelecionaFonte(Linhas& l, const char* fonte, const char* estilo) {
    const std::string_view f = fonte != nullptr ? fonte : "";
    const std::string_view e = estilo != nullptr ? estilo : "";
    const bool courier = !f.empty() && f[0] == 'C';
    const char* nome;
    if (e.find('N') != std::string_view::npos)
        nome = courier ? "CourierBoldLatina" : "ArialBoldLatina";
    else if (e.find('I') != std::string_view::npos)
        nome = courier ? "CourierItalicLatina" : "ArialItalicLatina";
    else
        nome = courier ? "CourierLatina" : "ArialLatina";
    int tamanho = f.empty() ? 0 : LeInteiro(f.substr(1));
    if (tamanho <= 0) tamanho = kTamanhoPadrao;
    l << '/' << nome << " findfont\n" << tamanho << " scalefont\nsetfont\n";
}

// The bytes a PostScript string cannot hold as they are: a backslash, a parenthesis, a NUL.
constexpr char kEspeciaisPS[] = {'\\', '(', ')', '\0'};

// Where the first of kEspeciaisPS stands in the text, or its size: one vectorised scan for each
// byte beats testing every byte (find_first_of tests the set anew for each byte).
std::size_t PrimeiroEspecial(std::string_view texto) {
    // An empty view may hold no pointer at all, and memchr must never be given a null one.
    if (texto.empty()) return 0;
    std::size_t primeiro = texto.size();
    for (const char especial : kEspeciaisPS) {
        const void* achado = std::memchr(texto.data(), especial, primeiro);
        if (achado != nullptr)
            primeiro = static_cast<std::size_t>(static_cast<const char*>(achado) - texto.data());
    }
    return primeiro;
}

// CadeiaPS for a text that holds no accent sequence: runs of plain bytes are copied whole.
std::string CadeiaPSSimples(std::string_view texto) {
    std::string s;
    s.reserve(texto.size() + 8);
    for (;;) {
        const std::size_t especial = PrimeiroEspecial(texto);
        s.append(texto.substr(0, especial));
        if (especial == texto.size()) return s;
        const auto byte = static_cast<unsigned char>(texto[especial]);
        if (byte == 0) {
            PoeOctal(s, byte);
        } else {
            s += '\\';
            s += static_cast<char>(byte);
        }
        texto.remove_prefix(especial + 1);
    }
}

// Converts a text's accents (leaving the text as acentua does) and gives back the inside of
// its PostScript string. Most texts hold no backslash, so no accent sequence, and no letter to
// write as an escape: they stay as they are and only need the escapes of a PostScript string,
// without a conversion per character.
std::string PreparaCadeia(std::string& conteudo, bool centrar) {
    if (conteudo.find('\\') == std::string::npos && (!AltosEmOctal() || SoAscii(conteudo))) {
        const std::string_view texto = conteudo;
        return CadeiaPSSimples(centrar ? SemBrancosNasPontas(texto) : texto);
    }
    Convertido c = ConverteTextoPS(conteudo);
    conteudo = TextoConvertido(c);
    if (centrar) AparaBrancos(c);
    return CadeiaPS(c);
}

}  // namespace

void acentua(std::string& texto) {
    texto = TextoConvertido(ConverteTextoPS(texto));
}

void DesenhaTexto(float x, float y, const char* fonte, const char* estilo, std::string& conteudo) {
    const bool centrar = x == -1.0f;
    const std::string cadeia = PreparaCadeia(conteudo, centrar);
    // The whole text goes out in one write.
    Linhas l;
    SelecionaFonte(l, fonte, estilo);
    const auto [X, Y, girado] = PosicionaTexto(x, y);
    l << "newpath\n" << X << ' ' << Y << " moveto\n";
    if (girado) l << rotacao << " rotate % " << rotacao0 << '\n';
    // The string holds no NUL byte: CadeiaPS writes those as escapes.
    l << '(' << cadeia;
    if (centrar)
        l << ") dup stringwidth pop 2 div neg 0 rmoveto show\n";
    else
        l << ") show\n";
    if (girado) l << 360 - rotacao << " rotate\n";
    l.Escreve();
}
