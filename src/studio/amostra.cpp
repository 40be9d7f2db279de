#include "studio/amostra.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "codificacao/codificacao.h"
#include "driver/prepass.h"
#include "interp/dados.h"
#include "interp/interp.h"

namespace {

struct FechaArquivo {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using Arquivo = std::unique_ptr<std::FILE, FechaArquivo>;

// A section's marker line: ".secao" and its number.
constexpr std::string_view kMarcador = ".secao ";

// The section a marker line opens, or 0.
int SecaoDoMarcador(const std::string& linha) {
    if (linha.compare(0, kMarcador.size(), kMarcador) != 0) return 0;
    int n = 0;
    std::size_t i = kMarcador.size();
    for (; i < linha.size() && linha[i] >= '0' && linha[i] <= '9' && n <= kSecoes; ++i)
        n = n * 10 + (linha[i] - '0');
    return i > kMarcador.size() && n >= 1 && n <= kSecoes ? n : 0;
}

// Where each page of the copy begins, as the reader moves from page to page.
std::vector<long> InicioDasPaginas(std::FILE* copia, long tamanho) {
    dad = copia;
    tamarq = tamanho;
    fimarq = fimpag = 0;
    std::vector<long> inicios;
    if (PrimeiraPagina() == 0) inicios.push_back(pag);
    while (ProximaPagina() == 0)
        inicios.push_back(pag);
    dad = nullptr;
    return inicios;
}

bool Grava(const std::string& nome, const std::string& bytes) {
    Arquivo f(std::fopen(nome.c_str(), "wb"));
    return f && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size() &&
           std::fflush(f.get()) == 0;
}

}  // namespace

bool Amostra::Carrega(const std::string& relatorio, const std::string& pasta, std::string& erro) {
    Arquivo proprio;
    std::FILE* entrada = stdin;
    if (relatorio != "-") {
        proprio.reset(std::fopen(relatorio.c_str(), "rb"));
        entrada = proprio.get();
    }
    if (entrada == nullptr) {
        erro = "Erro na abertura do arquivo [" + relatorio + "]";
        return false;
    }
    EstadoExecucao estado;
    for (;;) {
        Lote lote;
        lote.copia = pasta + "/lote" + std::to_string(lotes_.size() + 1);
        Arquivo copia(std::fopen(lote.copia.c_str(), "w+b"));
        if (!copia) {
            erro = "Erro na criacao do arquivo temporario [" + lote.copia + "]";
            return false;
        }
        const ::Lote dados = CopiaLote(entrada, copia.get(), estado);
        lote.marcaini = marcaini;
        lote.marcafim = marcafim;
        if (std::fflush(copia.get()) != 0 || std::ferror(copia.get())) {
            erro = "Erro na criacao do arquivo temporario [" + lote.copia + "]";
            return false;
        }
        lote.tamanho = std::ftell(copia.get());
        std::rewind(copia.get());
        lote.inicios = InicioDasPaginas(copia.get(), lote.tamanho);
        for (std::size_t i = 0; i < lote.inicios.size(); ++i)
            paginas_.push_back({static_cast<int>(lotes_.size()), static_cast<int>(i)});
        lotes_.push_back(std::move(lote));
        if (!dados.cabecalho || dados.esgotada) break;
    }
    return true;
}

std::string Amostra::Bytes(int lote, int primeira, int ultima) const {
    const Lote& l = lotes_[static_cast<std::size_t>(lote)];
    const long inicio = l.inicios[static_cast<std::size_t>(primeira)];
    const auto seguinte = static_cast<std::size_t>(ultima) + 1;
    const long fim = seguinte < l.inicios.size() ? l.inicios[seguinte] : l.tamanho;
    std::string bytes(static_cast<std::size_t>(fim - inicio), '\0');
    Arquivo f(std::fopen(l.copia.c_str(), "rb"));
    if (!f || std::fseek(f.get(), inicio, SEEK_SET) != 0) return {};
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f.get()));
    return bytes;
}

