#include "driver/prepass.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "codificacao/utf8.h"
#include "interp/interp.h"
#include "util/numeros.h"
#include "util/sinais.h"

namespace {

// A line beginning with this is an explicit page skip; it is never copied.
constexpr std::string_view kSaltaPagina = "SALTA_PAGINA";
// A first line holding this is a page heading: it steers the format choice.
constexpr std::string_view kMarcaPagina = "PAG. ";
// A batch header reads "APAbbQTDnn": block number in columns 4-5, block count in 9-10.
constexpr std::string_view kCabecalhoApa = "APA";
constexpr std::string_view kCabecalhoQtd = "QTD";
// Size of the write buffer of the data file.
constexpr std::size_t kBufferDados = 64 * 1024;
// A page break on a line of its own, as the data file reader expects it.
constexpr std::string_view kQuebra = "\f\n";

// Any byte but NUL: what fgets leaves untouched past its terminator shows where that is.
constexpr char kSentinela = '\n';

// Reads the next piece of a line, line end included, at most kLeituraRelatorio bytes, into
// `pedaco` (which holds kLeituraRelatorio + 1). fgets copies whole runs out of the stream's
// buffer instead of one call per byte, and leaves the stream just past the piece, so the next
// batch and the end-of-input peek see the same bytes as ever. A report may hold NUL bytes, so
// the piece's length is found from the terminator fgets writes: the last NUL in a buffer
// filled with a non-NUL byte beforehand. Read errors count as the end of the input. An empty
// view when nothing was left to read.
std::string_view LePedaco(std::FILE* entrada, char* pedaco) {
    constexpr std::size_t kTamanho = kLeituraRelatorio + 1;
    std::memset(pedaco, kSentinela, kTamanho);
    if (std::fgets(pedaco, static_cast<int>(kTamanho), entrada) == nullptr) return {};
    const void* fim = memrchr(pedaco, '\0', kTamanho);
    return {pedaco, static_cast<std::size_t>(static_cast<const char*>(fim) - pedaco)};
}

// Anything but blanks, carriage returns, line feeds and form feeds.
bool TemConteudo(std::string_view texto) {
    return texto.find_first_not_of(" \r\n\f") != std::string_view::npos;
}

bool EhSaltaPagina(std::string_view linha) {
    return linha.substr(0, kSaltaPagina.size()) == kSaltaPagina;
}

bool EhCabecalho(std::string_view linha) {
    return linha.size() >= 8 && linha.substr(0, 3) == kCabecalhoApa &&
           linha.substr(5, 3) == kCabecalhoQtd;
}

// The range of MARCA blocks a header names; block number 0 means no range at all.
void LeFaixa(std::string_view cabecalho, int& ini, int& fim) {
    int bloco = LeInteiro(cabecalho.substr(3, 2));
    int quantidade = LeInteiro(cabecalho.substr(8, 2));
    // Two columns each: both stay within -9..99, so the sum cannot overflow.
    ini = bloco;
    fim = bloco == 0 ? 0 : bloco + quantidade - 1;
}

// What follows a form feed on its line: the feed itself goes, and so do one carriage return
// right after it and one line feed right after that, which only ended the break.
std::string_view RestoAposSalto(std::string_view linha, std::size_t salto) {
    std::string_view resto = linha.substr(salto + 1);
    if (!resto.empty() && resto.front() == '\r') resto.remove_prefix(1);
    if (!resto.empty() && resto.front() == '\n') resto.remove_prefix(1);
    return resto;
}

// The width of one line of the report, which may come in several pieces and be cut by form
// feeds: each fragment that reaches the measure counts, in bytes as it always did, or, when the
// whole line is well-formed UTF-8 holding a multi-byte character, in characters (a character
// cut by a piece boundary counts in the piece where it begins). The pre-pass runs before any
// format is read, so the line is judged by its bytes alone: ASCII, Roman-8 and Latin-1 lines
// keep their byte count.
class LarguraLinha {
  public:
    // Every byte of the line, piece by piece, whether measured or not.
    void Observa(std::string_view pedaco) {
        if (!bem_formada_ || (validador_.Completo() && SoAscii(pedaco))) return;
        multibyte_ = true;
        for (const char c : pedaco) {
            if (!validador_.Passo(static_cast<unsigned char>(c))) {
                bem_formada_ = false;
                return;
            }
        }
    }

