#include <array>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "codificacao/codificacao.h"
#include "device/dispositivo.h"
#include "interp/codmatriz.h"
#include "interp/dados.h"
#include "interp/interp.h"
#include "md5stamp/md5stamp.h"
#include "util/numeros.h"

namespace {

// Boxes lie under images, and images under everything else, whatever the order of the format.
enum Passo { kCaixas = 0, kImagens = 1, kDemais = 2 };
constexpr int kPassos = 3;

// The words of the object being executed: command word first, then its arguments from 1.
using Palavras = std::vector<std::string>;

// An object line split into its words, with each word also read as a coordinate: a format's
// objects run on every page, and reading their numbers again each time cost more than drawing.
class Objeto {
  public:
    Objeto() = default;
    explicit Objeto(Palavras palavras) : palavras_(std::move(palavras)) {
        for (const std::string& palavra : palavras_)
            coordenadas_.push_back(LeCoordenada(palavra));
    }
    const std::string& operator[](std::size_t i) const { return palavras_[i]; }
    std::size_t size() const { return palavras_.size(); }
    bool empty() const { return palavras_.empty(); }
    // Word i as LeCoordenada reads it.
    float Coord(std::size_t i) const { return coordenadas_[i]; }

  private:
    Palavras palavras_;
    std::vector<float> coordenadas_;
};

// MD5V reads its six pairs of entry spec and variable name from argument 5 on.
constexpr std::size_t kPrimeiraSpecMD5V = 5;
constexpr std::size_t kArgsMD5 = 5;
constexpr std::size_t kArgsMD5V = kPrimeiraSpecMD5V + 2 * kEntradasMD5V - 1;
// An entry spec is a kind letter and a width of at most two digits; the rest is ignored.
constexpr std::size_t kTamanhoSpec = 3;

Palavras ColhePalavras() {
    Palavras palavras;
    for (Lista* no = InicioLista(args); no != nullptr; no = no->prox)
        palavras.push_back(no->texto);
    return palavras;
}

// The split words of every object line met in this job. A format's objects run on every page
// (three passes each), but their lines never change within a job: each is split once. An
// entry counts only while its node still holds the same text, so a list rebuilt or changed
// between calls, even in a node at a reused address, is split afresh.
struct Separadas {
    std::string texto;
    Objeto objeto;
};
std::unordered_map<const Lista*, Separadas> separadas;

// The words of an object line, split as the loader splits it.
const Objeto& ObjetoDe(const Lista* no) {
    Separadas& entrada = separadas[no];
    if (entrada.texto != no->texto || entrada.objeto.empty()) {
        args = LiberaLista(args);
        SeparaArgs(no->texto);
        entrada.texto = no->texto;
        entrada.objeto = Objeto(ColhePalavras());
        args = LiberaLista(args);
    }
    return entrada.objeto;
}

int PassoDe(std::string_view comando) {
    if (comando == "RETANG" || comando == "RETANGA") return kCaixas;
    if (comando == "IMAGEM") return kImagens;
    return kDemais;
}

// A text's x: a first argument beginning with a capital C asks for centring.
float PosicaoTexto(const Objeto& p) {
    if (!p[1].empty() && p[1][0] == 'C') return -1.0f;
    return p.Coord(1);
}

// TEXTO, INPUT and MOSTRA: x or "C", y, font code, style, then the content's source. The
// content is in the format's declared set until here; the back-end takes its own.
void ExecutaTexto(const Objeto& p, std::string& conteudo) {
    if (codificacao != Codificacao::nenhuma) ConverteTexto(conteudo);
    DesenhaTexto(PosicaoTexto(p), p.Coord(2), p[3].c_str(), p[4].c_str(), conteudo);
}

void ExecutaTextoFixo(const Objeto& p) {
    std::string conteudo = p[5];
    ExecutaTexto(p, conteudo);
}

void ExecutaInput(const Objeto& p) {
    std::string conteudo;
    LeDados(LeInteiro(p[5]), conteudo);
    ExecutaTexto(p, conteudo);
}

void ExecutaMostra(const Objeto& p) {
    std::string conteudo;
    LeVar(p[5], conteudo);
    ExecutaTexto(p, conteudo);
}

void ExecutaLinha(const Objeto& p) {
    const int largura = p.size() > 5 ? LeInteiro(p[5]) : 1;
    DesenhaLinha(p.Coord(1), p.Coord(2), p.Coord(3), p.Coord(4), largura);
}

void ExecutaRetang(const Objeto& p) {
    DesenhaRetang(p.Coord(1), p.Coord(2), p.Coord(3), p.Coord(4), LeInteiro(p[5]), LeInteiro(p[6]));
}

void ExecutaRetangA(const Objeto& p) {
    DesenhaRetangA(p.Coord(1), p.Coord(2), p.Coord(3), p.Coord(4), p[5].c_str(), LeInteiro(p[6]));
}

void ExecutaImagem(const Objeto& p) {
    const int mascara = p.size() > 6 ? LeInteiro(p[6]) : 0;
    DesenhaImagem(p.Coord(1), p.Coord(2), p.Coord(3), p.Coord(4), p[5].c_str(), mascara);
}

// A barcode holds no blanks: its text ends at the first one.
void ExecutaCodBar(const Objeto& p, std::string& codigo) {
    codigo = codigo.substr(0, codigo.find(' '));
    DesenhaCodBar(p.Coord(1), p.Coord(2), LeInteiro(p[3]), p[4].c_str(), codigo.c_str());
}

void ExecutaCodBarSecao(const Objeto& p) {
    std::string codigo;
    LeDados(LeInteiro(p[5]), codigo);
    ExecutaCodBar(p, codigo);
}

void ExecutaCodBarVariavel(const Objeto& p) {
    std::string codigo;
    LeVar(p[5], codigo);
    ExecutaCodBar(p, codigo);
}

// CODMATRIZ and CODMATRIZ2: x, y, side, type, then the text's source, a line read whole.
void ExecutaCodMatrizSecao(const Objeto& p) {
    std::string texto;
    LeDados(LeInteiro(p[5]), texto);
    ImprimeCodMatriz(p.Coord(1), p.Coord(2), p.Coord(3), p[4], texto);
}

void ExecutaCodMatrizVariavel(const Objeto& p) {
    std::string texto;
    LeVar(p[5], texto);
    ImprimeCodMatriz(p.Coord(1), p.Coord(2), p.Coord(3), p[4], texto);
}

void ExecutaIgnora(const Objeto& p) {
    std::string descartada;
    LeDados(LeInteiro(p[1]), descartada);
}

// One line is read and every capture item is cut from that same line, in order.
void ExecutaCaptura(const Objeto& p) {
    std::string linha_dados;
    LeDados(LeInteiro(p[1]), linha_dados);
    for (std::size_t i = 2; i < p.size(); ++i)
        SetaVar(linha_dados, p[i]);
}

void ExecutaMD5(const Objeto& p) {
    std::string dados;
    LeDados(LeInteiro(p[5]), dados);
    md5(p.Coord(1), p.Coord(2), p[3].c_str(), p[4].c_str(), dados);
}

// Six pairs of entry spec and variable name; a spec beginning with a hyphen is an empty entry
// whose variable is not looked up.
void ExecutaMD5V(const Objeto& p) {
    std::array<std::string, kEntradasMD5V> specs;
    std::array<std::string, kEntradasMD5V> valores;
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const std::string& spec = p[kPrimeiraSpecMD5V + 2 * i];
        const std::string& nome = p[kPrimeiraSpecMD5V + 2 * i + 1];
        specs[i] = spec.substr(0, kTamanhoSpec);
        if (spec.empty() || spec[0] != '-') LeVar(nome, valores[i]);
    }
    md5v(p.Coord(1), p.Coord(2), p[3].c_str(), p[4].c_str(), specs, valores);
}

