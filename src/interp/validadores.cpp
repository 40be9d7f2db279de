#include "interp/validadores.h"

#include <cstddef>
#include <iterator>
#include <string>

#include "barcode/matriz.h"
#include "codificacao/codificacao.h"
#include "device/dispositivo.h"
#include "interp/interp.h"
#include "util/numeros.h"

namespace {

std::size_t ContaPalavras(Lista* palavras) {
    std::size_t total = 0;
    for (Lista* no = InicioLista(palavras); no != nullptr; no = no->prox)
        ++total;
    return total;
}

// Word n of the line, the keyword being word 0; the caller has checked the count.
const std::string& Palavra(Lista* palavras, int n) {
    Lista* no = InicioLista(palavras);
    for (int i = 0; i < n; ++i)
        no = no->prox;
    return no->texto;
}

// For commands whose last argument is optional.
int FaixaArgs(Lista* palavras, std::size_t minimo, std::size_t maximo, std::string& msg) {
    const std::size_t total = ContaPalavras(palavras);
    if (total >= minimo && total <= maximo) return 0;
    msg = MensagemNumArgs();
    return kErro;
}

// A command with a fixed word count and nothing to do at load time.
int Conta(Lista* palavras, int esperado, int classe, std::string& msg) {
    return NumArgs(palavras, esperado, msg) == 0 ? classe : kErro;
}

struct Comando {
    std::string_view palavra;
    Validador validador;
};

constexpr Comando kComandos[] = {
    {"TEXTO", InterpretaTexto},
    {"LINHA", InterpretaLinha},
    {"RETANG", InterpretaRetang},
    {"RETANGA", InterpretaRetangA},
    {"IMAGEM", InterpretaImagem},
    {"INPUT", InterpretaInput},
    {"CODBAR", InterpretaCodBar},
    {"CODBAR2", InterpretaCodBar},
    {"CODMATRIZ", InterpretaCodMatriz},
    {"CODMATRIZ2", InterpretaCodMatriz},
    {"IGNORA", InterpretaIgnora},
    {"CAPTURA", InterpretaCaptura},
    {"MOSTRA", InterpretaMostra},
    {"DUPLEX", InterpretaDuplex},
    {"PAPEL", InterpretaPapel},
    {"ORIENTACAO", InterpretaOrientacao},
    {"ALIMENTACAO", InterpretaAlimentacao},
    {"ROTACAO", InterpretaRotacao},
    {"ROTACAO2", InterpretaRotacao2},
    {"SALTA_PAGINA", InterpretaSaltaPagina},
    {"ORIGEM", InterpretaOrigem},
    {"MD5", InterpretaMD5},
    {"MD5V", InterpretaMD5},
    {"MARCA", InterpretaMarca},
    {"CODIFICACAO", InterpretaCodificacao},
    {"VIAS", InterpretaVias},
    {"VIA", InterpretaVia},
    {"GRUPO", InterpretaGrupo},
    {"OMR", InterpretaOMR},
};

// The character sets a format may declare for its texts and its data.
struct NomeCodificacao {
    std::string_view nome;
    Codificacao codificacao;
};

constexpr NomeCodificacao kCodificacoes[] = {
    {"UTF-8", Codificacao::utf8},
    {"LATIN1", Codificacao::latin1},
};

// A message that names a word of the line (a declared set, a code type) and the line; unlike the
// loader's older messages it carries its own line end.
std::string MensagemComNome(const char* inicio, const std::string& nome) {
    return inicio + nome + "] - linha " + std::to_string(linha) + "\n";
}

// A value a command cannot take, named with its line.
int ValorInvalido(const std::string& palavra, std::string& msg) {
    msg = MensagemComNome("Valor invalido [", palavra);
    return kErro;
}

// A copy number, 1 to kMaxVias; 0 for anything else.
int NumeroDeVia(const std::string& palavra) {
    const int n = LeInteiro(palavra);
    return n >= 1 && n <= kMaxVias ? n : 0;
}

// An OMR measure: a positive number of inches, within the sheet's reach.
constexpr float kMaxMedidaOMR = 10.0f;
bool MedidaOMR(const std::string& palavra, float& medida) {
    medida = LeCoordenada(palavra);
    return medida > 0.0f && medida <= kMaxMedidaOMR;
}

// OMR takes its corner, or its corner and the three measures.
constexpr std::size_t kPalavrasOMR = 3;
constexpr std::size_t kPalavrasOMRMedidas = 6;

}  // namespace

