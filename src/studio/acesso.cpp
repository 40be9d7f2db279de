#include "studio/acesso.h"

#include <sys/random.h>

#include <cctype>
#include <cerrno>

namespace {

// 128 bits: no one on the machine can guess it in the life of a studio.
constexpr std::size_t kBytesToken = 16;
constexpr char kHex[] = "0123456789abcdef";

bool IguaisSemCaixa(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

std::optional<std::string> NovoToken() {
    unsigned char bytes[kBytesToken];
    std::size_t lidos = 0;
    while (lidos < sizeof bytes) {
        const ssize_t n = getrandom(bytes + lidos, sizeof bytes - lidos, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::nullopt;
        lidos += static_cast<std::size_t>(n);
    }
    std::string token;
    for (const unsigned char b : bytes) {
        token += kHex[b >> 4];
        token += kHex[b & 0x0F];
    }
    return token;
}

bool TokenIgual(std::string_view recebido, std::string_view token) {
    if (recebido.size() != token.size()) return false;
    unsigned char diferenca = 0;
    for (std::size_t i = 0; i < token.size(); ++i)
        diferenca |= static_cast<unsigned char>(recebido[i] ^ token[i]);
    return diferenca == 0;
}

std::string Autoridade(const std::string& endereco, int porta) {
    const bool ipv6 = endereco.find(':') != std::string::npos;
    return (ipv6 ? "[" + endereco + "]" : endereco) + ":" + std::to_string(porta);
}

bool HostAceito(std::string_view host, std::string_view autoridade) {
    return IguaisSemCaixa(host, autoridade);
}

bool OrigemAceita(std::string_view origem, std::string_view autoridade) {
    constexpr std::string_view kEsquema = "http://";
    return origem.size() > kEsquema.size() && IguaisSemCaixa(origem.substr(0, kEsquema.size()), kEsquema) &&
           IguaisSemCaixa(origem.substr(kEsquema.size()), autoridade);
}