// INPUT, CODBAR, CODMATRIZ and MD5 read the line of the section their fifth argument names.
constexpr std::size_t kArgumentoSecao = 5;

// What such an object reads from the page when it is only read, not drawn: the line it takes
// from its section, whose content does not matter.
void LeSecao(const Objeto& p) {
    std::string descartada;
    LeDados(LeInteiro(p[kArgumentoSecao]), descartada);
}

struct Comando {
    std::string_view nome;
    std::size_t minimo;  // words needed, command word included
    void (*executa)(const Objeto&);
    // The page's data it reads, drawing nothing; null for an object that reads none.
    void (*le)(const Objeto&) = nullptr;
};

// DUPLEX and MARCA act when the format is loaded, and page skips come from the report itself:
// those objects draw nothing.
void Nada(const Objeto&) {}
void ExecutaRotacao(const Objeto& p) {
    Rotacao(LeInteiro(p[1]));
}
void ExecutaRotacao2(const Objeto& p) {
    Rotacao2(LeInteiro(p[1]));
}

// The loader checks the word counts of most commands; the minimum here keeps any list safe,
// and skips CAPTURA, MD5 and MD5V objects that lack the arguments they need.
constexpr Comando kComandos[] = {
    {"RETANG", 7, ExecutaRetang},
    {"RETANGA", 7, ExecutaRetangA},
    {"IMAGEM", 6, ExecutaImagem},
    {"ROTACAO", 2, ExecutaRotacao},
    {"ROTACAO2", 2, ExecutaRotacao2},
    {"IGNORA", 2, ExecutaIgnora, ExecutaIgnora},
    {"CAPTURA", 2, ExecutaCaptura, ExecutaCaptura},
    {"TEXTO", 6, ExecutaTextoFixo},
    {"INPUT", 6, ExecutaInput, LeSecao},
    {"MOSTRA", 6, ExecutaMostra},
    {"LINHA", 5, ExecutaLinha},
    {"CODBAR", 6, ExecutaCodBarSecao, LeSecao},
    {"CODBAR2", 6, ExecutaCodBarVariavel},
    {"CODMATRIZ", 6, ExecutaCodMatrizSecao, LeSecao},
    {"CODMATRIZ2", 6, ExecutaCodMatrizVariavel},
    {"MD5", kArgsMD5 + 1, ExecutaMD5, LeSecao},
    {"MD5V", kArgsMD5V + 1, ExecutaMD5V},
    {"DUPLEX", 1, Nada},
    {"MARCA", 1, Nada},
    {"SALTA_PAGINA", 1, Nada},
};