    // Characters are counted only while the line may still be judged UTF-8: the common ASCII
    // line costs no more than its byte count.
    void Mede(std::string_view trecho) {
        bytes_ = std::max(bytes_, trecho.size());
        const bool conta = multibyte_ && bem_formada_;
        caracteres_ = std::max(caracteres_, trecho.size() - (conta ? Continuacoes(trecho) : 0));
    }

    // The line has ended: its width, and a fresh start for the next line.
    std::size_t Encerra() {
        const bool utf8 = bem_formada_ && multibyte_ && validador_.Completo();
        const std::size_t largura = utf8 ? caracteres_ : bytes_;
        *this = LarguraLinha();
        return largura;
    }

  private:
    ValidadorUTF8 validador_;
    bool bem_formada_ = true;
    bool multibyte_ = false;
    std::size_t bytes_ = 0;
    std::size_t caracteres_ = 0;
};

class Copiador {
  public:
    Copiador(std::FILE* dados, EstadoExecucao& estado, Lote& lote)
        : dados_(dados), estado_(estado), lote_(lote) {}

    // When lines may count characters: every piece of the line before it is handled, and the
    // line's end.
    void Observa(std::string_view pedaco) { largura_.Observa(pedaco); }
    void EncerraLinha() {
        lote_.largura = std::max(lote_.largura, static_cast<int>(largura_.Encerra()));
    }

    // Handles one piece read from the report; false when it ends the batch.
    bool Trata(std::string_view linha) {
        for (;;) {
            if (!conteudo_ && !SobreviveFiltro(linha)) return true;
            if (primeira_) {
                primeira_ = false;
                lote_.marca_pag = linha.find(kMarcaPagina) != std::string_view::npos;
            }
            std::size_t salto = linha.find('\f');
            if (salto == std::string_view::npos) break;
            if (salto == 0) {
                // The whole line counts for the width, as it stands in the report.
                Mede(linha);
            } else {
                std::string_view antes = linha.substr(0, salto);
                // Blanks before the feed on a page with nothing yet are a blank page head.
                if (conteudo_ || TemConteudo(antes)) {
                    Escreve(antes);
                    Escreve("\n");
                    conteudo_ = true;
                }
            }
            QuebraPagina();
            linha = RestoAposSalto(linha, salto);
        }
        Mede(linha);
        if (EhSaltaPagina(linha)) {
            QuebraPagina();
            return true;
        }
        if (EhCabecalho(linha)) return TrataCabecalho(linha);
        Escreve(linha);
        conteudo_ = true;
        quebra_ = false;
        return true;
    }

    // Closes the batch: a data file that does not end on a page break gets a last line end.
    void Encerra() {
        EncerraLinha();
        if (!quebra_) Escreve("\n");
    }

  private:
    // While the page has no content yet, blank lines are dropped; a blank line with a form feed
    // stands for a page break unless one was just written.
    bool SobreviveFiltro(std::string_view linha) const {
        if (TemConteudo(linha)) return true;
        return linha.find('\f') != std::string_view::npos && !quebra_;
    }

    // In bytes, as it always was, unless the width chooses the format.
    void Mede(std::string_view linha) {
        if (estado_.largura_em_caracteres)
            largura_.Mede(linha);
        else
            lote_.largura = std::max(lote_.largura, static_cast<int>(linha.size()));
    }

    void Escreve(std::string_view texto) {
        if (texto.empty()) return;
        std::fwrite(texto.data(), 1, texto.size(), dados_);
        linha_aberta_ = texto.back() != '\n';
    }

    // A page break is written only after a page that holds a line: an empty page would cost
    // a sheet carrying the whole form and nothing of the report. A long line comes in pieces;
    // when a break follows a piece that did not end its line, the line is ended first, or the
    // reader would take the text before the break on the same line as part of it and drop it.
    void QuebraPagina() {
        if (conteudo_) {
            if (linha_aberta_) Escreve("\n");
            Escreve(kQuebra);
        }
        conteudo_ = false;
        quebra_ = true;
    }

