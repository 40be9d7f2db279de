// Text in the PCL job: Roman-8 accents, bold and italic, the font memory and centring.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "device/dispositivo.h"
#include "pcl/pcl.h"
#include "util/numeros.h"

// The prologue selects the Roman-8 symbol set.
const char* const kConjuntoImpressora = "HP-ROMAN8";

namespace {

struct Acento {
    char marca;
    char letra;
    unsigned char codigo;  // Roman-8
};

constexpr Acento kAcentos[] = {
    {'\'', 'A', 0xE0}, {'\'', 'E', 0xDC}, {'\'', 'I', 0xE5}, {'\'', 'O', 0xE7}, {'\'', 'U', 0xED},
    {'\'', 'a', 0xC4}, {'\'', 'e', 0xC5}, {'\'', 'i', 0xD5}, {'\'', 'o', 0xC6}, {'\'', 'u', 0xC7},
    {'^', 'A', 0xA2},  {'^', 'E', 0xA4},  {'^', 'O', 0xDF},  {'^', 'a', 0xC0},  {'^', 'e', 0xC1},
    {'^', 'o', 0xC2},  {'~', 'A', 0xE1},  {'~', 'O', 0xE9},  {'~', 'a', 0xE2},  {'~', 'o', 0xEA},
    {'`', 'A', 0xA1},  {'`', 'a', 0xC8},  {',', 'C', 0xB4},  {',', 'c', 0xB5},  {'-', 'a', 0xF9},
    {'-', 'o', 0xFA},
};

// The marks that make a backslash sequence three characters long.
constexpr std::string_view kMarcas = "'^~`,-";

char Acentuada(char marca, char letra) {
    for (const auto& a : kAcentos)
        if (a.marca == marca && a.letra == letra) return static_cast<char>(a.codigo);
    return letra;
}

// Characters per inch of a size: 120 / size to the nearest whole number, halves up, at least 1.
// Courier is chosen by it and every centred text is measured with it.
int Passo(int tamanho) {
    constexpr int kPassoSemTamanho = 10;
    if (tamanho <= 0) return kPassoSemTamanho;
    const long long t = tamanho;
    const long long passo = (240 + t) / (2 * t);
    return passo < 1 ? 1 : static_cast<int>(passo);
}

// The centre of a letter-width sheet, in inches, on which centred texts are laid out.
constexpr double kCentroLinha = 4.25;

// The escape byte starts a printer command: one that comes with the report's data (line-printer
// reports often carry their own control codes) would be read as a command and could corrupt the
// rest of the job, so a text never carries it.
constexpr char kEscape = '\x1b';

void TiraEscapes(std::string& texto) {
    std::erase(texto, kEscape);
}

void AparaBrancos(std::string& texto) {
    const auto inicio = texto.find_first_not_of(' ');
    if (inicio == std::string::npos) {
        texto.clear();
        return;
    }
    const auto fim = texto.find_last_not_of(' ');
    texto = texto.substr(inicio, fim - inicio + 1);
}

}  // namespace

void acentua(std::string& texto) {
    std::string convertido;
    convertido.reserve(texto.size());
    for (std::size_t i = 0; i < texto.size(); ++i) {
        if (texto[i] != '\\') {
            convertido += texto[i];
            continue;
        }
        // An unfinished sequence at the end is dropped.
        if (++i >= texto.size()) break;
        const char c = texto[i];
        if (kMarcas.find(c) == std::string_view::npos) {
            convertido += c;
            continue;
        }
        if (++i >= texto.size()) break;
        convertido += Acentuada(c, texto[i]);
    }
    texto = std::move(convertido);
}

void DesenhaTexto(float x, float y, const char* fonte, const char* estilo, std::string& conteudo) {
    const std::string_view codigo = fonte ? fonte : "";
    const std::string_view tipo = estilo ? estilo : "";
    acentua(conteudo);
    TiraEscapes(conteudo);

    const char letra = codigo.empty() ? '\0' : codigo[0];
    const int tamanho = codigo.empty() ? 0 : LeInteiro(codigo.substr(1));
    const int passo = Passo(tamanho);

    if (x == -1.0f) {
        AparaBrancos(conteudo);
        const double n = static_cast<double>(conteudo.size());
        x = static_cast<float>(kCentroLinha - (1.0 / passo) * (n / 2.0));
    }

    // Position, weight and slant in one call: four fprintf calls a text cost more than the text.
    const int X = PontosX(x);
    const int Y = PontosY(y);
    const bool negrito = tipo.find('N') != std::string_view::npos;
    const bool italico = tipo.find('I') != std::string_view::npos;
    std::fprintf(saida, "\x1b*p%dX\x1b*p%dY\x1b(s%dB\x1b(s%dS", X, Y, negrito ? 3 : 0,
                 italico ? 1 : 0);
    g_negrito = negrito;
    g_italico = italico;

    // An empty memory reads as the letter 0, as does an empty font code.
    const char letra_anterior = g_fonte.empty() ? '\0' : g_fonte[0];
    const char* texto = conteudo.c_str();
    if (letra == 'C') {
        if (letra != letra_anterior)
            std::fprintf(saida, "\x1b(s4099t0p%dH%s", passo, texto);
        else if (codigo != g_fonte)
            std::fprintf(saida, "\x1b(s%dH%s", passo, texto);
        else
            std::fprintf(saida, "%s", texto);
    } else {
        if (letra != letra_anterior)
            std::fprintf(saida, "\x1b(s16602t1p%dV%s", tamanho, texto);
        else if (codigo != g_fonte)
            std::fprintf(saida, "\x1b(s%dV%s", tamanho, texto);
        else
            std::fprintf(saida, "%s", texto);
    }
    g_fonte = codigo;
}