const Comando* ComandoDe(const Objeto& p) {
    for (const Comando& comando : kComandos)
        if (comando.nome == p[0]) return p.size() >= comando.minimo ? &comando : nullptr;
    return nullptr;
}

// `linha` is the format file's line of the object, for a host that asks which one is drawn.
void ExecutaObjeto(const Objeto& p, int passo, int linha) {
    if (PassoDe(p[0]) != passo) return;
    const Comando* comando = ComandoDe(p);
    if (comando == nullptr) return;
    if (aviso_objeto != nullptr) aviso_objeto(linha);
    comando->executa(p);
}

// The copy of each object line of a VIA block, by node; lines of every copy are not in it.
std::unordered_map<const Lista*, int> vias_dos_objetos;

// The object prints on the copy being printed.
bool NaVia(const Lista* no) {
    if (vias_dos_objetos.empty()) return true;
    const int via = ViaDoObjeto(no);
    return via == 0 || via == via_atual;
}

}  // namespace

void Interpreta(Lista* lista) {
    args = LiberaLista(args);
    for (int passo = 0; passo < kPassos; ++passo) {
        for (Lista* no = InicioLista(lista); no != nullptr; no = no->prox) {
            if (!NaVia(no)) continue;
            const Objeto& objeto = ObjetoDe(no);
            if (!objeto.empty()) ExecutaObjeto(objeto, passo, no->linha);
        }
    }
    if (aviso_objeto != nullptr) aviso_objeto(0);
}

// Only the pass of everything else reads the page, in list order: the front's list, then the
// back's, as a sheet is printed.
void LePaginaSemDesenhar() {
    args = LiberaLista(args);
    const int via = via_atual;
    via_atual = 1;
    for (Lista* lista : {objsvf, objsvv}) {
        for (Lista* no = InicioLista(lista); no != nullptr; no = no->prox) {
            if (!NaVia(no)) continue;
            const Objeto& objeto = ObjetoDe(no);
            if (objeto.empty() || PassoDe(objeto[0]) != kDemais) continue;
            const Comando* comando = ComandoDe(objeto);
            if (comando != nullptr && comando->le != nullptr) comando->le(objeto);
        }
    }
    via_atual = via;
}

int ViaDoObjeto(const Lista* objeto) {
    const auto achado = vias_dos_objetos.find(objeto);
    return achado == vias_dos_objetos.end() ? 0 : achado->second;
}

void PoeViaDoObjeto(const Lista* objeto, int via) {
    vias_dos_objetos[objeto] = via;
}

void InterpretaFixFrente() {
    Interpreta(objsff);
}
void InterpretaFixVerso() {
    Interpreta(objsfv);
}
void InterpretaVarFrente() {
    Interpreta(objsvf);
}
void InterpretaVarVerso() {
    Interpreta(objsvv);
}
int TemObjsff() {
    return objsff != nullptr ? 1 : 0;
}
int TemObjsfv() {
    return objsfv != nullptr ? 1 : 0;
}
int TemObjsvf() {
    return objsvf != nullptr ? 1 : 0;
}
int TemObjsvv() {
    return objsvv != nullptr ? 1 : 0;
}

void FinalizaInterp() {
    if (dad != nullptr) {
        std::fclose(dad);
        dad = nullptr;
    }
    objsff = LiberaLista(objsff);
    objsfv = LiberaLista(objsfv);
    objsvf = LiberaLista(objsvf);
    objsvv = LiberaLista(objsvv);
    args = LiberaLista(args);
    vars = LiberaLista(vars);
    separadas.clear();  // the nodes are gone; their addresses may come back with other lines
    vias_dos_objetos.clear();
    // A declared character set holds for its own job only.
    EncerraCodificacao();
}
