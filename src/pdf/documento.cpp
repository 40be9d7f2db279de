// The documents the pages go to: the whole run in one document written to the job's output, or,
// with a folder and a variable, one document per run of sheets of the same customer, each to the
// file clientes.cpp keeps for it. Each sheet's
// sides are drawn into content streams of their own and become pages when the sheet ends, once
// its customer is known; a document keeps only what its end needs (each object's offset, its
// pages, the glyphs, images and forms it holds) and is finished when its last sheet is in: a
// PDF ends with its page tree and cross-reference table, so a document that spans the run is
// finished when the run ends.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "device/dispositivo.h"
#include "pdf/clientes.h"
#include "pdf/compressao.h"
#include "pdf/conteudo.h"
#include "pdf/escritor.h"
#include "pdf/fontes.h"
#include "pdf/imagens.h"
#include "pdf/pdf.h"

namespace {

// The creator and producer every document names.
constexpr const char* kCriador = "morvpdf v2.2.2";

// The document's creation date is the time of the run; SOURCE_DATE_EPOCH (seconds since 1970)
// names another, so that the same run makes the same bytes, as reproducible builds ask.
std::string DataDeCriacao() {
    std::time_t t = std::time(nullptr);
    if (const char* epoca = std::getenv("SOURCE_DATE_EPOCH"); epoca != nullptr && *epoca != '\0') {
        char* fim = nullptr;
        const long long segundos = std::strtoll(epoca, &fim, 10);
        if (*fim == '\0' && segundos >= 0) t = static_cast<std::time_t>(segundos);
    }
    std::tm tm{};
    char data[sizeof "(D:YYYYMMDDhhmmssZ)" + 8];
    if (gmtime_r(&t, &tm) == nullptr ||
        std::strftime(data, sizeof data, "(D:%Y%m%d%H%M%SZ)", &tm) == 0)
        return {};
    return data;
}

// A side drawn and not yet placed in a document: its stream and its page size.
struct LadoDesenhado {
    Conteudo conteudo;
    double largura = 0, altura = 0;
};

// A document being written.
class Documento {
  public:
    Documento(std::FILE* arquivo, std::string titulo)
        : escritor_(arquivo), titulo_(std::move(titulo)) {
        recursos_ = escritor_.Reserva();
    }

    // The side becomes the document's next page.
    void Coloca(const LadoDesenhado& l) {
        Incorpora(l.conteudo);
        Comprime(l.conteudo.Dados(), comprimido_, Compressao::rapida);
        const int conteudo = escritor_.Reserva();
        escritor_.Fluxo(conteudo, kFiltroCompressao, comprimido_);
        escritor_.Pagina("/MediaBox[0 0 " + std::to_string(static_cast<long long>(l.largura)) +
                         " " + std::to_string(static_cast<long long>(l.altura)) + "]/Contents " +
                         Referencia(conteudo));
    }

    // Writes what only the end can write: the fonts' subsets, the resources every page shares,
    // the document's information and the page tree's root. False when any write failed.
    bool Fecha() {
        std::array<int, kNumFontes> fontes{};
        EscreveFontes(escritor_, glifos_, fontes);
        EscreveRecursos(fontes);
        std::string info = "<<";
        if (!titulo_.empty()) info += "/Title" + CadeiaDeTexto(titulo_);
        info += std::string("/Creator(") + kCriador + ")/Producer(" + kCriador + ")";
        if (const std::string data = DataDeCriacao(); !data.empty()) info += "/CreationDate" + data;
        return escritor_.Encerra("/Resources " + Referencia(recursos_), info + ">>");
    }

  private:
    // What the stream shows goes into the document before the page that shows it: the forms
    // and images not yet in it, and the glyphs for its fonts.
    void Incorpora(const Conteudo& c) {
        glifos_.Junta(c.glifos);
        for (const int imagem : c.imagens)
            if (imagens_.count(imagem) == 0) imagens_[imagem] = EscreveImagem(escritor_, imagem);
        for (const int numero : c.formas) {
            if (formas_.count(numero) != 0) continue;
            const FormaPDF forma = FormaDeNumero(numero);
            Incorpora(*forma.conteudo);
            const int objeto = escritor_.Reserva();
            escritor_.Fluxo(objeto,
                            "/Type/XObject/Subtype/Form/BBox[0 0 " +
                                std::to_string(static_cast<long long>(forma.largura)) + " " +
                                std::to_string(static_cast<long long>(forma.altura)) +
                                "]/Resources " + Referencia(recursos_) +
                                std::string(kFiltroCompressao),
                            forma.comprimido);
            formas_[numero] = objeto;
        }
    }

    void EscreveRecursos(const std::array<int, kNumFontes>& fontes) {
        std::string f, x;
        for (std::size_t i = 0; i < kNumFontes; ++i)
            if (fontes[i] != 0)
                Recurso(f, std::string("F").append(std::to_string(i + 1)), fontes[i]);
        for (const auto& [numero, objeto] : imagens_)
            Recurso(x, NomeImagem(numero), objeto);
        for (const auto& [numero, objeto] : formas_)
            Recurso(x, NomeForma(numero), objeto);
        std::string r = "<<";
        if (!f.empty()) r.append("/Font<<").append(f).append(">>");
        if (!x.empty()) r.append("/XObject<<").append(x).append(">>");
        escritor_.Objeto(recursos_, r + ">>");
    }

