// The documents the pages go to: the whole run in one document written to the job's output, or,
// with a folder and a variable, one document per run of sheets of the same customer, each to the
// file clientes.cpp keeps for it. A PDF ends with its page tree and cross-reference table, so a
// document cannot be closed batch after batch as the other programs' jobs are: it spans the run
// and is finished when the run ends.
#include <cairo-pdf.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "device/dispositivo.h"
#include "pdf/clientes.h"
#include "pdf/pdf.h"

namespace {

// The creator every document names.
constexpr const char* kCriador = "morvpdf v2.2.2";

struct FechaSuperficie {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct FechaContexto {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using Superficie = std::unique_ptr<cairo_surface_t, FechaSuperficie>;
using Contexto = std::unique_ptr<cairo_t, FechaContexto>;

cairo_status_t EscreveArquivo(void* destino, const unsigned char* dados, unsigned int tamanho) {
    std::FILE* f = static_cast<std::FILE*>(destino);
    return std::fwrite(dados, 1, tamanho, f) == tamanho ? CAIRO_STATUS_SUCCESS
                                                        : CAIRO_STATUS_WRITE_ERROR;
}

// The document's creation date is the time of the run; SOURCE_DATE_EPOCH (seconds since 1970)
// names another, so that the same run makes the same bytes, as reproducible builds ask.
void DataDeCriacao(cairo_surface_t* s) {
    const char* epoca = std::getenv("SOURCE_DATE_EPOCH");
    if (epoca == nullptr || *epoca == '\0') return;
    char* fim = nullptr;
    const long long segundos = std::strtoll(epoca, &fim, 10);
    if (*fim != '\0' || segundos < 0) return;
    const std::time_t t = static_cast<std::time_t>(segundos);
    std::tm tm{};
    if (gmtime_r(&t, &tm) == nullptr) return;
    char data[sizeof "YYYY-MM-DDThh:mm:ssZ" + 8];
    if (std::strftime(data, sizeof data, "%Y-%m-%dT%H:%M:%SZ", &tm) == 0) return;
    cairo_pdf_surface_set_metadata(s, CAIRO_PDF_METADATA_CREATE_DATE, data);
}

Superficie NovoDocumento(std::FILE* destino, const std::string& titulo) {
    const PaginaPontos p = PaginaEfetiva();
    Superficie s(cairo_pdf_surface_create_for_stream(EscreveArquivo, destino, p.largura, p.altura));
    if (!titulo.empty())
        cairo_pdf_surface_set_metadata(s.get(), CAIRO_PDF_METADATA_TITLE, titulo.c_str());
    cairo_pdf_surface_set_metadata(s.get(), CAIRO_PDF_METADATA_CREATOR, kCriador);
    DataDeCriacao(s.get());
    return s;
}

// A side drawn but not yet placed in a document (one file per customer): its drawing and size.
struct LadoGravado {
    Superficie desenho;
    double largura, altura;
};

// ---- The state of the run.
// The run's one document (no folder): written to the job's output.
Superficie documento;
// The side being drawn, and the drawing that takes its operations in its place for a while.
Contexto lado;
cairo_t* desviado = nullptr;
// With a folder: the sides of the sheet being drawn, and the customer's document being written.
std::vector<LadoGravado> folha;
Superficie documento_cliente;
// Sheets handed over in this run, counted from 1.
long folhas = 0;
// The sheet being drawn lacks something the drawing library refused.
bool folha_com_erro = false;
// The run's document could not be written, or a sheet drawn: the run fails.
bool falhou = false;

bool PorCliente() {
    return !opcoes_pdf.pasta.empty();
}

bool Falha(const char* mensagem, const std::string& nome) {
    std::fprintf(stderr, mensagem, nome.c_str());
    falhou = true;
    return false;
}

// The side's user space: points from the bottom left corner, y upwards, as the coordinate rule
// gives them.
void PreparaLado(cairo_t* cr, double altura) {
    cairo_translate(cr, 0, altura);
    cairo_scale(cr, 1, -1);
    if (opcoes_pdf.grade) DesenhaGrade(cr);
}

// The customer's document is finished and handed back: its file takes its name or is removed.
void TerminaCliente(bool completo) {
    if (documento_cliente) {
        cairo_surface_finish(documento_cliente.get());
        const cairo_status_t estado = cairo_surface_status(documento_cliente.get());
        documento_cliente.reset();
        if (estado != CAIRO_STATUS_SUCCESS) RecusaCliente(cairo_status_to_string(estado));
    }
    FechaCliente(completo);
}

// The sheet's sides, as drawn, become pages of the customer's document.
void ColocaFolha() {
    cairo_surface_t* destino = documento_cliente.get();
    for (const LadoGravado& l : folha) {
        cairo_pdf_surface_set_size(destino, l.largura, l.altura);
        Contexto cr(cairo_create(destino));
        cairo_set_source_surface(cr.get(), l.desenho.get(), 0, 0);
        cairo_paint(cr.get());
        cairo_show_page(cr.get());
    }
}

}  // namespace

cairo_t* Lado() {
    return desviado != nullptr ? desviado : lado.get();
}

void DesviaLado(cairo_t* cr) {
    desviado = cr;
}

void ComecaLado() {
    const PaginaPontos p = PaginaEfetiva();
    if (PorCliente()) {
        const cairo_rectangle_t area{0, 0, p.largura, p.altura};
        folha.push_back(
            {Superficie(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &area)),
             p.largura, p.altura});
        lado.reset(cairo_create(folha.back().desenho.get()));
    } else {
        if (!documento) documento = NovoDocumento(saida, opcoes_pdf.titulo);
        cairo_pdf_surface_set_size(documento.get(), p.largura, p.altura);
        lado.reset(cairo_create(documento.get()));
    }
    PreparaLado(lado.get(), p.altura);
}

void TerminaLado() {
    if (!lado) return;
    // A drawing the library refused leaves the page short of it: never a silent success. A
    // document that could not be written is named by whoever writes it, with the reason.
    const cairo_status_t estado = cairo_status(lado.get());
    if (estado != CAIRO_STATUS_SUCCESS && estado != CAIRO_STATUS_WRITE_ERROR) {
        if (!falhou) std::fprintf(stderr, "Erro no desenho da folha [%ld]\n", folhas + 1);
        falhou = true;
        folha_com_erro = true;
    }
    if (!PorCliente()) cairo_show_page(lado.get());
    lado.reset();
}

void TerminaFolha(std::string_view valor) {
    TerminaLado();
    // A captured column keeps the blanks that fill it out.
    const std::size_t inicio = valor.find_first_not_of(' ');
    valor = inicio == std::string_view::npos
                ? std::string_view()
                : valor.substr(inicio, valor.find_last_not_of(' ') - inicio + 1);
    ++folhas;
    if (PorCliente()) {
        if (!MesmoCliente(valor)) {
            TerminaCliente(true);
            const DocumentoCliente destino = AbreCliente(valor, folhas);
            if (destino.fluxo != nullptr)
                documento_cliente = NovoDocumento(destino.fluxo, destino.titulo);
        }
        ContaFolha(folhas, static_cast<int>(folha.size()));
        // A customer whose sheet lacks a drawing gets no file: it would not be what was printed.
        if (folha_com_erro)
            RecusaCliente("Erro no desenho da folha [" + std::to_string(folhas) + "]");
        if (documento_cliente) ColocaFolha();
    }
    folha.clear();
    folha_com_erro = false;
}

bool EncerraExecucao(bool completa) {
    lado.reset();
    folha.clear();
    bool fechado = true;
    if (PorCliente()) {
        TerminaCliente(completa);
        fechado = EncerraClientes();
    }
    if (documento) {
        cairo_surface_finish(documento.get());
        // A write that failed is named by the driver, which checks the output.
        const bool ok = cairo_surface_status(documento.get()) == CAIRO_STATUS_SUCCESS ||
                        std::ferror(saida) != 0;
        documento.reset();
        if (!ok) Falha("Erro na gravacao do arquivo [%s]\n", opcoes_pdf.nome_saida);
    }
    const bool ok = fechado && !falhou;
    EsqueceImagens();
    EsqueceFormas();
    folhas = 0;
    folha_com_erro = false;
    falhou = false;
    return ok;
}

void ReiniciaDispositivoPDF() {
    lado.reset();
    folha.clear();
    documento_cliente.reset();
    ReiniciaClientes();
    documento.reset();
    desviado = nullptr;
    EsqueceImagens();
    EsqueceFormas();
    folhas = 0;
    folha_com_erro = false;
    falhou = false;
}
