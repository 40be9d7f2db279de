// morvstudio over plain HTTP, as a client that is not its page would talk to it: the refusals
// (no token, a foreign Host or Origin, a body too large), forms that run too long or crash the
// program (a message each, and the studio goes on), SIGTERM (status 0, nothing left in TMPDIR),
// and Save (the form's permissions kept, a new form created). The page itself is checked in a
// real browser by navegador.py.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <spng.h>

#include "studio/movimento.h"
#include "support/ferramentas.h"
#include "support/render.h"

namespace {

namespace fs = std::filesystem;

const std::string kMorvstudio = MORVSTUDIO_BIN;
constexpr std::size_t kMiB = 1024 * 1024;

// The studio started on a report and a form in the working directory, until the object goes.
class EstudioEmExecucao {
  public:
    EstudioEmExecucao(const std::string& relatorio, const std::string& formulario) {
        int tubo[2];
        if (pipe(tubo) != 0) throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            dup2(tubo[1], STDOUT_FILENO);
            close(tubo[0]);
            close(tubo[1]);
            execl(kMorvstudio.c_str(), kMorvstudio.c_str(), "-p", "0", relatorio.c_str(),
                  formulario.c_str(), nullptr);
            _exit(127);
        }
        close(tubo[1]);
        std::string linha;
        char c;
        while (read(tubo[0], &c, 1) == 1 && c != '\n')
            linha += c;
        close(tubo[0]);
        // http://127.0.0.1:PORT/TOKEN/
        const std::size_t porta = linha.find(':', 7), barra = linha.find('/', porta);
        if (porta == std::string::npos || barra == std::string::npos) return;
        autoridade_ = linha.substr(7, barra - 7);
        porta_ = std::stoi(linha.substr(porta + 1, barra - porta - 1));
        raiz_ = linha.substr(barra);
    }
    ~EstudioEmExecucao() {
        if (pid_ > 0 && Termina() < 0) kill(pid_, SIGKILL);
    }
    EstudioEmExecucao(const EstudioEmExecucao&) = delete;
    EstudioEmExecucao& operator=(const EstudioEmExecucao&) = delete;
    // SIGTERM; the exit status, or -1 when it did not exit by itself.
    int Termina() {
        kill(pid_, SIGTERM);
        int estado = 0;
        waitpid(pid_, &estado, 0);
        pid_ = -1;
        return WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
    }
    int porta() const { return porta_; }
    const std::string& autoridade() const { return autoridade_; }
    const std::string& raiz() const { return raiz_; }  // "/TOKEN/"

  private:
    pid_t pid_ = -1;
    int porta_ = 0;
    std::string autoridade_, raiz_;
};

// Sends the bytes of a request as they are and reads the answer until the studio closes.
std::string Troca(int porta, const std::string& pedido) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in endereco{};
    endereco.sin_family = AF_INET;
    endereco.sin_port = htons(static_cast<std::uint16_t>(porta));
    endereco.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string resposta;
    if (connect(s, reinterpret_cast<sockaddr*>(&endereco), sizeof endereco) == 0) {
        // A refused request may be answered before its body is all sent: the rest goes nowhere.
        for (std::size_t feitos = 0; feitos < pedido.size();) {
            const ssize_t n = send(s, pedido.data() + feitos, pedido.size() - feitos, MSG_NOSIGNAL);
            if (n <= 0) break;
            feitos += static_cast<std::size_t>(n);
        }
        char bloco[65536];
        for (ssize_t n; (n = recv(s, bloco, sizeof bloco, 0)) > 0;)
            resposta.append(bloco, static_cast<std::size_t>(n));
    }
    close(s);
    return resposta;
}

int Status(const std::string& resposta) {
    return resposta.size() > 12 ? std::stoi(resposta.substr(9, 3)) : 0;
}

std::string Corpo(const std::string& resposta) {
    const std::size_t fim = resposta.find("\r\n\r\n");
    return fim == std::string::npos ? "" : resposta.substr(fim + 4);
}

// A request with the headers a browser on the studio's page sends, less or more.
struct Pedido {
    std::string metodo;
    std::string caminho;  // after the token's folder; a leading '!' leaves the token out
    std::string host;     // empty: the studio's own
    std::string origem;   // empty: none; "=": the studio's own page
    std::string corpo;
    bool chunked;
};

Pedido Get(const std::string& caminho, const std::string& host = "") {
    return {"GET", caminho, host, "", "", false};
}

Pedido Post(const std::string& caminho, const std::string& corpo, const std::string& origem = "=",
            bool chunked = false) {
    return {"POST", caminho, "", origem, corpo, chunked};
}

