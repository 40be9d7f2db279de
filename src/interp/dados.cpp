// The data file reader: walks the pages of the data file for the driver and serves the
// executor's reads of sections, lines and captured variables on the current page.
#include "interp/dados.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "codificacao/codificacao.h"
#include "codificacao/utf8.h"
#include "util/numeros.h"
#include "util/rastro.h"

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

// The data file is read through a block buffer of our own instead of a stdio call per byte:
// the lines are short and a page is read several times over, so the per-byte cost dominated.
// The buffer keeps its own logical position; `dad` itself stays at the end of what was read.
class LeitorBloco {
  public:
    // A stream other than the one buffered, or one moved by someone else, starts afresh from
    // where it stands; the buffer's bytes would belong to another file or another place.
    void Sincroniza() {
        if (dad != dono_ || std::ftell(dad) != fim_lido_) Reinicia();
    }

    // Forgets the buffer and starts at the stream's own position.
    void Reinicia() {
        dono_ = dad;
        inicio_ = std::ftell(dad);  // -1 on a stream that cannot tell (a pipe)
        fim_lido_ = inicio_;
        cheio_ = cursor_ = 0;
    }

    // The logical offset, as ftell would give it after reading byte by byte.
    long Posicao() const { return inicio_ < 0 ? -1 : inicio_ + static_cast<long>(cursor_); }

    // A seek within the buffered block only moves the cursor; elsewhere the stream seeks.
    bool Posiciona(long alvo) {
        if (inicio_ >= 0 && alvo >= inicio_ && alvo - inicio_ <= static_cast<long>(cheio_)) {
            cursor_ = static_cast<std::size_t>(alvo - inicio_);
            return true;
        }
        return Salta(alvo);
    }

    // A real seek of the stream, which also clears its end-of-file state.
    bool Salta(long alvo) {
        if (std::fseek(dad, alvo, SEEK_SET) != 0) return false;
        Reinicia();
        return true;
    }

    // True when at least one byte is ready; a read error ends the file, as it always did.
    bool Enche() {
        if (cursor_ < cheio_) return true;
        if (inicio_ >= 0) inicio_ += static_cast<long>(cheio_);
        cheio_ = std::fread(bloco_.data(), 1, bloco_.size(), dad);
        cursor_ = 0;
        fim_lido_ = inicio_ < 0 ? std::ftell(dad) : inicio_ + static_cast<long>(cheio_);
        return cheio_ > 0;
    }

    // The ready bytes, from the cursor to the end of the block.
    const char* Atual() const { return bloco_.data() + cursor_; }
    std::size_t Prontos() const { return cheio_ - cursor_; }
    void Avanca(std::size_t n) { cursor_ += n; }

  private:
    // Large enough that a refill is rare, small enough to stay in cache.
    static constexpr std::size_t kBloco = 64 * 1024;
    std::array<char, kBloco> bloco_{};
    std::FILE* dono_ = nullptr;
    long inicio_ = 0;    // offset of the block's first byte, -1 when unknown
    long fim_lido_ = 0;  // where the stream stands after the last refill
    std::size_t cheio_ = 0;
    std::size_t cursor_ = 0;
};

LeitorBloco leitor;

// The length of the run of plain line text at the head of `texto`: up to the first line feed,
// carriage return or form feed, which end it. Three vectorised scans beat a loop over bytes.
std::size_t TamanhoTrecho(const char* texto, std::size_t limite) {
    for (const char especial : {'\n', '\r', '\f'}) {
        const void* achado = std::memchr(texto, especial, limite);
        if (achado != nullptr)
            limite = static_cast<std::size_t>(static_cast<const char*>(achado) - texto);
    }
    return limite;
}

// A page break (a form feed, or a colon opening a line) takes the byte after it along.
int QuebraPagina() {
    fimpag = 1;
    if (leitor.Enche()) leitor.Avanca(1);
    if (leitor.Posicao() == tamarq) {
        fimarq = 1;
        return 1;
    }
    return 0;
}

