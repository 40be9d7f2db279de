#include "studio/servidor.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

#include "studio/acesso.h"
#include "studio/json.h"
#include "studio/movimento.h"
#include "studio/pagina_embutida.h"
#include "studio/pedido.h"

namespace {

// A request body (a form's text) holds at most this much; a larger one is refused with 413.
constexpr std::size_t kMaxCorpo = 1024 * 1024;
// A body that says nothing of its size (chunked) is known to be too large only as it comes: the
// rest is read and dropped, so that the refusal can be answered, up to this much more; beyond
// it the connection is closed without a word.
constexpr std::size_t kMaxDescarte = 8 * 1024 * 1024;
// Bounds on the connections: how many at once, from one address, idle for how long, and the
// memory each may take for its header lines.
constexpr unsigned kMaxConexoes = 32;
constexpr unsigned kMaxConexoesPorEndereco = 16;
constexpr unsigned kSegundosOcioso = 60;
constexpr std::size_t kMemoriaConexao = 64 * 1024;
// What the page may ask of a render.
constexpr double kDpiMinimo = 10, kDpiMaximo = 400;
// The farthest a move may take an object at once, in inches.
constexpr double kMaxMovimento = 100;
constexpr int kUltimaLinha = 1 << 30;

constexpr int kOk = 200, kMovido = 301, kPedidoRuim = 400, kProibido = 403, kNaoAchado = 404,
              kMetodo = 405, kGrande = 413;
// What the page asked for could not be done (a character its form's set has no byte for, a line
// that places nothing, a save that failed): the answer says why, as a success of the request,
// since a browser reports every failed request in its console.
constexpr int kRecusado = kOk;

constexpr std::string_view kTipoJson = "application/json; charset=utf-8";

struct Resposta {
    Resposta(int s, std::string c, std::string_view t = kTipoJson, std::string l = {})
        : status(s), corpo(std::move(c)), tipo(t), local(std::move(l)) {}
    int status;
    std::string corpo;
    std::string_view tipo;
    std::string local;  // Location of a redirection
};

Resposta Erro(int status, std::string_view mensagem) {
    return {status, "{\"erro\":" + TextoJson(mensagem, Conjunto::utf8) + "}"};
}

std::string_view TipoDoArquivo(std::string_view nome) {
    if (nome.ends_with(".js")) return "text/javascript; charset=utf-8";
    if (nome.ends_with(".css")) return "text/css; charset=utf-8";
    return "text/html; charset=utf-8";
}

// The page loads nothing from elsewhere and runs no inline script; nobody may frame it.
constexpr const char* kPoliticaConteudo =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
    "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

MHD_Result Envia(MHD_Connection* c, const Resposta& r) {
    MHD_Response* resposta = MHD_create_response_from_buffer(
        r.corpo.size(), const_cast<char*>(r.corpo.data()), MHD_RESPMEM_MUST_COPY);
    if (resposta == nullptr) return MHD_NO;
    const std::string tipo(r.tipo);
    MHD_add_response_header(resposta, "Content-Type", tipo.c_str());
    MHD_add_response_header(resposta, "Cache-Control", "no-store");
    MHD_add_response_header(resposta, "X-Content-Type-Options", "nosniff");
    MHD_add_response_header(resposta, "Referrer-Policy", "no-referrer");
    MHD_add_response_header(resposta, "X-Frame-Options", "DENY");
    MHD_add_response_header(resposta, "Content-Security-Policy", kPoliticaConteudo);
    if (!r.local.empty()) MHD_add_response_header(resposta, "Location", r.local.c_str());
    const MHD_Result ok = MHD_queue_response(c, static_cast<unsigned>(r.status), resposta);
    MHD_destroy_response(resposta);
    return ok;
}

// One request while it comes in: its body, and whether it was answered already.
struct Pedido {
    std::string rota;  // what follows /TOKEN/
    bool sem_barra = false;  // the address was /TOKEN alone
    bool post = false;
    std::string corpo;
    bool respondido = false;
    bool grande = false;          // the body went past kMaxCorpo
    std::size_t descartados = 0;  // bytes of it dropped since
};

std::string_view Cabecalho(MHD_Connection* c, const char* nome) {
    const char* v = MHD_lookup_connection_value(c, MHD_HEADER_KIND, nome);
    return v != nullptr ? v : std::string_view();
}

std::string_view Argumento(MHD_Connection* c, const char* nome) {
    const char* v = MHD_lookup_connection_value(c, MHD_GET_ARGUMENT_KIND, nome);
    return v != nullptr ? v : std::string_view();
}

}  // namespace