std::string Monta(const EstudioEmExecucao& e, const Pedido& p) {
    const std::string caminho = p.caminho.starts_with("!") ? p.caminho.substr(1) : e.raiz() + p.caminho;
    std::string r = p.metodo + " " + caminho + " HTTP/1.1\r\nHost: " +
                    (p.host.empty() ? e.autoridade() : p.host) + "\r\nConnection: close\r\n";
    if (!p.origem.empty()) r += "Origin: " + (p.origem == "=" ? "http://" + e.autoridade() : p.origem) + "\r\n";
    if (p.metodo == "POST" && !p.chunked) r += "Content-Length: " + std::to_string(p.corpo.size()) + "\r\n";
    if (p.chunked) {
        r += "Transfer-Encoding: chunked\r\n\r\n";
        for (std::size_t i = 0; i < p.corpo.size(); i += 65536) {
            const std::string pedaco = p.corpo.substr(i, 65536);
            char tamanho[16];
            std::snprintf(tamanho, sizeof tamanho, "%zx\r\n", pedaco.size());
            r += tamanho + pedaco + "\r\n";
        }
        return r + "0\r\n\r\n";
    }
    return r + "\r\n" + p.corpo;
}

const std::string kDesenho = "api/desenho?pagina=1&lado=0&dpi=20&grade=0&vista=morvpdf";

// A form that takes far longer than the limit to draw: as many QR codes as a request may carry.
std::string FormularioLento() {
    std::string f = "CAPTURA 6 PIX:1:200\n";
    const std::string codigo = "CODMATRIZ2 6.35 9.2 1.2 qrcode PIX\n";
    while (f.size() + codigo.size() < kMiB)
        f += codigo;
    return f;
}

// A logo whose picture is larger than any render may hold: the program dies trying to read it.
void BitmapEnorme(const std::string& nome) {
    constexpr std::uint32_t kLado = 200000;
    constexpr std::uint64_t kTamanho = 62 + std::uint64_t{(kLado + 31) / 32 * 4} * kLado;
    unsigned char cab[62] = {'B', 'M'};
    auto poe32 = [&cab](std::size_t pos, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            cab[pos + static_cast<std::size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
    };
    poe32(10, 62);     // pixels
    poe32(14, 40);     // information header
    poe32(18, kLado);  // width
    poe32(22, kLado);  // height
    cab[26] = 1;       // planes
    cab[28] = 1;       // one bit a pixel, no compression
    const int fd = open(nome.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, cab, sizeof cab), static_cast<ssize_t>(sizeof cab));
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(kTamanho)), 0);  // sparse: nothing on disk
    close(fd);
}

std::vector<std::string> Conteudo(const std::string& pasta) {
    std::vector<std::string> nomes;
    for (const auto& e : fs::directory_iterator(pasta))
        nomes.push_back(e.path().filename().string());
    return nomes;
}

class Estudio : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* nome : {"relatorio.txt", "formulario.fmt", "logo.bmp"})
            EscreveArquivo(nome, LeArquivo(kExemplos + nome));
    }
    DiretorioTemporario dir;
    TmpdirPrivado tmpdir;
};

