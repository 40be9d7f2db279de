#include "barcode/matriz.h"

#include <zint.h>

#include <algorithm>
#include <memory>

#include "util/numeros.h"

namespace {

// The library's error correction levels of a QR code, L to H; 0 for a symbology without them.
constexpr int kCorrecaoL = 1, kCorrecaoM = 2, kCorrecaoQ = 3, kCorrecaoH = 4;

struct DescricaoMatriz {
    std::string_view nome;  // as a format names it
    TipoMatriz tipo;
    int simbologia;  // the library's
    int correcao;
};

// A plain "qrcode" is level M, which consumer invoices require and payment slips use.
constexpr DescricaoMatriz kTipos[] = {
    {"qrcode", TipoMatriz::qrcode_m, BARCODE_QRCODE, kCorrecaoM},
    {"qrcode-l", TipoMatriz::qrcode_l, BARCODE_QRCODE, kCorrecaoL},
    {"qrcode-q", TipoMatriz::qrcode_q, BARCODE_QRCODE, kCorrecaoQ},
    {"qrcode-h", TipoMatriz::qrcode_h, BARCODE_QRCODE, kCorrecaoH},
    {"datamatrix", TipoMatriz::datamatrix, BARCODE_DATAMATRIX, 0},
};

// The character set designator of UTF-8 among the Extended Channel Interpretations.
constexpr int kEciUtf8 = 26;
// Half the library's default scale: one raster pixel a module, so the pixels are the modules.
constexpr float kEscalaUmPixel = 0.5f;
// The library takes no more bytes than this for any symbology; none of ours holds as many.
constexpr std::size_t kMaxTexto = ZINT_MAX_DATA_LEN;
// A pixel this dark or darker, in the library's black-on-white raster, is a dark module.
constexpr unsigned char kLimiarEscuro = 128;

struct ApagaSimbolo {
    void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};
using Simbolo = std::unique_ptr<zint_symbol, ApagaSimbolo>;

void Configura(zint_symbol& s, TipoMatriz tipo, bool eci_utf8) {
    // The text's bytes go in as they are: no conversion of the library's own.
    s.input_mode = DATA_MODE;
    s.eci = eci_utf8 ? kEciUtf8 : 0;
    s.scale = kEscalaUmPixel;
    s.show_hrt = 0;
    for (const DescricaoMatriz& d : kTipos) {
        if (d.tipo != tipo) continue;
        s.symbology = d.simbologia;
        s.option_1 = d.correcao;
    }
    // ECC 200 is the only Data Matrix the library makes; a square one, as forms place it.
    if (tipo == TipoMatriz::datamatrix) s.option_3 = DM_SQUARE;
}

// The modules of the symbol, read off its raster (the library's public way to the modules).
std::optional<SimboloMatriz> LeModulos(const zint_symbol& s) {
    if (s.bitmap == nullptr || s.width <= 0 || s.rows <= 0 || s.bitmap_width != s.width ||
        s.bitmap_height != s.rows)
        return std::nullopt;
    SimboloMatriz m;
    m.largura = s.width;
    m.altura = s.rows;
    m.linhas.assign(static_cast<std::size_t>(m.BytesLinha()) * static_cast<std::size_t>(m.altura),
                    0);
    for (int y = 0; y < m.altura; ++y) {
        unsigned char* linha = m.linhas.data() + static_cast<std::size_t>(y) * m.BytesLinha();
        for (int x = 0; x < m.largura; ++x) {
            const std::size_t pixel = (static_cast<std::size_t>(y) * s.bitmap_width + x) * 3;
            if (s.bitmap[pixel] < kLimiarEscuro)
                linha[x / 8] |= static_cast<unsigned char>(0x80u >> (x % 8));
        }
    }
    return m;
}

}  // namespace

std::optional<TipoMatriz> TipoMatrizDe(std::string_view nome) {
    for (const DescricaoMatriz& d : kTipos)
        if (d.nome == nome) return d.tipo;
    return std::nullopt;
}

std::optional<SimboloMatriz> CodificaMatriz(TipoMatriz tipo, std::string_view texto,
                                            bool eci_utf8) {
    if (texto.empty() || texto.size() > kMaxTexto) return std::nullopt;
    Simbolo s(ZBarcode_Create());
    if (!s) return std::nullopt;
    Configura(*s, tipo, eci_utf8);
    const auto* bytes = reinterpret_cast<const unsigned char*>(texto.data());
    // Warnings (a non-standard option overridden) still give a valid symbol; errors give none.
    if (ZBarcode_Encode_and_Buffer(s.get(), bytes, static_cast<int>(texto.size()), 0) >= ZINT_ERROR)
        return std::nullopt;
    return LeModulos(*s);
}

int ModuloMatriz(float lado, int modulos) {
    if (modulos <= 0) return 0;
    const int pontos =
        std::min(Trunca(static_cast<double>(lado) * kPontosModulo), kMaxPontosMatriz);
    return pontos > 0 ? pontos / modulos : 0;
}
