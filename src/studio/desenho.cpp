#include "studio/desenho.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "driver/driver.h"
#include "studio/desenho_filho.h"
#include "trabalho/pasta.h"
#include "trabalho/trabalho.h"

namespace fs = std::filesystem;

namespace {

// A render's bounds: a form that runs for ever, or that takes all the memory it can, is
// stopped with its message and the studio goes on.
constexpr std::chrono::seconds kTempoDesenho{5};
constexpr std::size_t kMemoriaDesenho = std::size_t{1} << 30;
// The directory of each render under TMPDIR; removed when the render ends.
constexpr const char* kPrefixoPasta = "morv-estudio-desenho-";
// The form and the report pages as files of the render's directory.
constexpr const char* kArquivoFormulario = "formulario.fmt";
// What is read back of a render's files: more than any page's picture at the highest zoom.
constexpr std::size_t kMaxImagem = 64 * 1024 * 1024;
constexpr std::size_t kMaxResultado = 16 * 1024 * 1024;
constexpr std::size_t kMaxMensagensFalha = 64 * 1024;
constexpr std::size_t kMaxIndice = 32;
// The auxiliaries of the other views are installed here, from the studio's own folder; in the
// build tree they are beside it.
constexpr const char* kAuxiliaresRelativo = MORV_AUXILIARES_RELATIVO;
// A render that a newer one made unwanted is answered as a success that says so: it is no
// error of the page's, and a browser reports every failed request in its console.
constexpr int kSuperado = 200;
constexpr const char* kJsonSuperado = "{\"superado\":true}";
constexpr int kOk = 200;
// A PNG file's width and height stand at these offsets of its header, big-endian.
constexpr std::size_t kPosLarguraPNG = 16;
constexpr std::size_t kPosAlturaPNG = 20;

std::string LeLimitado(const std::string& nome, std::size_t limite, bool& cabe) {
    std::ifstream f(nome, std::ios::binary);
    std::string texto;
    cabe = false;
    if (!f) return texto;
    char bloco[65536];
    while (f.read(bloco, sizeof bloco).gcount() > 0) {
        texto.append(bloco, static_cast<std::size_t>(f.gcount()));
        if (texto.size() > limite) return {};
    }
    cabe = true;
    return texto;
}

bool Grava(const std::string& nome, const std::string& bytes) {
    std::ofstream f(nome, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f.flush());
}

bool Executavel(const std::string& caminho) {
    return !caminho.empty() && access(caminho.c_str(), X_OK) == 0;
}

// The program on PATH, or empty.
std::string NoPath(const std::string& nome) {
    const char* path = std::getenv("PATH");
    std::istringstream pastas(path != nullptr ? path : "");
    for (std::string pasta; std::getline(pastas, pasta, ':');)
        if (!pasta.empty() && Executavel(pasta + "/" + nome)) return pasta + "/" + nome;
    return {};
}

// An auxiliary where it is installed from the studio's own folder, or beside it (the build
// tree); empty when neither has it.
std::string Auxiliar(const std::string& nome) {
    std::error_code e;
    const fs::path pasta = fs::read_symlink("/proc/self/exe", e).parent_path();
    if (e) return {};
    for (const fs::path& candidato : {pasta / kAuxiliaresRelativo / nome, pasta / nome})
        if (Executavel(candidato.string())) return candidato.lexically_normal().string();
    return {};
}

std::string DpiInteiro(double dpi) {
    return std::to_string(static_cast<long>(std::lround(dpi)));
}

unsigned long BigEndian32(std::string_view b, std::size_t pos) {
    unsigned long v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v = v << 8 | static_cast<unsigned char>(b[pos + i]);
    return v;
}

// Why a job ended without its result, in the words of the page.
std::string MotivoFalha(const Execucao& e, const char* oque) {
    if (!e.falha.empty()) return e.falha;
    if (e.esgotado)
        return std::string(oque) + " passou de " + std::to_string(kTempoDesenho.count()) +
               " s e foi interrompido";
    if (e.sinal != 0)
        return std::string(oque) + " terminou pelo sinal " + std::to_string(e.sinal) + " [" +
               strsignal(e.sinal) + "]";
    return std::string(oque) + " falhou (status " + std::to_string(e.status) + ")";
}

// A render that gave no result: why, and the last words of the program, without their lines.
std::string JsonFalha(const std::string& motivo, const std::vector<std::string>& mensagens,
                      Conjunto conjunto) {
    std::string j = "\"ok\":false,\"falha\":" + TextoJson(motivo, conjunto) + ",\"avisos\":[";
    for (std::size_t i = 0; i < mensagens.size(); ++i)
        j += (i == 0 ? "{\"mensagem\":" : ",{\"mensagem\":") + TextoJson(mensagens[i], conjunto) +
             ",\"linha\":0,\"pagina\":0}";
    return j + "]";
}

std::vector<std::string> LinhasDe(const std::string& texto) {
    std::vector<std::string> linhas;
    std::istringstream fluxo(texto);
    for (std::string l; std::getline(fluxo, l);)
        if (!l.empty()) linhas.push_back(l);
    return linhas;
}

const char* NomeVista(Vista v) {
    switch (v) {
        case Vista::morvel: return "morvel";
        case Vista::morvex: return "morvex";
        default: return "morvpdf";
    }
}

// The other program's page: its job from the auxiliary, then its interpreter's pictures of it,
// of which the page's is taken. The picture, or the reason there is none.
struct QuadroVista {
    std::string png;
    std::string motivo;
};

QuadroVista DesenhaOutraVista(const PastaTrabalho& pasta, const ProgramasVistas& programas,
                              const PedidoDesenho& pedido, const PaginaSozinha& pagina,
                              const std::string& pasta_formularios, const LimitesTrabalho& limites) {
    const bool ps = pedido.vista == Vista::morvel;
    std::vector<std::string> argumentos = {ps ? programas.auxiliar_morvel : programas.auxiliar_morvex,
                                           pasta_formularios, kArquivoFormulario};
    for (const TrechoExecucao& t : pagina.trechos) {
        argumentos.push_back(t.dados);
        argumentos.push_back(std::to_string(t.marcaini));
        argumentos.push_back(std::to_string(t.marcafim));
        argumentos.push_back(t.imprime ? "1" : "0");
        argumentos.push_back(std::to_string(t.paginas_antes));
    }
    const char* programa = ps ? "morvel" : "morvex";
    const Execucao job = ExecutaTrabalho(pasta, argumentos, pasta_formularios, limites, ExecutaPrograma);
    if (!job.Sucesso()) {
        std::string motivo = MotivoFalha(job, ps ? "O job do morvel" : "O job do morvex");
        if (!job.mensagens.empty()) motivo += ": " + job.mensagens.back();
        return {{}, motivo};
    }
    const std::string entrada = pasta.caminho() + (ps ? "/job.ps" : "/job.pcl");
    std::rename(job.job.c_str(), entrada.c_str());
    const std::vector<std::string> interpretador = {
        ps ? programas.gs : programas.gpcl6, "-q", "-dSAFER", "-dNOPAUSE", "-dBATCH",
        "-sDEVICE=png16m", "-dTextAlphaBits=4", "-dGraphicsAlphaBits=4",
        "-r" + DpiInteiro(pedido.dpi), "-sOutputFile=vista-%d.png", entrada};
    const Execucao desenho =
        ExecutaTrabalho(pasta, interpretador, pasta_formularios, limites, ExecutaPrograma);
    if (!desenho.Sucesso())
        return {{}, MotivoFalha(desenho, ps ? "O Ghostscript" : "O gpcl6")};
    // The page morvpdf's document showed: the same sheet and side in the other job.
    bool cabe = false;
    const long indice = std::strtol(
        LeLimitado(pasta.caminho() + "/" + kArquivoIndice, kMaxIndice, cabe).c_str(), nullptr, 10);
    std::string png = LeLimitado(pasta.caminho() + "/vista-" + std::to_string(indice + 1) + ".png",
                                 kMaxImagem, cabe);
    if (!cabe || png.size() < kPosAlturaPNG + 4)
        return {{}, std::string("O ") + programa + " nao desenhou a pagina"};
    return {png, {}};
}

}  // namespace