TEST_F(Estudio, RecusasEFormulariosQueNaoTerminam) {
    EstudioEmExecucao estudio("relatorio.txt", "formulario.fmt");
    ASSERT_GT(estudio.porta(), 0);
    BitmapEnorme("enorme.bmp");
    const std::string exemplo = LeArquivo("formulario.fmt");
    struct Caso {
        const char* nome;
        Pedido pedido;
        int status;
        std::string no_corpo;    // what the answer's body holds
        std::string fora_corpo;  // and what it does not (empty: nothing)
    };
    const Caso casos[] = {
        {"the page", Get(""), 200, "data-morv=\"pagina\"", ""},
        {"no token", Get("!/"), 403, "", ""},
        {"another token", Get("!/00000000000000000000000000000000/"), 403, "", ""},
        {"a foreign Host", Get("", "rebinding.example:80"), 403, "", ""},
        {"a render without Origin", Post(kDesenho, exemplo, ""), 403, "", ""},
        {"a render from a foreign Origin", Post(kDesenho, exemplo, "http://outro.example"), 403, "", ""},
        {"a body of 2 MiB", Post(kDesenho, std::string(2 * kMiB, 'x')), 413, "", ""},
        {"a chunked body over 1 MiB", Post(kDesenho, std::string(2 * kMiB, 'x'), "=", true), 413, "", ""},
        {"a render of the example", Post(kDesenho, exemplo), 200, "\"ok\":true", ""},
        {"a form that runs too long", Post(kDesenho, FormularioLento()), 200,
         "\"falha\":\"O desenho da pagina passou de 5 s e foi interrompido\"", ""},
        // It dies of its memory limit at once (a signal, or the sanitizer's exit status).
        {"a form that crashes the program",
         Post(kDesenho, "IMAGEM 1 1 1 1 " + dir.caminho() + "/enorme.bmp\n"), 200,
         "\"falha\":\"O desenho da pagina ", "passou de"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        const std::string resposta = Troca(estudio.porta(), Monta(estudio, c.pedido));
        EXPECT_EQ(Status(resposta), c.status) << resposta.substr(0, 300);
        EXPECT_NE(Corpo(resposta).find(c.no_corpo), std::string::npos) << Corpo(resposta).substr(0, 300);
        if (!c.fora_corpo.empty()) {
            EXPECT_EQ(Corpo(resposta).find(c.fora_corpo), std::string::npos) << Corpo(resposta).substr(0, 300);
        }
        // Whatever came before, the studio still answers.
        EXPECT_EQ(Status(Troca(estudio.porta(), Monta(estudio, Get("api/estado")))), 200);
    }
    // SIGTERM ends it with status 0, and nothing of it is left.
    EXPECT_EQ(estudio.Termina(), 0);
    EXPECT_EQ(Conteudo(tmpdir.caminho()), std::vector<std::string>{});
}

// Save replaces the form atomically with the editor's bytes and keeps its permissions; a form
// that did not exist is created.
TEST_F(Estudio, SalvarGuardaOArquivo) {
    chmod("formulario.fmt", 0640);
    const std::string texto = "TEXTO 1 1 A10 N \"novo\"\r\n# \xc3\xa9\n";
    for (const char* formulario : {"formulario.fmt", "novo.fmt"}) {
        SCOPED_TRACE(formulario);
        EstudioEmExecucao estudio("relatorio.txt", formulario);
        const std::string r = Troca(estudio.porta(), Monta(estudio, Post("api/salvar", texto)));
        EXPECT_EQ(Status(r), 200) << r;
        EXPECT_EQ(LeArquivo(formulario), texto);
        struct stat info {};
        stat(formulario, &info);
        const mode_t mascara = umask(0);
        umask(mascara);
        EXPECT_EQ(info.st_mode & 0777, std::string(formulario) == "novo.fmt" ? 0666 & ~mascara : 0640);
        EXPECT_EQ(estudio.Termina(), 0);
    }
    // Nothing but the forms: no draft left beside them.
    std::vector<std::string> nomes = Conteudo(".");
    std::sort(nomes.begin(), nomes.end());
    EXPECT_EQ(nomes, (std::vector<std::string>{"formulario.fmt", "logo.bmp", "novo.fmt", "relatorio.txt"}));
}

// The pixels of a PNG, decoded to 8-bit RGB; empty when it is none.
std::vector<unsigned char> PixelsPNG(const std::string& png) {
    std::vector<unsigned char> pixels;
    spng_ctx* ctx = spng_ctx_new(0);
    std::size_t tamanho = 0;
    if (spng_set_png_buffer(ctx, png.data(), png.size()) == 0 &&
        spng_decoded_image_size(ctx, SPNG_FMT_RGB8, &tamanho) == 0) {
        pixels.resize(tamanho);
        if (spng_decode_image(ctx, pixels.data(), tamanho, SPNG_FMT_RGB8, 0) != 0) pixels.clear();
    }
    spng_ctx_free(ctx);
    return pixels;
}

// The value of a member "nome":"..." of the studio's answer (no escapes in what is read here).
std::string Membro(const std::string& json, const std::string& nome) {
    const std::size_t inicio = json.find("\"" + nome + "\":\"");
    if (inicio == std::string::npos) return "";
    const std::size_t valor = inicio + nome.size() + 4;
    return json.substr(valor, json.find('"', valor) - valor);
}

std::string DeBase64(const std::string& texto) {
    static const std::string alfabeto =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string r;
    unsigned v = 0;
    int bits = 0;
    for (const char c : texto) {
        const std::size_t i = alfabeto.find(c);
        if (i == std::string::npos) break;
        v = v << 6 | static_cast<unsigned>(i);
        if ((bits += 6) >= 8) r += static_cast<char>(v >> (bits -= 8) & 0xFF);
    }
    return r;
}

// Every page drawn alone is the page of the whole run, in a report of three batches that use
// their own MARCA blocks (lines before the first MARCA judged by the number the earlier load
// left), where a rotation set on one page carries to the next.
// The other forms print the inserter's marks, whose envelopes (a captured group letter) run on
// from one batch into the next: only the page after a page tells whether it ends its envelope;
// and one prints two copies of each page, of which the first is shown.
TEST_F(Estudio, CadaPaginaSozinhaEAdaExecucaoInteira) {
    std::string relatorio;
    const char* cabecalhos[] = {"APA01QTD01\n", "", "APA02QTD01\n", "", "APA03QTD02\n", "", ""};
    const char* grupos = "ABBCCCD";
    for (int n = 1; n <= 7; ++n)
        relatorio += std::string(cabecalhos[n - 1]) + "\fCABECALHO " + std::to_string(n) +
                     "\n.secao 1\nGRUPO " + grupos[n - 1] + "\n.fim\n";
    EscreveArquivo("lotes.txt", relatorio);
    EscreveArquivo("lotes.fmt",
                   "TEXTO 1 1 A12 N antes\nINPUT 1 2 A12 - 1\nMARCA 1\nTEXTO 1 3 A12 N um\n"
                   "MARCA 2\nTEXTO 1 3 A12 N dois\nROTACAO 90\nTEXTO 3 3 A12 N girado\nMARCA 3\n"
                   "TEXTO 1 4 A12 N tres\nMARCA 4\nROTACAO2 90\nINPUT 4 6 C10 - 0\n");
    for (const int vias : {1, 2}) {
        std::string envelopes;
        for (const char* bloco : {"1", "2", "3"})
            envelopes += std::string("MARCA ") + bloco + "\nVIAS " + std::to_string(vias) +
                         "\nGRUPO G\nOMR 0.2 3\nCAPTURA 1 G:7:1\nMOSTRA 1 2 A12 - G\n";
        EscreveArquivo("envelopes" + std::to_string(vias) + ".fmt", envelopes + "MARCA 4\n");
    }
    struct Caso {
        const char* formato;
        int vias;
    };
    for (const Caso& c : {Caso{"lotes.fmt", 1}, Caso{"envelopes1.fmt", 1}, Caso{"envelopes2.fmt", 2}}) {
        SCOPED_TRACE(c.formato);
        ASSERT_EQ(Executa(kMorvpdf, {"lotes.txt", c.formato, "inteira.pdf"}).status, 0);
        EstudioEmExecucao estudio("lotes.txt", c.formato);
        for (int n = 1; n <= 7; ++n) {
            SCOPED_TRACE("page " + std::to_string(n));
            const std::string pedido = "api/desenho?pagina=" + std::to_string(n) +
                                       "&lado=0&dpi=30&grade=0&vista=morvpdf";
            const std::string r =
                Corpo(Troca(estudio.porta(), Monta(estudio, Post(pedido, LeArquivo(c.formato)))));
            // The page's first copy.
            const std::string folha = std::to_string((n - 1) * c.vias + 1);
            SaidaDe("pdftoppm -r 30 -png -singlefile -f " + folha + " -l " + folha +
                    " inteira.pdf inteira");
            const std::vector<unsigned char> esperada = PixelsPNG(LeArquivo("inteira.png"));
            ASSERT_FALSE(esperada.empty());
            EXPECT_TRUE(PixelsPNG(DeBase64(Membro(r, "png"))) == esperada) << r.substr(0, 300);
        }
    }
}

// A move rewrites only the words that place the object, with two decimals.
TEST(MoveObjeto, SoAsPosicoesMudam) {
    struct Caso {
        const char* linha;
        double dx, dy;
        const char* movida;  // null: nothing to move
    };
    const Caso casos[] = {
        {"RETANGA 0.6 4.75 7.05 1.45 1001 2", 1, 0, "RETANGA 1.60 4.75 7.05 1.45 1001 2"},
        {"LINHA\t0.6 1.45  7.65 1.45 2\r", 0.1, -0.05, "LINHA\t0.70 1.40  7.75 1.40 2\r"},
        {"TEXTO C 0.95 A14 N \"DEMONSTRATIVO\"", 1, 0.5, "TEXTO C 1.45 A14 N \"DEMONSTRATIVO\""},
        {"INPUT CENTRO 1.7 C9 N 0", 1, 1, "INPUT CENTRO 2.70 C9 N 0"},
        {"TEXTO 0.7 1 A7 - \"1 2 3\"", -0.7, 0, "TEXTO 0.00 1.00 A7 - \"1 2 3\""},
        {"CODMATRIZ 6.35 9.2 1.2 qrcode 6", 0.01, 0.01, "CODMATRIZ 6.36 9.21 1.2 qrcode 6"},
        {"CAPTURA 1 NOME:10:40", 1, 1, nullptr},
        {"TEXTO 1", 1, 1, nullptr},
        {"# TEXTO 1 1 A10 N x", 1, 1, nullptr},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.linha);
        const auto movida = MoveObjeto(c.linha, c.dx, c.dy);
        ASSERT_EQ(movida.has_value(), c.movida != nullptr);
        if (movida) {
            EXPECT_EQ(*movida, c.movida);
        }
    }
}

}  // namespace