std::vector<LinhaRelatorio> Amostra::Linhas(int pagina, bool utf8) const {
    std::vector<LinhaRelatorio> linhas;
    if (pagina < 1 || pagina > Paginas()) return linhas;
    const Local& local = paginas_[static_cast<std::size_t>(pagina) - 1];
    std::string bytes = Bytes(local.lote, local.indice, local.indice);
    const std::lock_guard<std::mutex> vez(leitor_);
    Arquivo memoria(fmemopen(bytes.data(), bytes.size(), "rb"));
    if (!memoria) return linhas;
    const Codificacao anterior = codificacao;
    codificacao = utf8 ? Codificacao::utf8 : Codificacao::nenhuma;
    dad = memoria.get();
    tamarq = static_cast<long>(bytes.size());
    PrimeiraPagina();
    int secao = 0;
    std::string texto;
    while (readline(texto) == 0 && !fimpag) {
        LinhaRelatorio l;
        if (const int aberta = SecaoDoMarcador(texto); aberta != 0) {
            secao = aberta;
            l.marcador = true;
        } else if (!texto.empty() && texto[0] == '.') {
            secao = 0;  // a line beginning with a full stop ends the section
        }
        l.secao = secao;
        l.texto = std::move(texto);
        linhas.push_back(std::move(l));
    }
    dad = nullptr;
    codificacao = anterior;
    return linhas;
}

PaginaSozinha Amostra::Prepara(int pagina, const std::string& pasta) const {
    PaginaSozinha p;
    const Local& local = paginas_[static_cast<std::size_t>(pagina) - 1];
    const auto ultima_do = [this](int lote) {
        return static_cast<int>(lotes_[static_cast<std::size_t>(lote)].inicios.size()) - 1;
    };
    // The printed pieces: the page before (in this batch, or the last of the one before), the
    // page, and the page after it in its batch, which the inserter marks of the page read ahead.
    struct Peca {
        int lote, primeira, ultima;
        bool imprime;
    };
    std::vector<Peca> pecas;
    const int depois = std::min(local.indice + 1, ultima_do(local.lote));
    if (local.indice == 0 && local.lote > 0)
        pecas.push_back({local.lote - 1, ultima_do(local.lote - 1), ultima_do(local.lote - 1), true});
    pecas.push_back({local.lote, std::max(local.indice - 1, 0), depois, true});
    // The last page of a batch reads ahead the next batch's first page.
    const bool ultima = local.indice == ultima_do(local.lote);
    if (ultima && local.lote + 1 < static_cast<int>(lotes_.size()))
        pecas.push_back({local.lote + 1, 0, 0, false});
    p.folha = pagina > 1 ? 1 : 0;
    p.primeira_pagina = pagina - p.folha;
    std::vector<TrechoExecucao> trechos;
    for (const Peca& peca : pecas) {
        const Lote& l = lotes_[static_cast<std::size_t>(peca.lote)];
        TrechoExecucao t;
        t.dados = pasta + "/dados" + std::to_string(trechos.size() + 1);
        t.marcaini = l.marcaini;
        t.marcafim = l.marcafim;
        t.imprime = peca.imprime;
        t.paginas_antes = p.primeira_pagina - 1;
        const std::string bytes = Bytes(peca.lote, peca.primeira, peca.ultima);
        Grava(t.dados, bytes);
        trechos.push_back(std::move(t));
    }
    // The batches before are loaded without printing, each with its own range.
    for (int lote = 0; lote < pecas.front().lote; ++lote) {
        const Lote& l = lotes_[static_cast<std::size_t>(lote)];
        p.trechos.push_back({trechos.front().dados, l.marcaini, l.marcafim, false, 0});
    }
    p.trechos.insert(p.trechos.end(), trechos.begin(), trechos.end());
    return p;
}