bool ProgramasVistas::Tem(Vista v) const {
    switch (v) {
        case Vista::morvel: return !auxiliar_morvel.empty() && !gs.empty();
        case Vista::morvex: return !auxiliar_morvex.empty() && !gpcl6.empty();
        default: return true;
    }
}

ProgramasVistas ProcuraProgramas() {
    return {Auxiliar("morvstudio-morvel"), Auxiliar("morvstudio-morvex"), NoPath("gs"),
            NoPath("gpcl6")};
}

void Desenhista::Encerra() {
    const std::lock_guard<std::mutex> guarda(estado_);
    encerrado_ = true;
    if (cancela_atual_) *cancela_atual_ = true;
}

RespostaDesenho Desenhista::Desenha(const PedidoDesenho& pedido) {
    long meu;
    {
        const std::lock_guard<std::mutex> guarda(estado_);
        meu = ++ultimo_;
        if (cancela_atual_) *cancela_atual_ = true;
    }
    const std::lock_guard<std::mutex> vez(vez_);
    std::shared_ptr<std::atomic<bool>> cancelado;
    {
        const std::lock_guard<std::mutex> guarda(estado_);
        if (meu != ultimo_ || encerrado_) return {kSuperado, kJsonSuperado};
        cancela_atual_ = cancelado = std::make_shared<std::atomic<bool>>(false);
    }
    RespostaDesenho r = DesenhaNaVez(pedido, *cancelado);
    const std::lock_guard<std::mutex> guarda(estado_);
    if (cancela_atual_ == cancelado) cancela_atual_.reset();
    return r;
}

