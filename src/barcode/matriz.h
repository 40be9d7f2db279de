#pragma once
// Two-dimensional codes (QR code, Data Matrix): a text becomes a square of modules. The
// symbols are encoded by libzint; this is the one file that knows it.
#include <optional>
#include <string_view>
#include <vector>

// The symbologies a format may name, by the word it names them with.
enum class TipoMatriz { qrcode_l, qrcode_m, qrcode_q, qrcode_h, datamatrix };
std::optional<TipoMatriz> TipoMatrizDe(std::string_view nome);

// Dots to the inch in which a module's side is a whole number: both printers draw at 300 dpi
// or a multiple of it, so a module of whole dots prints crisp and the same size in every job.
constexpr int kPontosModulo = 300;
// A symbol takes at most this many dots a side (18 inches, more than any sheet), whatever side
// the format gives: the raster of a PCL job grows with it.
constexpr int kMaxPontosMatriz = 18 * kPontosModulo;

// One encoded symbol, rows top first, each packed eight modules to a byte, first module in the
// most significant bit, a set bit for a dark module (bits after the last module are clear).
struct SimboloMatriz {
    int largura = 0;  // modules in a row
    int altura = 0;   // rows of modules
    int modulo = 0;   // side of a module in 1/300-inch dots (set by the caller that sizes it)
    std::vector<unsigned char> linhas;

    int BytesLinha() const { return (largura + 7) / 8; }
    const unsigned char* Linha(int linha) const {
        return linhas.data() +
               static_cast<std::size_t>(linha) * static_cast<std::size_t>(BytesLinha());
    }
    bool Escuro(int linha, int coluna) const {
        return (Linha(linha)[coluna / 8] & (0x80u >> (coluna % 8))) != 0;
    }
};

// The text's bytes as they are, in the smallest symbol of the type that holds them; with
// `eci_utf8` the symbol declares its bytes UTF-8 (ECI 26). Nothing when the type cannot hold
// the text.
std::optional<SimboloMatriz> CodificaMatriz(TipoMatriz tipo, std::string_view texto, bool eci_utf8);

// The largest module, in whole 1/300-inch dots, with which `modulos` modules fit in `lado`
// inches (and in kMaxPontosMatriz); 0 when not even one dot a module fits.
int ModuloMatriz(float lado, int modulos);
