// The format loader: reads a format file, checks every command and files its lines into the
// four object lists; settings act at once.
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "codificacao/codificacao.h"
#include "device/dispositivo.h"
#include "interp/dados.h"
#include "interp/interp.h"
#include "interp/palavras.h"
#include "interp/validadores.h"
#include "util/caminhos.h"
#include "util/numeros.h"

Lista* args = nullptr;
Lista* objsff = nullptr;
Lista* objsfv = nullptr;
Lista* objsvf = nullptr;
Lista* objsvv = nullptr;
int marcaini = 0, marcafim = 0;
int marca = 0;
int linha = 0;
int linha_arquivo = 0;
int vias = 1;
int via_atual = 1;
ColunaOMR omr;
GrupoEnvelope grupo;

namespace {

// A format line is read in pieces of this many bytes (a 512-byte read less its NUL); the rest
// of a longer line is read as a line of its own.
constexpr std::size_t kLeituraFormato = 511;

struct FechaArquivo {
    void operator()(std::FILE* arquivo) const { std::fclose(arquivo); }
};
using Arquivo = std::unique_ptr<std::FILE, FechaArquivo>;

// The next piece of the file: up to and including a line feed, at most kLeituraFormato bytes.
// False at the end of the file with nothing read. A read error counts as the end.
bool LePedaco(std::FILE* arquivo, std::string& pedaco) {
    pedaco.clear();
    while (pedaco.size() < kLeituraFormato) {
        const int c = std::getc(arquivo);
        if (c == EOF) break;
        pedaco.push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    return !pedaco.empty();
}

// Opens a file for reading, as fopen does, but a directory fails with EISDIR: reading one gives
// no line at all, and an empty form or data file would print without a word of warning.
std::FILE* AbreLeitura(const char* nome) {
    std::FILE* arquivo = std::fopen(nome, "rb");
    if (arquivo == nullptr) return nullptr;
    struct stat info {};
    if (fstat(fileno(arquivo), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::fclose(arquivo);
        errno = EISDIR;
        return nullptr;
    }
    return arquivo;
}

std::string MensagemAbertura(const char* nome, int erro) {
    return "Erro na abertura do arquivo [" + std::string(nome) + "] #" + std::to_string(erro);
}

// Opens and measures the data file for the reader.
int AbreDados(const char* nome, std::string& msg) {
    if (dad != nullptr) std::fclose(dad);  // a second DADOS line replaces the first
    const std::string caminho = CaminhoFormulario(nome);
    dad = AbreLeitura(caminho.c_str());
    if (dad == nullptr) {
        msg = MensagemAbertura(caminho.c_str(), errno);
        return -1;
    }
    tamarq = -1;  // unknown size (not seekable): a page break never looks like the end
    if (std::fseek(dad, 0, SEEK_END) == 0) tamarq = std::ftell(dad);
    std::fseek(dad, 0, SEEK_SET);
    return 0;
}

const std::string* SegundaPalavra() {
    Lista* primeira = InicioLista(args);
    if (primeira == nullptr || primeira->prox == nullptr) return nullptr;
    return &primeira->prox->texto;
}

// The VIA block the loader is in (0: every copy's), and each VIA line met, in file order, for
// the check against VIAS once the whole file is read (VIAS may stand anywhere).
struct ViaLida {
    int via;
    std::string palavra;
    int linha;
    int linha_arquivo;
};
int via_em_carga = 0;
std::vector<ViaLida> vias_lidas;

bool ForaDoBloco() {
    return (marcaini != 0 && marca < marcaini) || (marcafim != 0 && marca > marcafim);
}

enum class Lado { frente, verso };

// Handles one line that holds words; the class of the line, or kErro with the message.
int TrataLinha(const char* nome_dados, Lado& lado, std::string& msg) {
    const std::string& palavra = InicioLista(args)->texto;
    if (palavra == "DADOS") {
        if (nome_dados[0] != '\0') return kAjuste;
        const std::string* nome = SegundaPalavra();
        if (nome == nullptr) {
            msg = MensagemNumArgs();
            return kErro;
        }
        return AbreDados(nome->c_str(), msg) == 0 ? kAjuste : kErro;
    }
    if (palavra == "VERSO") {
        lado = Lado::verso;
        // The back side, like the front, begins with the objects of every copy.
        via_em_carga = 0;
        const std::string* tipo = SegundaPalavra();
        tipo_verso = (tipo != nullptr && *tipo == "NORMAL") ? 'n' : 'i';
        return kAjuste;
    }
    if (palavra[0] == '#') return kAjuste;

    msg = "Comando desconhecido [" + palavra + "] - linha " + std::to_string(linha);
    if (palavra == "MARCA") {
        const std::string* numero = SegundaPalavra();
        if (numero == nullptr) {
            msg = MensagemNumArgs();
            return kErro;
        }
        marca = LeInteiro(*numero);
    }
    if (ForaDoBloco()) return kAjuste;
    const Validador validador = BuscaValidador(palavra);
    return validador == nullptr ? kErro : validador(args, msg);
}

// The last node of each object list while a format loads (fixed front, fixed back, variable
// front, variable back): filing a line never walks its list, so that a format of a hundred
// thousand lines loads in linear time. Reset at the start of every load.
Lista* caudas[4] = {};

void Acrescenta(Lista*& lista, Lista*& cauda, const std::string& texto) {
    if (lista == nullptr || cauda == nullptr) cauda = FimLista(lista);
    cauda = IncluiListaApos(cauda, texto);
    cauda->linha = linha_arquivo;
    if (lista == nullptr) lista = cauda;
    if (via_em_carga != 0) PoeViaDoObjeto(cauda, via_em_carga);
}

void Arquiva(int classe, Lado lado, const std::string& texto) {
    const bool frente = lado == Lado::frente;
    if (classe == kObjetoFixo) {
        if (frente)
            Acrescenta(objsff, caudas[0], texto);
        else
            Acrescenta(objsfv, caudas[1], texto);
    } else if (classe == kObjetoVariavel) {
        if (frente)
            Acrescenta(objsvf, caudas[2], texto);
        else
            Acrescenta(objsvv, caudas[3], texto);
    }
}

int Falha() {
    args = LiberaLista(args);
    FinalizaInterp();
    return -1;
}

// Copies, marks and envelopes as the format sets them up: fresh for every load.
void ReiniciaEstrutura() {
    vias = 1;
    via_atual = 1;
    via_em_carga = 0;
    vias_lidas.clear();
    for (auto& bandeja : alimentacao_via)
        bandeja.reset();
    omr = ColunaOMR();
    grupo = GrupoEnvelope();
}

std::string MensagemNaLinha(const std::string& texto, int numero) {
    return texto + " - linha " + std::to_string(numero) + "\n";
}

// What only the whole file can tell: a VIA above the copies of the format, a column of marks
// that no envelope variable drives, an envelope variable that nothing captures.
int VerificaEstrutura(std::string& msg) {
    for (const ViaLida& v : vias_lidas) {
        if (v.via <= vias) continue;
        msg = MensagemNaLinha("Valor invalido [" + v.palavra + "]", v.linha);
        linha_arquivo = v.linha_arquivo;
        return kErro;
    }
    if (omr.ativa && grupo.variavel.empty()) {
        msg = MensagemNaLinha("OMR sem GRUPO", omr.linha);
        linha_arquivo = omr.linha_arquivo;
        return kErro;
    }
    if (!grupo.variavel.empty() && !CapturaVariavel(grupo.variavel)) {
        msg = MensagemNaLinha("Variavel nao capturada [" + grupo.variavel + "]", grupo.linha);
        linha_arquivo = grupo.linha_arquivo;
        return kErro;
    }
    return kAjuste;
}

// A CAPTURA line defines the variable when one of its items (the words after its section)
// bears the name before its first ':'.
bool DefineVariavel(std::string_view linha_formato, std::string_view nome) {
    std::size_t indice = 0;
    bool captura = false, define = false;
    PercorrePalavras(linha_formato, [&](std::size_t inicio, std::size_t tamanho, bool) {
        const std::string_view palavra = linha_formato.substr(inicio, tamanho);
        if (indice == 0) captura = palavra == "CAPTURA";
        if (captura && indice >= 2 && palavra.substr(0, palavra.find(':')) == nome) define = true;
        ++indice;
    });
    return define;
}

}  // namespace

int InicializaInterp(const char* formato, const char* nome_dados, std::string& msg) {
    if (nome_dados == nullptr) nome_dados = "";
    Lado lado = Lado::frente;
    // The previous batch released everything with FinalizaInterp.
    vars = nullptr;
    objsff = objsfv = objsvf = objsvv = nullptr;
    for (Lista*& cauda : caudas)
        cauda = nullptr;
    dad = nullptr;
    pag = 0;
    duplex = 0;
    EncerraCodificacao();
    fimarq = 0;
    fimpag = 0;
    ReiniciaEstrutura();

    linha_arquivo = 0;
    Arquivo arquivo(AbreLeitura(formato));
    if (!arquivo) {
        msg = MensagemAbertura(formato, errno);
        return -1;
    }
    linha = 1;
    if (nome_dados[0] != '\0' && AbreDados(nome_dados, msg) != 0) {
        arquivo.reset();
        return Falha();
    }

    std::string pedaco;
    // The file's own line on which the next piece begins: a piece cut from a long line is
    // still on that line.
    int linha_seguinte = 1;
    while (LePedaco(arquivo.get(), pedaco)) {
        linha_arquivo = linha_seguinte;
        if (pedaco.back() == '\n' && linha_seguinte < INT_MAX) ++linha_seguinte;
        args = LiberaLista(args);
        SeparaArgs(pedaco);
        if (args == nullptr) continue;  // a blank line is not counted
        const int classe = TrataLinha(nome_dados, lado, msg);
        if (classe == kErro) {
            arquivo.reset();
            return Falha();
        }
        Arquiva(classe, lado, pedaco);
        args = LiberaLista(args);
        if (linha < INT_MAX) ++linha;
    }
    arquivo.reset();
    if (VerificaEstrutura(msg) == kErro) return Falha();
    return 0;
}

int ViaEmCarga() {
    return via_em_carga;
}

void AbreViaEmCarga(int via, const std::string& palavra) {
    via_em_carga = via;
    vias_lidas.push_back({via, palavra, linha, linha_arquivo});
}

void SeparaArgs(std::string_view texto) {
    // The words are appended at the tail, which is kept: a line of many words splits in
    // linear time. A last word without a separator after it (the last line of a file without a
    // line end, or a cut piece of a long line) is a word like any other.
    Lista* cauda = FimLista(args);
    PercorrePalavras(texto, [&](std::size_t inicio, std::size_t tamanho, bool) {
        cauda = IncluiListaApos(cauda, texto.substr(inicio, tamanho));
        if (args == nullptr) args = cauda;
    });
}

bool CapturaVariavel(std::string_view nome) {
    for (Lista* lista : {objsvf, objsvv})
        for (Lista* no = InicioLista(lista); no != nullptr; no = no->prox)
            if (DefineVariavel(no->texto, nome)) return true;
    return false;
}

int NumArgs(Lista* lista, int esperado, std::string& msg) {
    int total = 0;
    for (Lista* no = InicioLista(lista); no != nullptr; no = no->prox)
        ++total;
    if (total == esperado) return 0;
    msg = MensagemNumArgs();
    return -1;
}