std::string MensagemNumArgs() {
    return "Numero de argumentos invalido - linha " + std::to_string(linha);
}

Validador BuscaValidador(std::string_view palavra) {
    for (const Comando& comando : kComandos)
        if (comando.palavra == palavra) return comando.validador;
    return nullptr;
}

int InterpretaTexto(Lista* palavras, std::string& msg) {
    return Conta(palavras, 6, kObjetoFixo, msg);
}

int InterpretaLinha(Lista* palavras, std::string& msg) {
    return FaixaArgs(palavras, 5, 6, msg) == 0 ? kObjetoFixo : kErro;
}

int InterpretaRetang(Lista* palavras, std::string& msg) {
    return Conta(palavras, 7, kObjetoFixo, msg);
}

int InterpretaRetangA(Lista* palavras, std::string& msg) {
    return Conta(palavras, 7, kObjetoFixo, msg);
}

int InterpretaImagem(Lista* palavras, std::string& msg) {
    return FaixaArgs(palavras, 6, 7, msg) == 0 ? kObjetoFixo : kErro;
}

int InterpretaInput(Lista* palavras, std::string& msg) {
    return Conta(palavras, 6, kObjetoVariavel, msg);
}

int InterpretaCodBar(Lista* palavras, std::string& msg) {
    return Conta(palavras, 6, kObjetoVariavel, msg);
}

// Unlike CODBAR, whose unknown types print as Code 39 for the forms in use, a matrix code names
// its type exactly: a misspelt one stops the load instead of printing something else.
int InterpretaCodMatriz(Lista* palavras, std::string& msg) {
    if (NumArgs(palavras, 6, msg) != 0) return kErro;
    const std::string& tipo = Palavra(palavras, 4);
    if (TipoMatrizDe(tipo)) return kObjetoVariavel;
    msg = MensagemComNome("Tipo de codigo invalido [", tipo);
    return kErro;
}

int InterpretaIgnora(Lista* palavras, std::string& msg) {
    return Conta(palavras, 2, kObjetoVariavel, msg);
}

// The executor reads as many capture items as the line holds.
int InterpretaCaptura(Lista*, std::string&) {
    return kObjetoVariavel;
}

int InterpretaMostra(Lista* palavras, std::string& msg) {
    return Conta(palavras, 6, kObjetoVariavel, msg);
}

// Filed in the fixed list of its side like a drawing; executing it draws nothing.
int InterpretaDuplex(Lista* palavras, std::string& msg) {
    if (NumArgs(palavras, 1, msg) != 0) return kErro;
    duplex = 1;
    return kObjetoFixo;
}

int InterpretaPapel(Lista* palavras, std::string& msg) {
    if (NumArgs(palavras, 2, msg) != 0) return kErro;
    const std::string& nome = Palavra(palavras, 1);
    if (nome == "CARTA") papel = 'c';
    if (nome == "A4") papel = '4';
    // The back-end knows the page height of every paper it can print, the other names too.
    TamanhoPapel(nome.c_str());
    return kAjuste;
}

int InterpretaOrientacao(Lista* palavras, std::string& msg) {
    if (NumArgs(palavras, 2, msg) != 0) return kErro;
    const std::string& nome = Palavra(palavras, 1);
    if (nome == "RETRATO") orientacao = 'p';
    if (nome == "PAISAGEM") orientacao = 'l';
    return kAjuste;
}

int InterpretaAlimentacao(Lista* palavras, std::string& msg) {
    if (NumArgs(palavras, 2, msg) != 0) return kErro;
    // The tray number is kept in a byte: a larger number keeps its low byte.
    const auto bandeja = static_cast<signed char>(LeInteiro(Palavra(palavras, 1)));
    // Inside a copy's block, the tray of that copy alone.
    if (ViaEmCarga() != 0)
        alimentacao_via[ViaEmCarga()] = bandeja;
    else
        alimentacao = bandeja;
    return kAjuste;
}

int InterpretaRotacao(Lista* palavras, std::string& msg) {
    return Conta(palavras, 2, kObjetoFixo, msg);
}

int InterpretaRotacao2(Lista* palavras, std::string& msg) {
    return Conta(palavras, 2, kObjetoVariavel, msg);
}