    bool TrataCabecalho(std::string_view linha) {
        lote_.cabecalho = true;
        int ini = 0, fim = 0;
        LeFaixa(linha, ini, fim);
        if (estado_.primeiro_cabecalho) {
            estado_.proximo_ini = ini;
            estado_.proximo_fim = fim;
            return false;
        }
        // The run's first header names the range of its own batch.
        marcaini = ini;
        marcafim = fim;
        estado_.primeiro_cabecalho = true;
        return true;
    }

    std::FILE* dados_;
    EstadoExecucao& estado_;
    Lote& lote_;
    bool conteudo_ = false;      // the current page of the data file holds a line
    bool quebra_ = false;        // the last thing written was a page break
    bool primeira_ = true;       // the first surviving line has not been looked at yet
    bool linha_aberta_ = false;  // the last byte written does not end a line
    LarguraLinha largura_;       // of the report line being read
};

// Peeks one byte and puts it back: works the same on files and on pipes.
bool EntradaEsgotada(std::FILE* entrada) {
    int c = std::getc(entrada);
    if (c == EOF) return true;
    std::ungetc(c, entrada);
    return false;
}

Lote FalhaTemporario(const std::string& nome) {
    std::fprintf(stderr, "Erro na criacao do arquivo temporario [%s]\n", nome.c_str());
    Lote lote;
    lote.falha = true;
    return lote;
}

// Makes the data file and notes it for removal at a signal: it holds every customer's data.
int CriaDados(std::string& nome) {
    const SinaisAdiados adiados;
    const int fd = mkstemp(nome.data());
    if (fd < 0 || NotaRemocao(nome.c_str())) return fd;
    std::remove(nome.c_str());
    close(fd);
    return -1;
}

}  // namespace

Lote CopiaLote(std::FILE* entrada, std::FILE* dados, EstadoExecucao& estado) {
    Lote lote;
    marcaini = estado.proximo_ini;
    marcafim = estado.proximo_fim;
    Copiador copiador(dados, estado, lote);
    char pedaco[kLeituraRelatorio + 1];
    bool fim_da_entrada = true;
    const bool caracteres = estado.largura_em_caracteres;
    for (std::string_view linha; !(linha = LePedaco(entrada, pedaco)).empty();) {
        if (caracteres) copiador.Observa(linha);
        if (!copiador.Trata(linha)) {
            fim_da_entrada = false;
            break;
        }
        if (caracteres && linha.back() == '\n') copiador.EncerraLinha();
    }
    copiador.Encerra();
    lote.esgotada = fim_da_entrada || EntradaEsgotada(entrada);
    return lote;
}

void RemoveDados(const std::string& nome) {
    std::remove(nome.c_str());
    EsqueceRemocao(nome.c_str());
}

Lote PreparaLote(std::FILE* entrada, EstadoExecucao& estado) {
    const char* dir = std::getenv("TMPDIR");
    std::string nome = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/morvXXXXXX";
    int fd = CriaDados(nome);
    if (fd < 0) return FalhaTemporario(nome);
    std::FILE* dados = fdopen(fd, "wb");
    if (dados == nullptr) {
        close(fd);
        RemoveDados(nome);
        return FalhaTemporario(nome);
    }
    // The copy is written in large blocks rather than the stream's default 4 KiB ones; the
    // buffer outlives the stream, which is closed below.
    std::vector<char> buffer(kBufferDados);
    std::setvbuf(dados, buffer.data(), _IOFBF, buffer.size());
    Lote lote = CopiaLote(entrada, dados, estado);
    // A data file cut short by a full disk would lose pages without a word: fail instead.
    bool falhou = std::ferror(dados) != 0;
    if (std::fclose(dados) != 0) falhou = true;
    if (falhou) {
        RemoveDados(nome);
        return FalhaTemporario(nome);
    }
    lote.dados = nome;
    return lote;
}
