#include "pdf/conteudo.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

// PDF's initial graphics state: black fills and strokes, lines one point wide.
constexpr double kCinzaInicial = 0.0;
constexpr double kLarguraInicial = 1.0;
// A part of the state that a form cannot know.
constexpr double kDesconhecido = -1.0;
// Decimals of the numbers that are not whole points: a ten-thousandth of a point is far below
// any printer's dot.
constexpr int kCasasDecimais = 4;

// The resource name of font i: /F1 to /F6.
void PoeNomeFonte(Conteudo& c, std::size_t fonte) {
    c << "/F" << static_cast<int>(fonte + 1);
}

constexpr char kHex[] = "0123456789abcdef";

// The letter that follows the backslash of each byte a string must escape; 0 for the others.
constexpr std::array<char, 256> kEscapes = [] {
    std::array<char, 256> e{};
    e['('] = '(';
    e[')'] = ')';
    e['\\'] = '\\';
    e['\r'] = 'r';
    e['\n'] = 'n';
    return e;
}();

}  // namespace

void Conteudo::Comeca(bool estado_inicial) {
    texto_.clear();
    glifos.Limpa();
    imagens.clear();
    formas.clear();
    pilha_.clear();
    if (estado_inicial)
        estado_ = {kCinzaInicial, kCinzaInicial, kLarguraInicial, kNumFontes, 0};
    else
        estado_ = {kDesconhecido, kDesconhecido, kDesconhecido, kNumFontes, 0};
}

Montador& Conteudo::Real(double numero) {
    // Every number comes from bounded coordinates and sizes; anything else would be no PDF.
    if (!std::isfinite(numero)) return *this << '0';
    const double inteiro = std::nearbyint(numero);
    if (inteiro == numero && std::fabs(numero) < 1e15)
        return *this << static_cast<long long>(inteiro);
    char texto[64];
    auto [fim, erro] = std::to_chars(texto, texto + sizeof texto, numero, std::chars_format::fixed,
                                     kCasasDecimais);
    if (erro != std::errc()) return *this << '0';
    while (fim[-1] == '0')
        --fim;
    if (fim[-1] == '.') --fim;
    // A tiny negative number rounds to "-0": PDF takes it, but it says nothing.
    std::string_view escrito(texto, static_cast<std::size_t>(fim - texto));
    if (escrito == "-0") escrito = "0";
    texto_.append(escrito);
    return *this;
}

void Conteudo::Preenchimento(double cinza) {
    if (estado_.preenchimento == cinza) return;
    estado_.preenchimento = cinza;
    Real(cinza) << " g\n";
}

void Conteudo::Traco(double cinza) {
    if (estado_.traco == cinza) return;
    estado_.traco = cinza;
    Real(cinza) << " G\n";
}

void Conteudo::Largura(double pontos) {
    if (estado_.largura == pontos) return;
    estado_.largura = pontos;
    Real(pontos) << " w\n";
}

void Conteudo::Salva() {
    pilha_.push_back(estado_);
    *this << "q\n";
}

void Conteudo::Restaura() {
    if (pilha_.empty()) return;
    estado_ = pilha_.back();
    pilha_.pop_back();
    *this << "Q\n";
}

void Conteudo::Texto(std::size_t fonte, int tamanho, double X, double Y, bool girado,
                     const std::vector<std::uint16_t>& glifos_texto) {
    *this << "BT\n";
    if (estado_.fonte != fonte || estado_.tamanho != tamanho) {
        estado_.fonte = fonte;
        estado_.tamanho = tamanho;
        PoeNomeFonte(*this, fonte);
        *this << ' ' << tamanho << " Tf\n";
    }
    if (girado) {
        *this << "0 1 -1 0 ";
        Real(X) << ' ';
        Real(Y) << " Tm\n";
    } else {
        Real(X) << ' ';
        Real(Y) << " Td\n";
    }
    // Two bytes a glyph id, the composite fonts' identity encoding. Bytes that would end the
    // string or take part in an escape are escaped; an end of line inside a string would be
    // read as a line feed, whatever it was. Written in place, at most four bytes a glyph.
    const std::size_t inicio = texto_.size();
    texto_.resize(inicio + 1 + 4 * glifos_texto.size());
    char* p = texto_.data() + inicio;
    *p++ = '(';
    for (const std::uint16_t g : glifos_texto) {
        for (const unsigned char byte :
             {static_cast<unsigned char>(g >> 8), static_cast<unsigned char>(g & 0xFF)}) {
            const char escape = kEscapes[byte];
            if (escape != 0) *p++ = '\\';
            *p++ = escape != 0 ? escape : static_cast<char>(byte);
        }
    }
    texto_.resize(static_cast<std::size_t>(p - texto_.data()));
    texto_ += ")Tj\nET\n";
}

void Conteudo::ImagemEmLinha(int largura, int altura, bool mascara, const unsigned char* linhas,
                             std::size_t bytes_linha) {
    *this << "BI/W " << largura << "/H " << altura;
    if (mascara)
        *this << "/IM true/D[1 0]";
    else
        *this << "/BPC 1/CS/G";
    // In hexadecimal, whose end mark no data byte can imitate: the image's end is found by
    // every reader, however its bytes fall.
    *this << "/F/AHx ID\n";
    const std::size_t bytes = bytes_linha * static_cast<std::size_t>(altura);
    texto_.reserve(texto_.size() + 2 * bytes + 8);
    for (std::size_t i = 0; i < bytes; ++i) {
        texto_ += kHex[linhas[i] >> 4];
        texto_ += kHex[linhas[i] & 0xF];
    }
    *this << ">\nEI\n";
}

void Conteudo::Mostra(std::string_view nome) {
    *this << '/' << nome << " Do\n";
}
