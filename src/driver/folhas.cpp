#include "driver/folhas.h"

#include <bit>
#include <string>

#include "device/dispositivo.h"
#include "driver/driver.h"
#include "interp/dados.h"
#include "interp/interp.h"

namespace {

// The positions of the column, counted from 0 at the top.
constexpr int kInicio = 0;       // the start mark, on every sheet
constexpr int kFimEnvelope = 1;  // on the last sheet of its envelope
constexpr int kSequencia = 2;    // the sheet's number, most significant bit first
constexpr int kBitsSequencia = 3;
constexpr int kParidade = 5;   // makes the marks of the positions above it an even count
constexpr int kSeguranca = 6;  // the safety mark, on every sheet
// The sheet numbers wrap after this many (0 to 7 in three bits).
constexpr long kCicloSequencia = 1L << kBitsSequencia;
// A mark is a box filled black, without a border.
constexpr int kPreto = 100;

// The tray in force on the printer: the prologue's, then the last one a sheet selected.
signed char bandeja_em_vigor = 0;

std::optional<int> TrocaDeBandeja(int via) {
    const signed char bandeja = alimentacao_via[via].value_or(alimentacao);
    if (bandeja == bandeja_em_vigor) return std::nullopt;
    bandeja_em_vigor = bandeja;
    return bandeja;
}

// The sheet after a page of `valor` is in another envelope: there is none, it has another
// value, or either has no value (a sheet without one is an envelope of its own).
bool FechaEnvelope(const std::string& valor, const std::optional<std::string>& seguinte) {
    return !seguinte || valor.empty() || seguinte->empty() || *seguinte != valor;
}

// The copies of the page whose start the reader is at, copy 1 first, each read from that start
// again: every copy carries the page's data. A copy set is one customer's: only its last copy
// may end the envelope. False when the page cannot be read again.
bool ImprimeVias(void (*imprime)(const Folha&), bool fecha_envelope) {
    for (int via = 1; via <= vias; ++via) {
        if (via > 1 && RepetePagina() != 0) return false;
        via_atual = via;
        Folha folha;
        folha.via = via;
        folha.bandeja = TrocaDeBandeja(via);
        if (omr.ativa)
            folha.marcas = MarcasDaFolha(paginas_impressas + 1, fecha_envelope && via == vias);
        imprime(folha);
    }
    via_atual = 1;
    return true;
}

// Each page is read once before it is printed, and so is the page after it (or the next
// batch's first, or nothing at the end of the run): only then is it known whether the page's
// last sheet ends its envelope.
void ImprimeComMarcas(void (*imprime)(const Folha&)) {
    if (PrimeiraPagina() != 0) return;
    LePaginaSemDesenhar();
    std::string valor = ValorDoEnvelope();
    for (;;) {
        const long inicio = pag;
        std::optional<std::string> seguinte;
        long inicio_seguinte = -1;
        if (ProximaPagina() == 0) {
            inicio_seguinte = pag;
            LePaginaSemDesenhar();
            seguinte = ValorDoEnvelope();
        } else {
            seguinte = ValorNoLoteSeguinte();
        }
        if (RetomaPagina(inicio) != 0) return;
        if (!ImprimeVias(imprime, FechaEnvelope(valor, seguinte))) return;
        if (inicio_seguinte < 0 || RetomaPagina(inicio_seguinte) != 0) return;
        valor = *seguinte;
    }
}

}  // namespace

std::string ValorDoEnvelope() {
    std::string valor;
    if (!grupo.variavel.empty()) LeVar(grupo.variavel, valor);
    const std::size_t inicio = valor.find_first_not_of(' ');
    if (inicio == std::string::npos) return {};
    return valor.substr(inicio, valor.find_last_not_of(' ') - inicio + 1);
}

unsigned MarcasDaFolha(long numero, bool fim_do_envelope) {
    unsigned marcas = 1u << kInicio | 1u << kSeguranca;
    if (fim_do_envelope) marcas |= 1u << kFimEnvelope;
    const long sequencia = numero % kCicloSequencia;
    for (int bit = 0; bit < kBitsSequencia; ++bit)
        if ((sequencia >> (kBitsSequencia - 1 - bit)) & 1) marcas |= 1u << (kSequencia + bit);
    if (std::popcount(marcas & ((1u << kParidade) - 1)) % 2 != 0) marcas |= 1u << kParidade;
    return marcas;
}

void DesenhaMarcas(const Folha& folha) {
    for (int i = 0; i < kPosicoesOMR; ++i)
        if ((folha.marcas >> i) & 1u)
            DesenhaRetang(omr.x, omr.y + static_cast<float>(i) * omr.passo, omr.largura,
                          omr.espessura, kPreto, 0);
}

void ImprimeFolhas(void (*imprime)(const Folha&)) {
    bandeja_em_vigor = alimentacao;
    if (omr.ativa) {
        ImprimeComMarcas(imprime);
        return;
    }
    for (int r = PrimeiraPagina(); r == 0; r = ProximaPagina())
        if (!ImprimeVias(imprime, false)) return;
}
