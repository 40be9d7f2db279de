#include "studio/desenho_filho.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <vector>

#include "codificacao/codificacao.h"
#include "device/dispositivo.h"
#include "interp/conferencia.h"
#include "interp/interp.h"
#include "pdf/pdf.h"
#include "pontos/pontos.h"
#include "studio/imagem_png.h"

namespace {

// The messages of a run are read up to this many bytes: a form of thousands of bad barcodes
// must not swamp the page.
constexpr std::size_t kMaxMensagens = 256 * 1024;
// A box that leaves the page by less than this (in inches, a point) is on the page: a text's
// letters may reach a little beyond the box the form gives them.
constexpr double kTolerancia = 1.0 / kPontosPorPolegada;
// Positions go to the page with this many decimals of an inch.
constexpr int kDecimais = 4;

struct CaixaTinta {
    double x, y, largura, altura;
};

// What the executor and the back-end told, in the order they told it.
int linha_atual = 0;
std::map<int, std::vector<CaixaTinta>> caixas;  // each line's boxes, from its last run
struct Marca {
    long posicao;  // how much of the messages was written when the object began
    int linha;
    long folha;
};
std::vector<Marca> marcas;

void AoObjeto(int linha) {
    linha_atual = linha;
    if (linha == 0) return;
    // The boxes of an object's last run are those of the page shown: it runs again on every
    // page, and a fixed one whenever its form is drawn anew.
    caixas[linha].clear();
    marcas.push_back({static_cast<long>(lseek(STDERR_FILENO, 0, SEEK_CUR)), linha,
                      paginas_impressas});
}

void AoTinta(double x, double y, double largura, double altura) {
    if (linha_atual != 0) caixas[linha_atual].push_back({x, y, largura, altura});
}

// The messages go to a file of the job's directory, where the place of each tells the object
// that was running when it was written.
bool MensagensEmArquivo() {
    const int fd = open(kArquivoMensagens, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool ok = dup2(fd, STDERR_FILENO) == STDERR_FILENO;
    close(fd);
    return ok;
}

std::string LeLimitado(const char* nome, std::size_t limite) {
    std::ifstream f(nome, std::ios::binary);
    std::string texto;
    char bloco[4096];
    while (texto.size() < limite && f.read(bloco, sizeof bloco).gcount() > 0)
        texto.append(bloco, static_cast<std::size_t>(f.gcount()));
    if (texto.size() > limite) texto.resize(limite);
    return texto;
}

struct Json {
    Conjunto conjunto;
    std::string texto;
    Json& Membro(const char* nome) {
        if (!texto.empty()) texto += ',';
        texto += '"';
        texto += nome;
        texto += "\":";
        return *this;
    }
    Json& Texto(std::string_view t) {
        texto += TextoJson(t, conjunto);
        return *this;
    }
    Json& Numero(double v, int decimais = kDecimais) {
        texto += NumeroJson(v, decimais);
        return *this;
    }
    Json& Bruto(std::string_view t) {
        texto += t;
        return *this;
    }
};

std::string SemFimDeLinha(std::string texto) {
    while (!texto.empty() && (texto.back() == '\n' || texto.back() == '\r'))
        texto.pop_back();
    return texto;
}

// Each line of the messages with the line of the form and the report page it came from.
void Avisos(Json& j, int primeira_pagina) {
    const std::string mensagens = LeLimitado(kArquivoMensagens, kMaxMensagens);
    j.Membro("avisos").Bruto("[");
    bool primeiro = true;
    for (std::size_t inicio = 0; inicio < mensagens.size();) {
        std::size_t fim = mensagens.find('\n', inicio);
        if (fim == std::string::npos) fim = mensagens.size();
        const std::string linha = mensagens.substr(inicio, fim - inicio);
        int linha_formulario = 0;
        long folha = -1;
        for (const Marca& m : marcas) {
            if (m.posicao > static_cast<long>(inicio)) break;
            linha_formulario = m.linha;
            folha = m.folha;
        }
        inicio = fim + 1;
        if (linha.empty()) continue;
        Json aviso{j.conjunto, ""};
        aviso.Membro("mensagem").Texto(linha);
        aviso.Membro("linha").Numero(linha_formulario, 0);
        aviso.Membro("pagina").Numero(folha < 0 ? 0 : primeira_pagina + folha, 0);
        j.Bruto(primeiro ? "{" : ",{").Bruto(aviso.texto).Bruto("}");
        primeiro = false;
    }
    j.Bruto("]");
}

// Each line's side, from the lists the loader filed it in.
std::map<int, int> LadosDasLinhas() {
    std::map<int, int> lados;
    for (Lista* lista : {objsff, objsvf})
        for (Lista* no = InicioLista(lista); no != nullptr; no = no->prox)
            lados[no->linha] = 0;
    for (Lista* lista : {objsfv, objsvv})
        for (Lista* no = InicioLista(lista); no != nullptr; no = no->prox)
            lados[no->linha] = 1;
    return lados;
}

// The objects whose boxes leave the page, as further preflight findings.
void ConfereCaixas(const std::map<int, int>& lados, double largura, double altura,
                   std::vector<AvisoFormato>& avisos) {
    for (const auto& [linha, lista] : caixas) {
        if (lista.empty() || lados.count(linha) == 0) continue;
        bool alguma_dentro = false, alguma_fora = false;
        for (const CaixaTinta& c : lista) {
            const bool toca = c.x < largura && c.y < altura && c.x + c.largura > 0 &&
                              c.y + c.altura > 0;
            const bool contida = c.x >= -kTolerancia && c.y >= -kTolerancia &&
                                 c.x + c.largura <= largura + kTolerancia &&
                                 c.y + c.altura <= altura + kTolerancia;
            alguma_dentro = alguma_dentro || toca;
            alguma_fora = alguma_fora || !contida;
        }
        if (!alguma_dentro)
            avisos.push_back({linha, "Objeto fora da pagina"});
        else if (alguma_fora)
            avisos.push_back({linha, "Objeto em parte fora da pagina"});
    }
}

void Conferencia(Json& j, std::vector<AvisoFormato> avisos) {
    std::stable_sort(avisos.begin(), avisos.end(),
                     [](const AvisoFormato& a, const AvisoFormato& b) { return a.linha < b.linha; });
    j.Membro("conferencia").Bruto("[");
    for (std::size_t i = 0; i < avisos.size(); ++i) {
        Json aviso{j.conjunto, ""};
        aviso.Membro("mensagem").Texto(avisos[i].mensagem);
        aviso.Membro("linha").Numero(avisos[i].linha, 0);
        j.Bruto(i == 0 ? "{" : ",{").Bruto(aviso.texto).Bruto("}");
    }
    j.Bruto("]");
}

void Objetos(Json& j, const std::map<int, int>& lados, int lado) {
    j.Membro("objetos").Bruto("[");
    bool primeiro = true;
    for (const auto& [linha, lista] : caixas) {
        const auto achado = lados.find(linha);
        if (lista.empty() || achado == lados.end() || achado->second != lado) continue;
        j.Bruto(primeiro ? "{" : ",{").Bruto("\"linha\":").Numero(linha, 0).Bruto(",\"caixas\":[");
        for (std::size_t i = 0; i < lista.size(); ++i) {
            const CaixaTinta& c = lista[i];
            j.Bruto(i == 0 ? "[" : ",[").Numero(c.x).Bruto(",").Numero(c.y).Bruto(",");
            j.Numero(c.largura).Bruto(",").Numero(c.altura).Bruto("]");
        }
        j.Bruto("]}");
        primeiro = false;
    }
    j.Bruto("]");
}

const TrechoExecucao& PrimeiroImpresso(const PaginaSozinha& p) {
    for (const TrechoExecucao& t : p.trechos)
        if (t.imprime) return t;
    return p.trechos.back();
}

const TrechoExecucao& UltimoImpresso(const PaginaSozinha& p) {
    for (auto t = p.trechos.rbegin(); t != p.trechos.rend(); ++t)
        if (t->imprime) return *t;
    return p.trechos.back();
}

bool Grava(const char* nome, const std::string& bytes) {
    std::FILE* f = std::fopen(nome, "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int DesenhaNoFilho(const OrdemDesenho& ordem) {
    if (!MensagensEmArquivo()) return 1;
    aviso_objeto = AoObjeto;
    aviso_tinta = AoTinta;
    opcoes_pdf.grade = ordem.grade;
    std::string erro_carga;
    const int status = ExecutaTrechos(ordem.formulario.c_str(), ordem.pagina.trechos, erro_carga);
    const long folhas = paginas_impressas;
    const int linha_erro = linha_arquivo;
    aviso_objeto = nullptr;
    aviso_tinta = nullptr;

    Json j{ordem.conjunto, ""};
    // The form once more, as the page's batch loads it: its lists tell each line's side, and
    // the preflight looks over them.
    std::map<int, int> lados;
    std::vector<AvisoFormato> avisos;
    // The batch of the page itself: the last printed piece.
    const TrechoExecucao& ultimo = UltimoImpresso(ordem.pagina);
    std::string msg;
    marcaini = ultimo.marcaini;
    marcafim = ultimo.marcafim;
    const bool carregou =
        erro_carga.empty() && InicializaInterp(ordem.formulario.c_str(), ultimo.dados.c_str(), msg) == 0;
    if (carregou) {
        lados = LadosDasLinhas();
        avisos = AvisosDoFormato();
    }
    const bool utf8 = codificacao == Codificacao::utf8;
    const PaginaPontos p = PaginaEfetiva();
    if (carregou) FinalizaInterp();
    const double largura = p.largura / kPontosPorPolegada, altura = p.altura / kPontosPorPolegada;
    ConfereCaixas(lados, largura, altura, avisos);

    // The sheets the run printed, each page as many copies as the page's format asks for: the
    // page's own first copy is shown.
    const long antes = PrimeiroImpresso(ordem.pagina).paginas_antes * vias;
    const long impressas = folhas - antes;
    int lados_folha = 1;
    if (status == 0) {
        const int paginas_pdf = PaginasDoPDF(ordem.job);
        if (impressas > 0 && paginas_pdf > 0)
            lados_folha = std::max(1, static_cast<int>(paginas_pdf / impressas));
    }
    const int lado = std::min(ordem.lado, lados_folha - 1);
    const long indice = ordem.pagina.folha * vias * lados_folha + lado;
    Grava(kArquivoIndice, std::to_string(indice));
    std::string erro_imagem;
    std::optional<QuadroPNG> quadro;
    if (status == 0 && ordem.imagem) {
        quadro = RenderizaPaginaPDF(ordem.job, static_cast<int>(indice), ordem.dpi, erro_imagem);
        if (quadro && !Grava(kArquivoImagem, quadro->png)) erro_imagem = "Erro na gravacao da imagem";
    }

    j.Membro("ok").Bruto(status == 0 && erro_imagem.empty() ? "true" : "false");
    j.Membro("lados").Numero(lados_folha, 0);
    j.Membro("lado").Numero(lado, 0);
    j.Membro("papel").Bruto("[").Numero(largura).Bruto(",").Numero(altura).Bruto("]");
    j.Membro("origem").Bruto("[").Numero(p.xtop).Bruto(",");
    j.Numero(static_cast<double>(p.ytop) + p.altura_forma - altura).Bruto("]");
    j.Membro("utf8").Bruto(utf8 ? "true" : "false");
    j.Membro("erro");
    if (!erro_carga.empty()) {
        j.Bruto("{\"mensagem\":").Texto(SemFimDeLinha(erro_carga)).Bruto(",\"linha\":");
        j.Numero(linha_erro, 0).Bruto("}");
    } else if (!erro_imagem.empty()) {
        j.Bruto("{\"mensagem\":").Texto(erro_imagem).Bruto(",\"linha\":0}");
    } else {
        j.Bruto("null");
    }
    Avisos(j, ordem.pagina.primeira_pagina);
    Conferencia(j, std::move(avisos));
    Objetos(j, lados, lado);
    if (quadro) {
        j.Membro("largura").Numero(quadro->largura, 0);
        j.Membro("altura").Numero(quadro->altura, 0);
    }
    return Grava(kArquivoResultado, j.texto) ? 0 : 1;
}