class RotasEstudio {
  public:
    explicit RotasEstudio(Estudio& e) : e_(e) {}

    // A request refused before its body is read: 0 when it may go on.
    int Recusa(MHD_Connection* c, std::string_view url, std::string_view metodo, Pedido& p) const {
        const std::string prefixo = "/" + e_.token;
        if (url.size() < prefixo.size() || !TokenIgual(url.substr(0, prefixo.size()), prefixo))
            return kProibido;
        url.remove_prefix(prefixo.size());
        if (!url.empty() && url.front() != '/') return kProibido;
        if (!HostAceito(Cabecalho(c, "Host"), e_.autoridade)) return kProibido;
        if (metodo != "GET" && metodo != "HEAD" && metodo != "POST") return kMetodo;
        if (metodo == "POST" && !OrigemAceita(Cabecalho(c, "Origin"), e_.autoridade))
            return kProibido;
        if (const std::string_view tamanho = Cabecalho(c, "Content-Length"); !tamanho.empty()) {
            const auto n = LeDecimalPedido(tamanho, 0, 1e18);
            if (!n || *n > static_cast<double>(kMaxCorpo)) return kGrande;
        }
        p.sem_barra = url.empty();
        if (!url.empty()) p.rota = url.substr(1);
        return 0;
    }

    Resposta Atende(MHD_Connection* c, const Pedido& p) {
        // Relative addresses of the page need the folder's slash.
        if (p.sem_barra) return {kMovido, "", kTipoJson, "/" + e_.token + "/"};
        if (p.rota.starts_with("api/")) return Api(c, p);
        if (p.post) return Erro(kMetodo, "Metodo nao aceito");
        for (std::size_t i = 0; i < kTotalArquivosPagina; ++i)
            if (kArquivosPagina[i].nome == p.rota)
                return {kOk, std::string(kArquivosPagina[i].conteudo),
                        TipoDoArquivo(p.rota.empty() ? "index.html" : p.rota)};
        return Erro(kNaoAchado, "Nada aqui");
    }

  private:
    Resposta Api(MHD_Connection* c, const Pedido& p) {
        const std::string_view nome = std::string_view(p.rota).substr(4);
        if (nome == "estado" && !p.post) return Estado();
        if (nome == "pagina" && !p.post) return PaginaRelatorio(c);
        if (nome == "desenho" && p.post) return Desenho(c, p);
        if (nome == "mover" && p.post) return Mover(c, p);
        if (nome == "salvar" && p.post) return Salvar(p);
        return Erro(kNaoAchado, "Nada aqui");
    }

    Resposta Estado() {
        const std::lock_guard<std::mutex> guarda(e_.formulario_em_uso);
        const FormularioEditado& f = e_.formulario;
        const ProgramasVistas& v = e_.desenhista->programas();
        std::string j = "{\"relatorio\":" + TextoJson(e_.relatorio, Conjunto::utf8) +
                        ",\"formulario\":" + TextoJson(f.caminho(), Conjunto::utf8) +
                        ",\"existe\":" + (f.existe() ? "true" : "false") + ",\"conjunto\":\"" +
                        (f.conjunto() == Conjunto::utf8 ? "utf-8" : "latin1") +
                        "\",\"paginas\":" + std::to_string(e_.amostra.Paginas()) +
                        ",\"vistas\":{\"morvel\":" + (v.Tem(Vista::morvel) ? "true" : "false") +
                        ",\"morvex\":" + (v.Tem(Vista::morvex) ? "true" : "false") +
                        "},\"texto\":" + TextoJson(f.texto(), f.conjunto()) + "}";
        return {kOk, std::move(j)};
    }

