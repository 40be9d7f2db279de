#include "interp/conferencia.h"

#include <cctype>
#include <cstdio>
#include <string_view>

#include "interp/interp.h"
#include "interp/palavras.h"
#include "util/numeros.h"

namespace {

// The words of an object line as the loader splits it, each with whether it was quoted and
// its quote closed.
struct Palavra {
    std::string_view texto;
    bool aberta;  // quoted, and the line ended before the closing quote
};

std::vector<Palavra> Palavras(std::string_view linha) {
    std::vector<Palavra> palavras;
    PercorrePalavras(linha, [&](std::size_t inicio, std::size_t tamanho, bool citada) {
        const std::size_t fim = inicio + tamanho;
        palavras.push_back({linha.substr(inicio, tamanho),
                            citada && (fim >= linha.size() || linha[fim] != '"')});
    });
    return palavras;
}

// Which arguments of each command the executor reads as numbers (counted from 1, after the
// command word); a text's x that begins with C asks for centring and is no number.
struct Numeros {
    std::string_view comando;
    std::vector<std::size_t> argumentos;
    bool x_centravel;
};

const Numeros kNumeros[] = {
    {"TEXTO", {1, 2}, true},
    {"INPUT", {1, 2, 5}, true},
    {"MOSTRA", {1, 2}, true},
    {"LINHA", {1, 2, 3, 4, 5}, false},
    {"RETANG", {1, 2, 3, 4, 5, 6}, false},
    {"RETANGA", {1, 2, 3, 4, 6}, false},
    {"IMAGEM", {1, 2, 3, 4, 6}, false},
    {"CODBAR", {1, 2, 3, 5}, false},
    {"CODBAR2", {1, 2, 3}, false},
    {"CODMATRIZ", {1, 2, 3, 5}, false},
    {"CODMATRIZ2", {1, 2, 3}, false},
    {"MD5", {1, 2, 5}, false},
    {"MD5V", {1, 2}, false},
    {"CAPTURA", {1}, false},
    {"IGNORA", {1}, false},
    {"ROTACAO", {1}, false},
    {"ROTACAO2", {1}, false},
};

// The variable each command shows or encodes: the argument that names it, or, for MD5V, its
// six pairs of entry spec and name from argument 5 on.
struct UsoVariavel {
    std::string_view comando;
    std::size_t argumento;
};
const UsoVariavel kUsos[] = {{"MOSTRA", 5}, {"CODBAR2", 5}, {"CODMATRIZ2", 5}};
constexpr std::string_view kMD5V = "MD5V";
constexpr std::size_t kPrimeiroParMD5V = 5;
constexpr std::size_t kParesMD5V = 6;

// A number whose reading stops at a comma followed by a digit: "1,5" is read as 1.
bool VirgulaDecimal(std::string_view palavra) {
    const std::size_t virgula = palavra.find(',');
    if (virgula == std::string_view::npos || virgula == 0 || virgula + 1 >= palavra.size())
        return false;
    const auto antes = static_cast<unsigned char>(palavra[virgula - 1]);
    const auto depois = static_cast<unsigned char>(palavra[virgula + 1]);
    return std::isdigit(antes) && std::isdigit(depois);
}

std::string Lido(std::string_view palavra) {
    char numero[32];
    std::snprintf(numero, sizeof numero, "%g", static_cast<double>(LeCoordenada(palavra)));
    return numero;
}

// A capture item name:column:length with digits after its second colon.
bool ItemCompleto(std::string_view item) {
    const std::size_t primeiro = item.find(':');
    if (primeiro == std::string_view::npos) return false;
    const std::size_t segundo = item.find(':', primeiro + 1);
    if (segundo == std::string_view::npos) return false;
    const std::string_view tamanho = item.substr(segundo + 1);
    const std::size_t digito = tamanho.find_first_not_of(" \t+");
    return digito != std::string_view::npos &&
           std::isdigit(static_cast<unsigned char>(tamanho[digito]));
}

struct Objeto {
    int linha;
    std::vector<Palavra> palavras;
};

void ConfereNumeros(const Objeto& o, std::vector<AvisoFormato>& avisos) {
    for (const Numeros& n : kNumeros) {
        if (n.comando != o.palavras[0].texto) continue;
        for (const std::size_t i : n.argumentos) {
            if (i >= o.palavras.size()) continue;
            const std::string_view palavra = o.palavras[i].texto;
            if (i == 1 && n.x_centravel && !palavra.empty() && palavra[0] == 'C') continue;
            if (VirgulaDecimal(palavra))
                avisos.push_back({o.linha, "Numero com virgula [" + std::string(palavra) +
                                               "] lido como " + Lido(palavra)});
        }
        return;
    }
}

// The names a variable is looked up by in the object, as LeVar is called for them.
std::vector<std::string_view> VariaveisUsadas(const Objeto& o) {
    std::vector<std::string_view> nomes;
    const std::string_view comando = o.palavras[0].texto;
    for (const UsoVariavel& u : kUsos)
        if (u.comando == comando && u.argumento < o.palavras.size())
            nomes.push_back(o.palavras[u.argumento].texto);
    if (comando == kMD5V) {
        for (std::size_t par = 0; par < kParesMD5V; ++par) {
            const std::size_t spec = kPrimeiroParMD5V + 2 * par;
            if (spec + 1 >= o.palavras.size()) break;
            const std::string_view s = o.palavras[spec].texto;
            if (s.empty() || s[0] != '-') nomes.push_back(o.palavras[spec + 1].texto);
        }
    }
    return nomes;
}

}  // namespace

std::vector<AvisoFormato> AvisosDoFormato() {
    std::vector<Objeto> objetos;
    for (Lista* lista : {objsff, objsvf, objsfv, objsvv})
        for (Lista* no = InicioLista(lista); no != nullptr; no = no->prox)
            if (std::vector<Palavra> p = Palavras(no->texto); !p.empty())
                objetos.push_back({no->linha, std::move(p)});

    std::vector<AvisoFormato> avisos;
    for (const Objeto& o : objetos) {
        for (const Palavra& p : o.palavras)
            if (p.aberta) avisos.push_back({o.linha, "Aspas sem fechamento"});
        ConfereNumeros(o, avisos);
        if (o.palavras[0].texto == "CAPTURA")
            for (std::size_t i = 2; i < o.palavras.size(); ++i)
                if (!ItemCompleto(o.palavras[i].texto))
                    avisos.push_back({o.linha, "Item de CAPTURA sem tamanho [" +
                                                   std::string(o.palavras[i].texto) + "]"});
        for (const std::string_view nome : VariaveisUsadas(o))
            if (!CapturaVariavel(nome))
                avisos.push_back({o.linha, "Variavel sem CAPTURA [" + std::string(nome) + "]"});
    }
    return avisos;
}
