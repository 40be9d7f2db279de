// Matrix codes in the PCL job: raster rows at 300 dots to the inch in delta-row compression, so
// that a symbol of thousands of dots stays a few kilobytes: each row of dots sends only the bytes
// that differ from the row above it, and a row that repeats it (all but the first row of each
// row of modules) is an empty transfer.
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "barcode/matriz.h"
#include "device/dispositivo.h"
#include "pcl/pcl.h"

namespace {

// A transfer of no bytes: the row repeats the one above.
constexpr std::string_view kRepeteLinha = "\x1b*b0W";
// A command byte of the compression replaces at most this many bytes.
constexpr std::size_t kMaxSubstituidos = 8;
// Offsets up to this fit in the command byte; from it on, further bytes add to it.
constexpr std::size_t kOffsetNoComando = 31;
// A further offset byte of this value says that yet another one follows.
constexpr std::size_t kOffsetContinua = 255;

// Sets `n` bits of the row from bit `inicio` on, whole bytes at a time where it can.
void PoeBits(std::vector<unsigned char>& pontos, std::size_t inicio, std::size_t n) {
    std::size_t fim = inicio + n;
    for (; inicio < fim && inicio % 8 != 0; ++inicio)
        pontos[inicio / 8] |= static_cast<unsigned char>(0x80u >> (inicio % 8));
    for (; inicio + 8 <= fim; inicio += 8)
        pontos[inicio / 8] = 0xff;
    for (; inicio < fim; ++inicio)
        pontos[inicio / 8] |= static_cast<unsigned char>(0x80u >> (inicio % 8));
}

// The row of dots of one row of modules: each module `modulo` dots wide, a set bit prints black.
void LinhaDePontos(const SimboloMatriz& s, int linha, std::vector<unsigned char>& pontos) {
    std::fill(pontos.begin(), pontos.end(), 0);
    const auto modulo = static_cast<std::size_t>(s.modulo);
    for (int coluna = 0; coluna < s.largura; ++coluna)
        if (s.Escuro(linha, coluna))
            PoeBits(pontos, static_cast<std::size_t>(coluna) * modulo, modulo);
}

// The row in delta-row compression against the row before it (the seed row).
std::string Delta(const std::vector<unsigned char>& semente,
                  const std::vector<unsigned char>& linha) {
    std::string delta;
    std::size_t posicao = 0;  // the byte after the last one replaced
    for (std::size_t i = 0; i < linha.size();) {
        if (linha[i] == semente[i]) {
            ++i;
            continue;
        }
        std::size_t fim = i;
        while (fim < linha.size() && fim - i < kMaxSubstituidos && linha[fim] != semente[fim])
            ++fim;
        std::size_t offset = i - posicao;
        const std::size_t no_comando = std::min(offset, kOffsetNoComando);
        delta += static_cast<char>(((fim - i - 1) << 5) | no_comando);
        if (no_comando == kOffsetNoComando) {
            for (offset -= kOffsetNoComando; offset >= kOffsetContinua; offset -= kOffsetContinua)
                delta += static_cast<char>(kOffsetContinua);
            delta += static_cast<char>(offset);
        }
        delta.append(linha.begin() + static_cast<std::ptrdiff_t>(i),
                     linha.begin() + static_cast<std::ptrdiff_t>(fim));
        posicao = i = fim;
    }
    return delta;
}

}  // namespace

void DesenhaCodMatriz(float x, float y, const SimboloMatriz& s) {
    if (s.modulo < 1) return;
    std::fprintf(saida, "\x1b*p%dX", PontosX(x));
    std::fprintf(saida, "\x1b*p%dY", PontosY(y));
    std::fprintf(saida, "\x1b*t300R\x1b*r0f1A\x1b*b3M");
    const auto bytes = static_cast<std::size_t>((s.largura * s.modulo + 7) / 8);
    // Starting a raster clears the seed row: the first row is sent against white.
    std::vector<unsigned char> semente(bytes, 0), linha(bytes);
    // The rest of a module's rows repeat its first: the same empty transfers after each.
    std::string repeticoes;
    for (int k = 1; k < s.modulo; ++k)
        repeticoes += kRepeteLinha;
    for (int r = 0; r < s.altura; ++r) {
        LinhaDePontos(s, r, linha);
        const std::string delta = Delta(semente, linha);
        std::fprintf(saida, "\x1b*b%zuW", delta.size());
        std::fwrite(delta.data(), 1, delta.size(), saida);
        std::fwrite(repeticoes.data(), 1, repeticoes.size(), saida);
        semente.swap(linha);
    }
    std::fprintf(saida, "\x1b*rB");
}