    Resposta PaginaRelatorio(MHD_Connection* c) {
        const auto n = LeInteiroPedido(Argumento(c, "n"), 1, e_.amostra.Paginas());
        const auto utf8 = LeInteiroPedido(Argumento(c, "utf8"), 0, 1);
        if (!n || !utf8) return Erro(kPedidoRuim, "Pagina invalida");
        const Conjunto conjunto = *utf8 != 0 ? Conjunto::utf8 : Conjunto::latin1;
        std::string j = "{\"pagina\":" + std::to_string(*n) + ",\"linhas\":[";
        bool primeira = true;
        for (const LinhaRelatorio& l : e_.amostra.Linhas(*n, *utf8 != 0)) {
            j += primeira ? "{\"t\":" : ",{\"t\":";
            j += TextoJson(l.texto, conjunto) + ",\"s\":" + std::to_string(l.secao) +
                 ",\"m\":" + (l.marcador ? "true" : "false") + "}";
            primeira = false;
        }
        return {kOk, j + "]}"};
    }

    std::optional<std::string> Texto(const Pedido& p) const {
        return BytesDoEditor(p.corpo, e_.formulario.conjunto());
    }

    Resposta Desenho(MHD_Connection* c, const Pedido& p) {
        PedidoDesenho d;
        const auto texto = Texto(p);
        const auto pagina = LeInteiroPedido(Argumento(c, "pagina"), 1, e_.amostra.Paginas());
        const auto lado = LeInteiroPedido(Argumento(c, "lado"), 0, 1);
        const auto dpi = LeDecimalPedido(Argumento(c, "dpi"), kDpiMinimo, kDpiMaximo);
        const auto grade = LeInteiroPedido(Argumento(c, "grade"), 0, 1);
        const std::string_view vista = Argumento(c, "vista");
        if (!texto) return Erro(kRecusado, "Caractere fora do conjunto do formulario");
        if (!pagina || !lado || !dpi || !grade) return Erro(kPedidoRuim, "Pedido invalido");
        if (vista == "morvel")
            d.vista = Vista::morvel;
        else if (vista == "morvex")
            d.vista = Vista::morvex;
        else if (vista != "morvpdf")
            return Erro(kPedidoRuim, "Vista invalida");
        if (!e_.desenhista->programas().Tem(d.vista)) return Erro(kRecusado, "Vista indisponivel");
        d.texto = std::move(*texto);
        d.pagina = *pagina;
        d.lado = *lado;
        d.dpi = *dpi;
        d.grade = *grade != 0;
        RespostaDesenho r = e_.desenhista->Desenha(d);
        return {r.status, std::move(r.json)};
    }

    Resposta Mover(MHD_Connection* c, const Pedido& p) {
        const auto linha = LeInteiroPedido(Argumento(c, "linha"), 1, kUltimaLinha);
        const auto dx = LeDecimalPedido(Argumento(c, "dx"), -kMaxMovimento, kMaxMovimento);
        const auto dy = LeDecimalPedido(Argumento(c, "dy"), -kMaxMovimento, kMaxMovimento);
        const auto texto = Texto(p);
        if (!linha || !dx || !dy) return Erro(kPedidoRuim, "Movimento invalido");
        if (!texto) return Erro(kRecusado, "Caractere fora do conjunto do formulario");
        const auto atual = LinhaDoTexto(*texto, *linha);
        const auto nova = atual ? MoveObjeto(*atual, *dx, *dy) : std::nullopt;
        if (!nova) return Erro(kRecusado, "Linha sem objeto que se mova");
        return {kOk, "{\"linha\":" + std::to_string(*linha) + ",\"texto\":" +
                         TextoJson(*nova, e_.formulario.conjunto()) + "}"};
    }

    Resposta Salvar(const Pedido& p) {
        const auto texto = Texto(p);
        if (!texto) return Erro(kRecusado, "Caractere fora do conjunto do formulario");
        const std::lock_guard<std::mutex> guarda(e_.formulario_em_uso);
        std::string erro;
        if (!e_.formulario.Grava(*texto, erro)) return Erro(kRecusado, erro);
        return {kOk, "{\"salvo\":" + TextoJson(e_.formulario.caminho(), Conjunto::utf8) + "}"};
    }

    Estudio& e_;
};