RespostaDesenho Desenhista::DesenhaNaVez(const PedidoDesenho& pedido,
                                         const std::atomic<bool>& cancelado) {
    const Conjunto conjunto = formulario_.conjunto();
    std::string cabeca = "{\"vista\":\"" + std::string(NomeVista(pedido.vista)) +
                         "\",\"pagina\":" + std::to_string(pedido.pagina) +
                         ",\"dpi\":" + NumeroJson(pedido.dpi, 3) + ",";
    PastaTrabalho pasta(kPrefixoPasta, 0);
    if (pasta.caminho().empty())
        return {kOk, cabeca + JsonFalha("Erro na criacao do diretorio temporario [" + pasta.modelo() +
                                            "] (" + pasta.motivo() + ")",
                                        {}, conjunto) + "}"};
    const OrdemDesenho ordem = Ordena(pedido, pasta.caminho());
    const LimitesTrabalho limites{kTempoDesenho, kMemoriaDesenho, &cancelado};
    const Execucao e = ExecutaTrabalho(pasta, {kNomePrograma}, formulario_.pasta(), limites,
                                       [&ordem](int, char**) { return DesenhaNoFilho(ordem); });
    if (e.cancelado) return {kSuperado, kJsonSuperado};
    bool cabe = false;
    const std::string resultado =
        e.Sucesso() ? LeLimitado(pasta.caminho() + "/" + kArquivoResultado, kMaxResultado, cabe) : "";
    if (!cabe || resultado.empty()) {
        const std::string mensagens =
            LeLimitado(pasta.caminho() + "/" + kArquivoMensagens, kMaxMensagensFalha, cabe);
        return {kOk, cabeca + JsonFalha(MotivoFalha(e, "O desenho da pagina"), LinhasDe(mensagens),
                                        conjunto) + "}"};
    }
    std::string quadro;
    if (pedido.vista == Vista::morvpdf) {
        quadro = LeLimitado(pasta.caminho() + "/" + kArquivoImagem, kMaxImagem, cabe);
        if (!cabe) quadro.clear();
    } else if (resultado.starts_with("\"ok\":true")) {
        // The other program's picture; everything beside it is morvpdf's, from the same form.
        const QuadroVista v = DesenhaOutraVista(pasta, programas_, pedido, ordem.pagina,
                                                formulario_.pasta(), limites);
        if (cancelado) return {kSuperado, kJsonSuperado};
        if (!v.motivo.empty()) cabeca += "\"falha\":" + TextoJson(v.motivo, conjunto) + ",";
        quadro = v.png;
        if (!quadro.empty())
            cabeca += "\"largura\":" + std::to_string(BigEndian32(quadro, kPosLarguraPNG)) +
                      ",\"altura\":" + std::to_string(BigEndian32(quadro, kPosAlturaPNG)) + ",";
    }
    if (!quadro.empty()) cabeca += "\"png\":\"" + Base64(quadro) + "\",";
    return {kOk, cabeca + resultado + "}"};
}

OrdemDesenho Desenhista::Ordena(const PedidoDesenho& pedido, const std::string& pasta) const {
    OrdemDesenho ordem;
    ordem.formulario = pasta + "/" + kArquivoFormulario;
    Grava(ordem.formulario, pedido.texto);
    ordem.job = pasta + "/job";
    ordem.pagina = amostra_.Prepara(pedido.pagina, pasta);
    ordem.lado = pedido.lado;
    ordem.dpi = pedido.dpi;
    ordem.grade = pedido.grade;
    ordem.imagem = pedido.vista == Vista::morvpdf;
    ordem.conjunto = formulario_.conjunto();
    return ordem;
}
