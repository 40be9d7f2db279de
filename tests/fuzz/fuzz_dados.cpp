// Report pre-pass and data file reader: the first file of the input is a report, the second a
// script of reads done on every page of every batch, one per line:
//   L n      LeDados(n): the next line of section n (0 or less: the next line of the page)
//   S item   SetaVar(last line read, item), item as in CAPTURA ("NAME:column:length")
//   V name   LeVar(name)
//   R        RepetePagina
// Each batch is copied into a data file, loaded as the data file of an empty format, and its
// pages are walked to the end. Reads stay within a data line, captured values are the columns
// asked for, and the page walk always moves forward.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "comum.h"
#include "driver/prepass.h"
#include "interp/dados.h"
#include "interp/interp.h"
#include "util/numeros.h"

namespace {

constexpr const char* kRelatorio = "relatorio.txt";
constexpr const char* kDados = "dados.txt";
constexpr const char* kFormatoVazio = "vazio.fmt";
// A report of a few kilobytes cannot hold more batches or pages than this.
constexpr int kMaxLotes = 100000;

// The variable name field of a record: names padded to it are the same variable.
std::string Chave(std::string_view nome) {
    std::string chave(nome);
    if (chave.size() < 20) chave.resize(20, ' ');
    return chave;
}

// What CAPTURA should find: the columns asked for, or nothing for a malformed item.
std::string Esperado(std::string_view linha, std::string_view item) {
    const std::size_t p1 = item.find(':');
    if (p1 == std::string_view::npos) return "";
    const std::string_view resto = item.substr(p1 + 1);
    const std::size_t p2 = resto.find(':');
    if (p2 == std::string_view::npos) return "";
    const int coluna = LeInteiro(resto.substr(0, p2));
    const int tamanho = LeInteiro(resto.substr(p2 + 1));
    if (coluna < 1 || tamanho < 0 || static_cast<std::size_t>(coluna - 1) >= linha.size())
        return "";
    return std::string(
        linha.substr(static_cast<std::size_t>(coluna - 1), static_cast<std::size_t>(tamanho)));
}

void ConfereLinha(const std::string& buf) {
    fuzz::Exige(buf.size() <= kLinhaDados, "a read gave more than one data line");
    fuzz::Exige(buf.find('\n') == std::string::npos, "a read kept its line end");
}

// Runs the script once on the current page.
void ExecutaRoteiro(std::string_view roteiro) {
    std::string ultima;
    std::map<std::string, std::string> capturadas;  // first value of each variable on the page
    while (!roteiro.empty()) {
        const std::size_t fim = roteiro.find('\n');
        const std::string_view comando = roteiro.substr(0, fim);
        roteiro = fim == std::string_view::npos ? std::string_view() : roteiro.substr(fim + 1);
        if (comando.empty()) continue;
        const std::string_view arg = comando.size() > 2 ? comando.substr(2) : std::string_view();
        std::string buf;
        switch (comando[0]) {
            case 'L':
                LeDados(LeInteiro(arg), buf);
                ConfereLinha(buf);
                ultima = buf;
                break;
            case 'S': {
                SetaVar(ultima, arg);
                const std::string chave = Chave(arg.substr(0, arg.find(':')));
                capturadas.emplace(chave, Esperado(ultima, arg));
                break;
            }
            case 'V': {
                LeVar(arg, buf);
                const auto achada = capturadas.find(Chave(arg));
                if (achada != capturadas.end())
                    fuzz::Exige(buf == achada->second, "MOSTRA would not show what was captured");
                break;
            }
            case 'R':
                fuzz::Exige(RepetePagina() == 0, "the page cannot be read again");
                capturadas.clear();
                break;
            default:
                break;
        }
    }
}

// Every page break of the data file stands at the start of a line: the reader would take the
// text before a break on the same line as part of the break and drop it.
void ConfereQuebras() {
    std::FILE* arquivo = std::fopen(kDados, "rb");
    fuzz::Exige(arquivo != nullptr, "cannot read the data file back");
    int anterior = '\n';
    for (int c; (c = std::getc(arquivo)) != EOF; anterior = c)
        if (c == '\f') fuzz::Exige(anterior == '\n', "a page break follows text on its line");
    std::fclose(arquivo);
}

void PercorrePaginas(std::string_view roteiro) {
    int paginas = 0;
    long anterior = -1;
    for (int r = PrimeiraPagina(); r == 0; r = ProximaPagina()) {
        fuzz::Exige(++paginas <= kMaxLotes, "the page walk does not end");
        fuzz::Exige(pag > anterior, "the next page does not lie after the current one");
        fuzz::Exige(pag <= tamarq, "a page starts past the end of the data file");
        anterior = pag;
        ExecutaRoteiro(roteiro);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::Diretorio();
    fuzz::Inicial();
    saida = fuzz::Descarte();
    fuzz::Grava(kFormatoVazio, "");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const auto [relatorio, roteiro] =
        fuzz::Divide(std::string_view(reinterpret_cast<const char*>(dados), tamanho));
    fuzz::Grava(kRelatorio, relatorio);
    fuzz::Inicial().Restaura();
    std::FILE* entrada = std::fopen(kRelatorio, "rb");
    fuzz::Exige(entrada != nullptr, "cannot read the report back");
    EstadoExecucao estado;
    for (int lotes = 1;; ++lotes) {
        fuzz::Exige(lotes <= kMaxLotes, "the batch loop does not end");
        const long antes = std::ftell(entrada);
        std::FILE* arquivo = std::fopen(kDados, "wb");
        fuzz::Exige(arquivo != nullptr, "cannot write the data file");
        const Lote lote = CopiaLote(entrada, arquivo, estado);
        std::fclose(arquivo);
        ConfereQuebras();
        fuzz::Exige(lote.largura >= 0 && lote.largura <= static_cast<int>(kLeituraRelatorio),
                    "the widest line is wider than one read");
        fuzz::Exige(std::ftell(entrada) > antes || lote.esgotada, "a batch read nothing");
        std::string msg;
        fuzz::Exige(InicializaInterp(kFormatoVazio, kDados, msg) == 0,
                    "the data file cannot be loaded");
        PercorrePaginas(roteiro);
        FinalizaInterp();
        if (!lote.cabecalho || lote.esgotada) break;
    }
    std::fclose(entrada);
    return 0;
}
