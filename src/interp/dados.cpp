// The data file reader: walks the pages of the data file for the driver and serves the
// executor's reads of sections, lines and captured variables on the current page.
#include "interp/dados.h"

#include <cstdio>
#include <string>
#include <vector>

#include "driver/rastro.h"
#include "util/numeros.h"

std::FILE* dad = nullptr;
long tamarq = 0;
long pag = 0;
unsigned char fimpag = 0;
unsigned char fimarq = 0;
long secoes[kSecoes] = {};
Lista* vars = nullptr;

namespace {

// Width of the name field of a variable record; longer names are written whole.
constexpr std::size_t kCampoNome = 20;

// A record alone cannot tell a name longer than its field from the start of the value, so the
// reader remembers, for the records it appended to `vars`, where each name field ends.
struct Registro {
    std::string texto;
    std::size_t campo;
};
std::vector<Registro> registros;

// Width of the name field of the record at position i of `vars`. A record the reader did not
// append itself (its text differs from the one remembered) is judged by the name looked for.
std::size_t CampoDoRegistro(std::size_t i, const std::string& texto, std::size_t procurado) {
    if (i < registros.size() && registros[i].texto == texto) return registros[i].campo;
    return procurado;
}

void LiberaVariaveis() {
    vars = LiberaLista(vars);
    registros.clear();
}

void ZeraSecoes() {
    for (long& secao : secoes)
        secao = 0;
}

// The name as it stands at the head of its record: padded with blanks to the field's width.
std::string CampoNome(std::string_view nome) {
    std::string campo(nome);
    if (campo.size() < kCampoNome) campo.resize(kCampoNome, ' ');
    return campo;
}

// True when the line is the marker of the section: ".secao N" followed by the line's end or by
// anything but a digit, so that section 1 is not found at ".secao 12".
bool Marcador(const std::string& texto, const std::string& marcador) {
    if (texto.compare(0, marcador.size(), marcador) != 0) return false;
    if (texto.size() == marcador.size()) return true;
    const char seguinte = texto[marcador.size()];
    return seguinte < '0' || seguinte > '9';
}

}  // namespace

int readline(std::string& buf) {
    buf.clear();
    if (dad == nullptr) {
        fimarq = 1;
        return 1;
    }
    for (;;) {
        const int c = getc_unlocked(dad);
        if (c == EOF) {  // a read error ends the file too
            fimarq = 1;
            return 1;
        }
        if (c == '\r') continue;
        if (c == '\f' || (c == ':' && buf.empty())) {
            fimpag = 1;
            getc_unlocked(dad);  // the byte after the page break goes with it
            if (std::ftell(dad) == tamarq) {
                fimarq = 1;
                return 1;
            }
            return 0;
        }
        if (c == '\n') return 0;
        buf.push_back(static_cast<char>(c));
        if (buf.size() == kLinhaDados) return 0;
    }
}

int RepetePagina() {
    ZeraSecoes();
    LiberaVariaveis();
    fimarq = 0;
    fimpag = 0;
    if (dad == nullptr) return 0;
    return std::fseek(dad, pag, SEEK_SET) == 0 ? 0 : -1;
}

int PrimeiraPagina() {
    pag = 0;
    return RepetePagina();
}

int ProximaPagina() {
    ZeraSecoes();
    LiberaVariaveis();
    if (dad == nullptr || fimarq) return -1;
    if (dbg != nullptr) std::fputs("PROXIMA PAGINA\n", dbg);
    std::string descarte;
    while (!fimpag)
        if (readline(descarte) == 1) return -1;
    const long posicao = std::ftell(dad);
    if (posicao < 0) return -1;
    pag = posicao;
    if (dbg != nullptr) std::fprintf(dbg, "PAGINA %lu\n", static_cast<unsigned long>(pag));
    fimpag = 0;
    return 0;
}

void LeDados(int secao, std::string& buf) {
    buf.clear();
    if (dad == nullptr || secao > kSecoes || fimarq || fimpag) return;
    std::string texto;
    if (secao <= 0) {
        readline(texto);
        if (!fimpag && !fimarq) buf = texto;
        return;
    }
    long& cursor = secoes[secao - 1];
    if (cursor == -1) return;
    if (cursor != 0) {
        if (std::fseek(dad, cursor, SEEK_SET) != 0) return;
    } else {
        // The marker is looked for from the current position on, never from the page's start.
        const std::string marcador = ".secao " + std::to_string(secao);
        do {
            readline(texto);
            if (fimpag || fimarq) return;
        } while (!Marcador(texto, marcador));
        cursor = std::ftell(dad);
    }
    readline(texto);
    if (fimpag || fimarq) return;
    if (!texto.empty() && texto[0] == '.') {
        cursor = -1;
        return;
    }
    buf = texto;
    cursor = std::ftell(dad);
}

void SetaVar(std::string_view linha_dados, std::string_view item) {
    const std::size_t dois_pontos = item.find(':');
    const std::string_view nome = item.substr(0, dois_pontos);
    std::string_view valor;
    if (dois_pontos != std::string_view::npos) {
        const std::string_view resto = item.substr(dois_pontos + 1);
        const std::size_t segundo = resto.find(':');
        if (segundo != std::string_view::npos) {
            const int coluna = LeInteiro(resto.substr(0, segundo));
            const int tamanho = LeInteiro(resto.substr(segundo + 1));
            // A malformed item (no length, column below 1, negative length) captures nothing.
            if (coluna >= 1 && tamanho >= 0) {
                const auto inicio = static_cast<std::size_t>(coluna - 1);
                if (inicio < linha_dados.size())
                    valor = linha_dados.substr(inicio, static_cast<std::size_t>(tamanho));
            }
        }
    }
    std::string registro = CampoNome(nome);
    const std::size_t campo = registro.size();
    registro.append(valor);
    if (vars == nullptr) registros.clear();  // a new page, or the list was freed elsewhere
    vars = IncluiLista(vars, registro);
    registros.push_back({registro, campo});
}

void LeVar(std::string_view nome, std::string& buf) {
    buf.clear();
    const std::string campo = CampoNome(nome);
    std::size_t i = 0;
    for (Lista* no = InicioLista(vars); no != nullptr; no = no->prox, ++i) {
        // The whole name field must match: CO does not find COD, nor a long name its own tail.
        if (CampoDoRegistro(i, no->texto, campo.size()) != campo.size()) continue;
        if (no->texto.size() >= campo.size() && no->texto.compare(0, campo.size(), campo) == 0) {
            buf = no->texto.substr(campo.size());
            return;
        }
    }
}