int InterpretaSaltaPagina(Lista* palavras, std::string& msg) {
    return Conta(palavras, 1, kObjetoVariavel, msg);
}

// The origin in decipoints for the PCL back-end, and in inches for the PostScript one; each
// back-end reads only its own pair, so both are always set.
int InterpretaOrigem(Lista* palavras, std::string& msg) {
    if (NumArgs(palavras, 3, msg) != 0) return kErro;
    origx = LeInteiro(Palavra(palavras, 1));
    origy = LeInteiro(Palavra(palavras, 2));
    xtop = static_cast<float>(static_cast<double>(origx) / 720.0);
    ytop = static_cast<float>(static_cast<double>(origy) / 720.0);
    return kAjuste;
}

// The executor checks the stamp's arguments itself.
int InterpretaMD5(Lista*, std::string&) {
    return kObjetoVariavel;
}

// Acts at load time for this format alone: the loader resets it at every load.
int InterpretaCodificacao(Lista* palavras, std::string& msg) {
    if (NumArgs(palavras, 2, msg) != 0) return kErro;
    const std::string& nome = Palavra(palavras, 1);
    for (const NomeCodificacao& c : kCodificacoes) {
        if (c.nome != nome) continue;
        if (DeclaraCodificacao(c.codificacao, kConjuntoImpressora)) return kAjuste;
        // The C library was installed without the conversion (its gconv modules).
        msg = MensagemComNome("Codificacao indisponivel [", nome);
        return kErro;
    }
    msg = MensagemComNome("Codificacao invalida [", nome);
    return kErro;
}

// The loader has already taken the block number, before its filter judged the line.
int InterpretaMarca(Lista*, std::string&) {
    return kObjetoFixo;
}

int InterpretaVias(Lista* palavras, std::string& msg) {
    if (NumArgs(palavras, 2, msg) != 0) return kErro;
    const std::string& palavra = Palavra(palavras, 1);
    vias = NumeroDeVia(palavra);
    return vias != 0 ? kAjuste : ValorInvalido(palavra, msg);
}

// Opens the block of one copy; whether the format prints that copy is known once the whole
// file, VIAS included, is read.
int InterpretaVia(Lista* palavras, std::string& msg) {
    if (NumArgs(palavras, 2, msg) != 0) return kErro;
    const std::string& palavra = Palavra(palavras, 1);
    const int via = NumeroDeVia(palavra);
    if (via == 0) return ValorInvalido(palavra, msg);
    AbreViaEmCarga(via, palavra);
    return kAjuste;
}

// The loader checks, once the file is read, that a CAPTURA of the format defines the variable.
int InterpretaGrupo(Lista* palavras, std::string& msg) {
    if (NumArgs(palavras, 2, msg) != 0) return kErro;
    grupo.variavel = Palavra(palavras, 1);
    grupo.linha = linha;
    grupo.linha_arquivo = linha_arquivo;
    return kAjuste;
}

int InterpretaOMR(Lista* palavras, std::string& msg) {
    const std::size_t total = ContaPalavras(palavras);
    if (total != kPalavrasOMR && total != kPalavrasOMRMedidas) {
        msg = MensagemNumArgs();
        return kErro;
    }
    ColunaOMR coluna;
    coluna.x = LeCoordenada(Palavra(palavras, 1));
    coluna.y = LeCoordenada(Palavra(palavras, 2));
    if (total == kPalavrasOMRMedidas) {
        // Words 3, 4 and 5: the step, the width and the thickness.
        float* medidas[] = {&coluna.passo, &coluna.largura, &coluna.espessura};
        for (std::size_t i = 0; i < std::size(medidas); ++i) {
            const std::string& palavra = Palavra(palavras, kPalavrasOMR + static_cast<int>(i));
            if (!MedidaOMR(palavra, *medidas[i])) return ValorInvalido(palavra, msg);
        }
        // Each mark must end before the next one begins, or the reading head sees one bar.
        if (coluna.espessura >= coluna.passo)
            return ValorInvalido(Palavra(palavras, kPalavrasOMRMedidas - 1), msg);
    }
    coluna.ativa = true;
    coluna.linha = linha;
    coluna.linha_arquivo = linha_arquivo;
    omr = coluna;
    return kAjuste;
}