    static void Recurso(std::string& lista, const std::string& nome, int objeto) {
        lista.append("/").append(nome).append(" ").append(Referencia(objeto));
    }

    Escritor escritor_;
    std::string titulo_;
    int recursos_ = 0;
    GlifosUsados glifos_;
    std::map<int, int> imagens_, formas_;  // run's number to object number
    std::string comprimido_;
};

// ---- The state of the run.
// The run's one document (no folder): written to the job's output.
std::unique_ptr<Documento> documento;
// The sheet's sides as they are drawn (a deque keeps each where it is), how many of them the
// sheet has so far, and the one being drawn; the stream that takes the drawings in its place
// for a while.
std::deque<LadoDesenhado> lados;
std::size_t lados_da_folha = 0;
LadoDesenhado* lado = nullptr;
Conteudo* desviado = nullptr;
// With a folder: the document of the customer whose file is being written.
std::unique_ptr<Documento> documento_cliente;
// Sheets handed over in this run, counted from 1.
long folhas = 0;
// The run cannot be written: nothing more is written, and the run fails.
bool falhou = false;

bool PorCliente() {
    return !opcoes_pdf.pasta.empty();
}

bool Falha(const char* mensagem, const std::string& nome) {
    std::fprintf(stderr, mensagem, nome.c_str());
    falhou = true;
    return false;
}

// The customer's document is finished and handed back: its file takes its name or is removed
// (a write that failed is named, with its reason, by whoever keeps the file).
void TerminaCliente(bool completo) {
    if (documento_cliente && completo) documento_cliente->Fecha();
    documento_cliente.reset();
    FechaCliente(completo);
}

// The sheet's sides, as drawn, become pages of the document.
void ColocaFolha(Documento& d) {
    for (std::size_t i = 0; i < lados_da_folha; ++i)
        d.Coloca(lados[i]);
}

void EsqueceExecucao() {
    lado = nullptr;
    lados_da_folha = 0;
    desviado = nullptr;
    EsqueceImagens();
    ReiniciaFormas();
    EsqueceCaracteres();
    folhas = 0;
    falhou = false;
}

}  // namespace

void FalhaExecucao() {
    falhou = true;
}

Conteudo* Lado() {
    if (desviado != nullptr) return desviado;
    return lado != nullptr ? &lado->conteudo : nullptr;
}

void DesviaLado(Conteudo* conteudo) {
    desviado = conteudo;
}

void ComecaLado() {
    lado = nullptr;
    if (falhou) return;
    if (lados_da_folha == lados.size()) lados.emplace_back();
    lado = &lados[lados_da_folha++];
    const PaginaPontos p = PaginaEfetiva();
    lado->largura = p.largura;
    lado->altura = p.altura;
    lado->conteudo.Comeca(true);
    if (opcoes_pdf.grade) DesenhaGrade(lado->conteudo);
}

void TerminaLado() {
    lado = nullptr;
}

void TerminaFolha(std::string_view valor) {
    TerminaLado();
    // A captured column keeps the blanks that fill it out.
    const std::size_t inicio = valor.find_first_not_of(' ');
    valor = inicio == std::string_view::npos
                ? std::string_view()
                : valor.substr(inicio, valor.find_last_not_of(' ') - inicio + 1);
    ++folhas;
    if (falhou) {
        // Nothing more of the run is written.
    } else if (PorCliente()) {
        if (!MesmoCliente(valor)) {
            TerminaCliente(true);
            const DocumentoCliente destino = AbreCliente(valor, folhas);
            if (destino.fluxo != nullptr)
                documento_cliente = std::make_unique<Documento>(destino.fluxo, destino.titulo);
        }
        ContaFolha(folhas, static_cast<int>(lados_da_folha));
        if (documento_cliente) ColocaFolha(*documento_cliente);
    } else {
        if (!documento) documento = std::make_unique<Documento>(saida, opcoes_pdf.titulo);
        ColocaFolha(*documento);
    }
    lados_da_folha = 0;
}

bool EncerraExecucao(bool completa) {
    bool fechado = true;
    if (PorCliente()) {
        TerminaCliente(completa);
        fechado = EncerraClientes();
    }
    if (documento) {
        // A write that failed is named by the driver, which checks the output.
        const bool ok = documento->Fecha() || std::ferror(saida) != 0;
        documento.reset();
        if (!ok) Falha("Erro na gravacao do arquivo [%s]\n", opcoes_pdf.nome_saida);
    }
    const bool ok = fechado && !falhou;
    EsqueceExecucao();
    return ok;
}

void ReiniciaDispositivoPDF() {
    documento_cliente.reset();
    ReiniciaClientes();
    documento.reset();
    EsqueceExecucao();
}
