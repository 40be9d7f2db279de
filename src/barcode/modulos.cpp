#include "barcode/modulos.h"

namespace {

// Modules the row can hold; the encoders' length limits keep every symbol below it.
constexpr int kMaxModulos = static_cast<int>(kLinhaCodigo) * 8;

}  // namespace

Modulos::Modulos(LinhaCodigo& linha, Marca marca) : linha_(linha), marca_(marca) {
    linha_.fill(0);
}

void Modulos::PoeBit(char modulo) {
    if (total_ >= kMaxModulos) return;  // never write past the row, whatever the caller sends
    const bool barra = modulo == '1';
    const bool marca = marca_ == Marca::Barras ? barra : !barra;
    if (marca) linha_[static_cast<std::size_t>(total_ / 8)] |= 0x80u >> (total_ % 8);
    ++total_;
}

void Modulos::PoeSeq(std::string_view modulos) {
    for (char c : modulos)
        PoeBit(c);
}

void Modulos::PoeLarguras(std::string_view larguras) {
    char tipo = '1';
    for (char largura : larguras) {
        for (int i = 0; i < largura - '0'; ++i)
            PoeBit(tipo);
        tipo = tipo == '1' ? '0' : '1';
    }
}
