#include "ps/filtros.h"

namespace {

// The codes with a meaning of their own, and the first code of a string.
constexpr int kLimpaTabela = 256;
constexpr int kFimDados = 257;
constexpr int kPrimeiroCodigo = 258;
constexpr int kMinLargura = 9, kMaxLargura = 12;
// The table is emptied once its next code would be this one: the decoder, a code behind the
// encoder and changing width one code early, then still reads codes of 12 bits.
constexpr int kCodigoLimite = 4093;
// The packed codes go to the ASCII85 writer in pieces of about this many bytes.
constexpr std::size_t kPedaco = 4096;

// The width of the codes that follow once the table's next code is `proximo`: the decoder
// widens them one code early.
int Largura(int proximo) {
    int largura = kMinLargura;
    while (largura < kMaxLargura && proximo >= (1 << largura))
        ++largura;
    return largura;
}

}  // namespace

void Ascii85::Poe(const unsigned char* bytes, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        grupo_[no_grupo_++] = bytes[i];
        if (no_grupo_ == sizeof grupo_) Grupo(sizeof grupo_);
    }
}

void Ascii85::Termina() {
    if (no_grupo_ > 0) {
        const std::size_t validos = no_grupo_;
        for (std::size_t i = validos; i < sizeof grupo_; ++i)
            grupo_[i] = 0;
        Grupo(validos);
    }
    linha_ += "~>\n";
    std::fwrite(linha_.data(), 1, linha_.size(), destino_);
    linha_.clear();
}

// Four bytes as five digits of base 85 from '!'; a whole group of zeros as 'z'; the last,
// partial group as its first bytes_validos + 1 digits.
void Ascii85::Grupo(std::size_t bytes_validos) {
    std::uint32_t valor = 0;
    for (unsigned char b : grupo_)
        valor = valor << 8 | b;
    no_grupo_ = 0;
    if (valor == 0 && bytes_validos == sizeof grupo_) {
        Caractere('z');
        return;
    }
    char digitos[5];
    for (int i = 4; i >= 0; --i) {
        digitos[i] = static_cast<char>('!' + valor % 85);
        valor /= 85;
    }
    for (std::size_t i = 0; i <= bytes_validos; ++i)
        Caractere(digitos[i]);
}

void Ascii85::Caractere(char c) {
    if (linha_.size() >= kLinhaAscii85) {
        linha_ += '\n';
        std::fwrite(linha_.data(), 1, linha_.size(), destino_);
        linha_.clear();
    }
    // Blanks are no digits to the decoder.
    if (linha_.empty() && c == '%') linha_ += ' ';
    linha_ += c;
}

Lzw::Lzw(Ascii85& destino) : destino_(destino), chaves_(kTabela, -1), codigos_(kTabela, 0) {
    largura_ = kMinLargura;
    Codigo(kLimpaTabela);
    Limpa();
}

void Lzw::Limpa() {
    std::fill(chaves_.begin(), chaves_.end(), -1);
    proximo_ = kPrimeiroCodigo;
    largura_ = kMinLargura;
}

int Lzw::Procura(int prefixo, unsigned char byte) const {
    const std::int32_t chave = prefixo << 8 | byte;
    auto slot = static_cast<std::uint32_t>(chave) * 2654435761u >> 19;  // 13 bits
    while (chaves_[slot] != -1) {
        if (chaves_[slot] == chave) return codigos_[slot];
        slot = (slot + 1) % kTabela;
    }
    return -1;
}

void Lzw::Poe(const unsigned char* bytes, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char byte = bytes[i];
        if (atual_ < 0) {
            atual_ = byte;
            continue;
        }
        const int achado = Procura(atual_, byte);
        if (achado >= 0) {
            atual_ = achado;
            continue;
        }
        Codigo(atual_);
        // The string read so far and this byte become the next code.
        const std::int32_t chave = atual_ << 8 | byte;
        auto slot = static_cast<std::uint32_t>(chave) * 2654435761u >> 19;
        while (chaves_[slot] != -1)
            slot = (slot + 1) % kTabela;
        chaves_[slot] = chave;
        codigos_[slot] = static_cast<std::uint16_t>(proximo_++);
        largura_ = Largura(proximo_);
        if (proximo_ == kCodigoLimite) {
            Codigo(kLimpaTabela);
            Limpa();
        }
        atual_ = byte;
    }
    if (bytes_.size() >= kPedaco) Despeja();
}

void Lzw::Termina() {
    if (atual_ >= 0) {
        Codigo(atual_);
        // The decoder adds a string for this code too, unless it is the first of its table,
        // and may so widen the end code.
        if (proximo_ > kPrimeiroCodigo) largura_ = Largura(proximo_ + 1);
    }
    Codigo(kFimDados);
    if (nbits_ > 0) bytes_ += static_cast<char>(bits_ << (8 - nbits_) & 0xff);
    bits_ = 0;
    nbits_ = 0;
    Despeja();
    destino_.Termina();
}

void Lzw::Codigo(int codigo) {
    bits_ = bits_ << largura_ | static_cast<std::uint32_t>(codigo);
    nbits_ += largura_;
    while (nbits_ >= 8) {
        nbits_ -= 8;
        bytes_ += static_cast<char>(bits_ >> nbits_ & 0xff);
    }
    bits_ &= (1u << nbits_) - 1;
}

void Lzw::Despeja() {
    destino_.Poe(reinterpret_cast<const unsigned char*>(bytes_.data()), bytes_.size());
    bytes_.clear();
}
