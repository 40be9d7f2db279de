#include "pdf/clientes.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>

#include "codificacao/codificacao.h"
#include "interp/dados.h"
#include "pdf/indice.h"
#include "pdf/pdf.h"
#include "util/rascunho.h"

namespace {

// What the index says of a file that came out, and of one whose sheets the run never finished.
constexpr const char* kSituacaoOk = "ok";
constexpr const char* kSituacaoInterrompida = "interrompido";

// The customer whose file is being written.
struct Cliente {
    std::string valor;  // as captured, less its blanks at both ends
    LinhaIndice linha;
    Rascunho arquivo;
    std::string motivo;  // why the file will not be kept; empty while it may be
};

std::unique_ptr<Cliente> cliente;
// Final names given in this run: a customer met again later gets a name of its own.
std::set<std::string> nomes_usados;
Indice indice;
bool indice_aberto = false;  // the index was started (or could not be) in this run
bool falhou = false;         // a customer's file, or the index, did not come out

// The first name of the value not yet given in this run: the name, then name-2, name-3...
std::string NomeLivre(const std::string& base) {
    std::string nome = base;
    for (long n = 2; nomes_usados.count(nome) != 0; ++n)
        nome = base + "-" + std::to_string(n);
    nomes_usados.insert(nome);
    return nome;
}

void Relata(const char* mensagem, const Cliente& c) {
    std::fprintf(stderr, mensagem, c.arquivo.final().c_str(), c.motivo.c_str());
}

// At most as many sheets as the batch's data file has pages: one more than its page breaks,
// each a form feed. Read beside the data file's reader, which it leaves where it is.
long FolhasNoMaximo() {
    constexpr std::size_t kBloco = 64 * 1024;
    long folhas = 1;
    if (dad == nullptr) return folhas;
    char bloco[kBloco];
    for (off_t pos = 0;;) {
        const ssize_t n = pread(fileno(dad), bloco, sizeof bloco, pos);
        if (n <= 0) break;
        folhas += std::count(bloco, bloco + n, '\f');
        pos += n;
    }
    return folhas;
}

}  // namespace

std::string ValorUTF8(std::string_view valor) {
    std::string texto(valor);
    if (codificacao != Codificacao::nenhuma) ConverteTexto(texto);
    return TextoUTF8(texto);
}

bool MesmoCliente(std::string_view valor) {
    return cliente && cliente->valor == valor;
}

void ComecaLoteClientes() {
    if (!indice_aberto) {
        indice_aberto = true;
        if (!indice.Abre(opcoes_pdf.pasta)) falhou = true;
    }
    indice.ReservaEspaco(FolhasNoMaximo());
}

DocumentoCliente AbreCliente(std::string_view valor, long folha) {
    auto c = std::make_unique<Cliente>();
    c->valor = valor;
    c->linha.valor = ValorUTF8(valor);
    const std::string nome = NomeLivre(NomeSeguro(c->linha.valor, folha));
    c->linha.arquivo = nome + ".pdf";
    c->linha.primeira = c->linha.ultima = folha;
    DocumentoCliente documento;
    if (c->arquivo.Abre(opcoes_pdf.pasta + "/" + c->linha.arquivo, PermissoesNovoArquivo())) {
        documento.fluxo = c->arquivo.fluxo();
        documento.titulo = c->linha.valor.empty() ? nome : c->linha.valor;
    } else {
        c->motivo = std::strerror(c->arquivo.erro());
        Relata("Erro na abertura do arquivo [%s] - %s\n", *c);
    }
    cliente = std::move(c);
    return documento;
}

void ContaFolha(long folha, int paginas) {
    if (!cliente) return;
    cliente->linha.ultima = folha;
    ++cliente->linha.folhas;
    cliente->linha.paginas += paginas;
}

void RecusaCliente(const std::string& motivo) {
    if (cliente && cliente->motivo.empty()) cliente->motivo = motivo;
}

void FechaCliente(bool completo) {
    if (!cliente) return;
    const std::unique_ptr<Cliente> c = std::move(cliente);
    LinhaIndice& linha = c->linha;
    const bool feito = c->arquivo.aberto();  // its draft was made
    if (!completo) {
        c->arquivo.Descarta();
        linha.situacao = kSituacaoInterrompida;
    } else if (feito && c->motivo.empty() && c->arquivo.Conclui()) {
        linha.bytes = c->arquivo.bytes();
        linha.situacao = kSituacaoOk;
    } else {
        // A write that failed is the reason, whatever the document's writer made of it, and is
        // named here; a file never made, or refused for a sheet that could not be drawn, was
        // named when that happened.
        if (feito && c->arquivo.erro() != 0) {
            c->motivo = std::strerror(c->arquivo.erro());
            Relata("Erro na gravacao do arquivo [%s] - %s\n", *c);
        }
        c->arquivo.Descarta();
        linha.situacao = c->motivo;
        falhou = true;
    }
    indice.Acrescenta(linha);
}

bool EncerraClientes() {
    const bool indice_gravado = indice.Conclui();
    const bool ok = indice_gravado && !falhou;
    nomes_usados.clear();
    indice_aberto = false;
    falhou = false;
    return ok;
}

void ReiniciaClientes() {
    cliente.reset();
    indice.Descarta();
    nomes_usados.clear();
    indice_aberto = false;
    falhou = false;
}