// Of the `novos` bytes just stored that filled a line, those that begin a UTF-8 character the
// line cannot finish: in a UTF-8 job they are left for the next read, so that a long line is
// split between characters. Always 0 for other jobs.
std::size_t BytesParaAProxima(const std::string& buf, std::size_t novos) {
    if (codificacao != Codificacao::utf8) return 0;
    const std::size_t aberta = SequenciaAberta(buf);
    return aberta <= novos ? aberta : 0;
}

// The line from the current position: runs of plain bytes are copied whole; carriage returns
// are dropped; a line longer than kLinhaDados comes as several.
int LeLinha(std::string& buf) {
    buf.clear();
    for (;;) {
        if (!leitor.Enche()) {
            fimarq = 1;
            return 1;
        }
        const char* inicio = leitor.Atual();
        if (buf.empty() && *inicio == ':') {
            leitor.Avanca(1);
            return QuebraPagina();
        }
        const std::size_t limite = std::min(leitor.Prontos(), kLinhaDados - buf.size());
        const std::size_t n = TamanhoTrecho(inicio, limite);
        buf.append(inicio, n);
        if (buf.size() == kLinhaDados) {
            const std::size_t adiados = BytesParaAProxima(buf, n);
            buf.resize(buf.size() - adiados);
            leitor.Avanca(n - adiados);
            return 0;
        }
        leitor.Avanca(n);
        if (n == limite) continue;  // the block is used up
        const char c = inicio[n];
        leitor.Avanca(1);
        if (c == '\n') return 0;
        if (c == '\f') return QuebraPagina();
    }
}

}  // namespace

int readline(std::string& buf) {
    buf.clear();
    if (dad == nullptr) {
        fimarq = 1;
        return 1;
    }
    leitor.Sincroniza();
    return LeLinha(buf);
}

int RepetePagina() {
    ZeraSecoes();
    LiberaVariaveis();
    fimarq = 0;
    fimpag = 0;
    if (dad == nullptr) return 0;
    return leitor.Salta(pag) ? 0 : -1;
}

int RetomaPagina(long inicio) {
    pag = inicio;
    return RepetePagina();
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
    leitor.Sincroniza();
    std::string descarte;
    while (!fimpag)
        if (LeLinha(descarte) == 1) return -1;
    const long posicao = leitor.Posicao();
    if (posicao < 0) return -1;
    pag = posicao;
    if (dbg != nullptr) std::fprintf(dbg, "PAGINA %lu\n", static_cast<unsigned long>(pag));
    fimpag = 0;
    return 0;
}

void LeDados(int secao, std::string& buf) {
    buf.clear();
    if (dad == nullptr || secao > kSecoes || fimarq || fimpag) return;
    leitor.Sincroniza();
    std::string texto;
    if (secao <= 0) {
        LeLinha(texto);
        if (!fimpag && !fimarq) buf = texto;
        return;
    }
    long& cursor = secoes[secao - 1];
    if (cursor == -1) return;
    if (cursor != 0) {
        if (!leitor.Posiciona(cursor)) return;
    } else {
        // The marker is looked for from the current position on, never from the page's start.
        const std::string marcador = ".secao " + std::to_string(secao);
        do {
            LeLinha(texto);
            if (fimpag || fimarq) return;
        } while (!Marcador(texto, marcador));
        cursor = leitor.Posicao();
    }
    LeLinha(texto);
    if (fimpag || fimarq) return;
    if (!texto.empty() && texto[0] == '.') {
        cursor = -1;
        return;
    }
    buf = texto;
    cursor = leitor.Posicao();
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
            // Columns and lengths count characters of the job's set.
            if (coluna >= 1 && tamanho >= 0)
                valor = TrechoCaracteres(linha_dados, static_cast<std::size_t>(coluna - 1),
                                         static_cast<std::size_t>(tamanho));
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