namespace {

MHD_Result Acesso(void* cls, MHD_Connection* c, const char* url, const char* metodo,
                  const char*, const char* dados, std::size_t* tamanho, void** estado) {
    RotasEstudio& rotas = *static_cast<RotasEstudio*>(cls);
    auto* p = static_cast<Pedido*>(*estado);
    if (p == nullptr) {
        p = new Pedido;
        *estado = p;
        p->post = std::string_view(metodo) == "POST";
        const int recusa = rotas.Recusa(c, url, metodo, *p);
        if (recusa == 0) return MHD_YES;
        p->respondido = true;
        const char* mensagem = recusa == kGrande ? "Pedido grande demais" : recusa == kMetodo
                                                                               ? "Metodo nao aceito"
                                                                               : "Proibido";
        return Envia(c, Erro(recusa, mensagem));
    }
    if (*tamanho > 0) {
        if (!p->grande && p->corpo.size() + *tamanho > kMaxCorpo) {
            p->grande = true;
            p->corpo.clear();
        }
        if (p->grande) {
            p->descartados += *tamanho;
            if (p->descartados > kMaxDescarte) return MHD_NO;
        } else if (!p->respondido) {
            p->corpo.append(dados, *tamanho);
        }
        *tamanho = 0;
        return MHD_YES;
    }
    if (p->respondido) return MHD_YES;
    p->respondido = true;
    if (p->grande) return Envia(c, Erro(kGrande, "Pedido grande demais"));
    return Envia(c, rotas.Atende(c, *p));
}

void Completo(void*, MHD_Connection*, void** estado, MHD_RequestTerminationCode) {
    delete static_cast<Pedido*>(*estado);
    *estado = nullptr;
}

}  // namespace

Servidor::Servidor(Estudio& estudio) : estudio_(estudio) {}

Servidor::~Servidor() {
    Para();
}

bool Servidor::Inicia(const std::string& endereco, int porta, std::string& erro) {
    rotas_ = std::make_unique<RotasEstudio>(estudio_);
    sockaddr_storage local{};
    unsigned flags = MHD_USE_THREAD_PER_CONNECTION | MHD_USE_INTERNAL_POLLING_THREAD;
    if (inet_pton(AF_INET, endereco.c_str(), &reinterpret_cast<sockaddr_in*>(&local)->sin_addr) == 1) {
        auto* v4 = reinterpret_cast<sockaddr_in*>(&local);
        v4->sin_family = AF_INET;
        v4->sin_port = htons(static_cast<std::uint16_t>(porta));
    } else if (inet_pton(AF_INET6, endereco.c_str(),
                         &reinterpret_cast<sockaddr_in6*>(&local)->sin6_addr) == 1) {
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&local);
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(static_cast<std::uint16_t>(porta));
        flags |= MHD_USE_IPv6;
    } else {
        erro = "Endereco invalido [" + endereco + "]";
        return false;
    }
    errno = 0;
    daemon_ = MHD_start_daemon(
        flags, static_cast<std::uint16_t>(porta), nullptr, nullptr, Acesso, rotas_.get(),
        MHD_OPTION_SOCK_ADDR, reinterpret_cast<sockaddr*>(&local), MHD_OPTION_CONNECTION_LIMIT,
        kMaxConexoes, MHD_OPTION_PER_IP_CONNECTION_LIMIT, kMaxConexoesPorEndereco,
        MHD_OPTION_CONNECTION_TIMEOUT, kSegundosOcioso, MHD_OPTION_CONNECTION_MEMORY_LIMIT,
        kMemoriaConexao, MHD_OPTION_NOTIFY_COMPLETED, Completo, nullptr, MHD_OPTION_END);
    if (daemon_ == nullptr) {
        erro = "Erro ao escutar em [" + Autoridade(endereco, porta) + "]" +
               (errno != 0 ? std::string(" (") + std::strerror(errno) + ")" : std::string());
        return false;
    }
    const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT);
    porta_ = info != nullptr ? info->port : porta;
    return true;
}

void Servidor::Para() {
    if (daemon_ == nullptr) return;
    MHD_stop_daemon(daemon_);
    daemon_ = nullptr;
}
