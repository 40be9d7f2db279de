// morvstudio: a form designed in the browser on the real report. It reads the report once,
// serves one page on 127.0.0.1 (or the address -a names) under a token of the run, and runs
// until SIGINT, SIGTERM or SIGHUP, which end it with status 0 and nothing of it left on disk.
#include <arpa/inet.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "studio/acesso.h"
#include "studio/pedido.h"
#include "studio/servidor.h"
#include "trabalho/pasta.h"

namespace {

constexpr const char* kEnderecoPadrao = "127.0.0.1";
constexpr int kPortaPadrao = 8080;
constexpr int kMaiorPorta = 65535;
// The directory of the report's paginated copies, under TMPDIR.
constexpr const char* kPrefixoAmostra = "morv-estudio-";
// Any error: -1, as the other programs.
constexpr int kFalha = -1;

int Uso() {
    std::fprintf(stderr, "morvstudio v2.2.2\n");
    std::fprintf(stderr, "Uso: morvstudio [-a ENDERECO] [-p PORTA] <relatorio> <formulario>\n");
    return kFalha;
}

int Falha(const std::string& mensagem) {
    std::fprintf(stderr, "%s\n", mensagem.c_str());
    return kFalha;
}

// The address as its own family writes it, so that the Host a browser sends for the printed
// address is the one checked.
std::string EnderecoCanonico(const std::string& endereco) {
    unsigned char binario[sizeof(in6_addr)];
    char texto[INET6_ADDRSTRLEN];
    for (const int familia : {AF_INET, AF_INET6})
        if (inet_pton(familia, endereco.c_str(), binario) == 1 &&
            inet_ntop(familia, binario, texto, sizeof texto) != nullptr)
            return texto;
    return endereco;
}

// The signals that end the studio are taken by the main thread alone, in its own time: every
// thread started later inherits them blocked. A shell starts a command in the background with
// SIGINT ignored, which would throw it away unseen: SIGINT and SIGTERM are taken back to their
// default first. SIGHUP (the designer's terminal closed) ends it the same way, or its report's
// paginated copy would stay in TMPDIR; under nohup(1) it stays ignored, as in the programs.
sigset_t SinaisDeFim() {
    sigset_t sinais;
    sigemptyset(&sinais);
    for (const int sinal : {SIGINT, SIGTERM}) {
        signal(sinal, SIG_DFL);
        sigaddset(&sinais, sinal);
    }
    if (signal(SIGHUP, SIG_DFL) != SIG_IGN)
        sigaddset(&sinais, SIGHUP);
    else
        signal(SIGHUP, SIG_IGN);
    pthread_sigmask(SIG_BLOCK, &sinais, nullptr);
    return sinais;
}

}  // namespace

int main(int argc, char** argv) {
    std::string endereco = kEnderecoPadrao;
    int porta = kPortaPadrao;
    int opcao;
    // A refused option is answered by the usage text alone, in the programs' own words.
    opterr = 0;
    while ((opcao = getopt(argc, argv, "+a:p:")) != -1) {
        switch (opcao) {
            case 'a':
                endereco = EnderecoCanonico(optarg);
                break;
            case 'p': {
                const auto p = LeInteiroPedido(optarg, 0, kMaiorPorta);
                if (!p) return Uso();
                porta = *p;
                break;
            }
            default:
                return Uso();
        }
    }
    if (argc - optind != 2) return Uso();
    const sigset_t sinais = SinaisDeFim();
    // A client gone in the middle of an answer must not end the studio.
    signal(SIGPIPE, SIG_IGN);

    Estudio estudio;
    estudio.relatorio = argv[optind];
    std::string erro;
    if (!estudio.formulario.Abre(argv[optind + 1], erro)) return Falha(erro);
    PastaTrabalho pasta(kPrefixoAmostra, 0);
    if (pasta.caminho().empty())
        return Falha("Erro na criacao do diretorio temporario [" + pasta.modelo() + "] (" +
                     pasta.motivo() + ")");
    if (!estudio.amostra.Carrega(estudio.relatorio, pasta.caminho(), erro)) return Falha(erro);
    // The jobs never read the studio's standard input.
    if (const int nulo = open("/dev/null", O_RDONLY); nulo >= 0) {
        dup2(nulo, STDIN_FILENO);
        if (nulo != STDIN_FILENO) close(nulo);
    }
    const auto token = NovoToken();
    if (!token) return Falha("Erro na criacao do token (getrandom)");
    estudio.token = *token;
    estudio.desenhista =
        std::make_unique<Desenhista>(estudio.amostra, estudio.formulario, ProcuraProgramas());

    Servidor servidor(estudio);
    if (!servidor.Inicia(endereco, porta, erro)) return Falha(erro);
    estudio.autoridade = Autoridade(endereco, servidor.Porta());
    std::printf("http://%s/%s/\n", estudio.autoridade.c_str(), estudio.token.c_str());
    std::fflush(stdout);

    int sinal = 0;
    while (sigwait(&sinais, &sinal) != 0) {
    }
    estudio.desenhista->Encerra();
    servidor.Para();
    return 0;
}
