// The fonts of the PDF's texts. fontconfig finds the URW base-35 OpenType fonts, which have the
// metrics of morvel's printer fonts; HarfBuzz gives each character's glyph and its advance, and
// subsets each font to the glyphs a document used when the document ends. Each font goes into
// the document as a composite font whose character codes are the glyph ids (so a page can be
// written before its font's subset exists), with the widths and a map back to Unicode.
#include "pdf/fontes.h"

#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb-subset.h>
#include <hb.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <memory>
#include <new>
#include <set>
#include <string>

#include "codificacao/utf8.h"
#include "pdf/compressao.h"
#include "pdf/escritor.h"

namespace {

// ---- The six fonts, as fontconfig is asked for them.
struct Pedido {
    const char* familia;
    const char* nome;  // as the operator is told of it when it is missing
    int peso;
    int inclinacao;
    bool monoespacada;
};
constexpr Pedido kPedidos[kNumFontes] = {
    {"Nimbus Sans", "Nimbus Sans", FC_WEIGHT_REGULAR, FC_SLANT_ROMAN, false},
    {"Nimbus Sans", "Nimbus Sans Bold", FC_WEIGHT_BOLD, FC_SLANT_ROMAN, false},
    {"Nimbus Sans", "Nimbus Sans Italic", FC_WEIGHT_REGULAR, FC_SLANT_ITALIC, false},
    {"Nimbus Mono PS", "Nimbus Mono PS", FC_WEIGHT_REGULAR, FC_SLANT_ROMAN, true},
    {"Nimbus Mono PS", "Nimbus Mono PS Bold", FC_WEIGHT_BOLD, FC_SLANT_ROMAN, true},
    {"Nimbus Mono PS", "Nimbus Mono PS Italic", FC_WEIGHT_REGULAR, FC_SLANT_ITALIC, true},
};
// The outlines are embedded as they are in the font: compact font format outlines.
constexpr const char* kFormatoFonte = "CFF";
constexpr hb_tag_t kTabelaCFF = HB_TAG('C', 'F', 'F', ' ');

// A PDF font's widths and metrics are in thousandths of the font size.
constexpr double kMilesimos = 1000.0;
// The characters below this are looked up in a table of their own: they are nearly all a
// form prints.
constexpr char32_t kTabelaRapida = 256;

// Font descriptor flags: fixed pitch, symbolic (glyphs not named by a standard encoding, as
// a composite font's are), italic.
constexpr int kFlagFixa = 1, kFlagSimbolica = 4, kFlagItalica = 64;
// Stem widths for the descriptor, which readers only use to choose a substitute for a font
// that is not embedded; ours always is.
constexpr int kHasteNormal = 80, kHasteNegrito = 140;
// A subset's name begins with six capital letters and a plus sign.
constexpr int kLetrasSubconjunto = 6;
// A ToUnicode block maps at most this many codes.
constexpr std::size_t kMaximoPorBloco = 100;

struct FaceHB {
    void operator()(hb_face_t* f) const { hb_face_destroy(f); }
};
struct FonteHB {
    void operator()(hb_font_t* f) const { hb_font_destroy(f); }
};

struct Fonte {
    std::unique_ptr<hb_face_t, FaceHB> face;
    std::unique_ptr<hb_font_t, FonteHB> fonte;
    unsigned glifos = 0;
    unsigned upem = 1000;
    std::string nome_ps;
    std::uint16_t rapida[kTabelaRapida] = {};  // glyph of each code below kTabelaRapida; 0: none
    std::vector<int> avancos;                  // of each glyph, in font units
    std::vector<char32_t> caracteres;          // the first character the run drew with each glyph
};
Fonte fontes[kNumFontes];
bool procuradas = false;
// The names of the fonts not found, in order.
std::vector<std::string> faltando;
// In this run: the missing fonts were reported; the characters without a glyph reported.
bool faltas_avisadas = false;
std::set<char32_t> sem_glifo_avisados;

// The font file fontconfig gives for the request, or empty when it has no such font: only the
// family asked for, in the weight and slant asked for, in the outline format embedded.
std::string ProcuraArquivo(const Pedido& p, int& indice) {
    FcPattern* pedido = FcPatternCreate();
    FcPatternAddString(pedido, FC_FAMILY, reinterpret_cast<const FcChar8*>(p.familia));
    FcPatternAddInteger(pedido, FC_WEIGHT, p.peso);
    FcPatternAddInteger(pedido, FC_SLANT, p.inclinacao);
    FcPatternAddString(pedido, FC_FONTFORMAT, reinterpret_cast<const FcChar8*>(kFormatoFonte));
    FcConfigSubstitute(nullptr, pedido, FcMatchPattern);
    FcDefaultSubstitute(pedido);
    FcResult resultado;
    FcPattern* achado = FcFontMatch(nullptr, pedido, &resultado);
    FcPatternDestroy(pedido);
    if (achado == nullptr) return {};
    FcChar8* familia = nullptr;
    FcChar8* formato = nullptr;
    FcChar8* arquivo = nullptr;
    int peso = -1, inclinacao = -1;
    std::string r;
    // fontconfig gives its best match whatever it holds: another family would be another form.
    if (FcPatternGetString(achado, FC_FAMILY, 0, &familia) == FcResultMatch &&
        FcStrCmpIgnoreCase(familia, reinterpret_cast<const FcChar8*>(p.familia)) == 0 &&
        FcPatternGetString(achado, FC_FONTFORMAT, 0, &formato) == FcResultMatch &&
        FcStrCmp(formato, reinterpret_cast<const FcChar8*>(kFormatoFonte)) == 0 &&
        FcPatternGetInteger(achado, FC_WEIGHT, 0, &peso) == FcResultMatch && peso == p.peso &&
        FcPatternGetInteger(achado, FC_SLANT, 0, &inclinacao) == FcResultMatch &&
        inclinacao == p.inclinacao &&
        FcPatternGetString(achado, FC_FILE, 0, &arquivo) == FcResultMatch) {
        r = reinterpret_cast<const char*>(arquivo);
        if (FcPatternGetInteger(achado, FC_INDEX, 0, &indice) != FcResultMatch) indice = 0;
    }
    FcPatternDestroy(achado);
    return r;
}

bool Abre(Fonte& f, const std::string& arquivo, int indice) {
    hb_blob_t* blob = hb_blob_create_from_file_or_fail(arquivo.c_str());
    if (blob == nullptr) return false;
    f.face.reset(hb_face_create(blob, static_cast<unsigned>(indice)));
    hb_blob_destroy(blob);
    hb_blob_t* cff = hb_face_reference_table(f.face.get(), kTabelaCFF);
    const bool tem_cff = hb_blob_get_length(cff) > 0;
    hb_blob_destroy(cff);
    f.glifos = hb_face_get_glyph_count(f.face.get());
    if (!tem_cff || f.glifos == 0 || f.glifos > 0xFFFF) return false;
    f.upem = hb_face_get_upem(f.face.get());
    // The font's own units: advances come as the font stores them, unrounded.
    f.fonte.reset(hb_font_create(f.face.get()));
    hb_font_set_scale(f.fonte.get(), static_cast<int>(f.upem), static_cast<int>(f.upem));
    std::vector<hb_codepoint_t> ids(f.glifos);
    std::vector<hb_position_t> avancos(f.glifos);
    for (unsigned g = 0; g < f.glifos; ++g)
        ids[g] = g;
    hb_font_get_glyph_h_advances(f.fonte.get(), f.glifos, ids.data(), sizeof ids[0], avancos.data(),
                                 sizeof avancos[0]);
    f.avancos.assign(avancos.begin(), avancos.end());
    f.caracteres.assign(f.glifos, 0);
    for (char32_t c = 0; c < kTabelaRapida; ++c) {
        hb_codepoint_t g = 0;
        if (hb_font_get_nominal_glyph(f.fonte.get(), c, &g) && g < f.glifos)
            f.rapida[c] = static_cast<std::uint16_t>(g);
    }
    char nome[128];
    unsigned tamanho = sizeof nome;
    hb_ot_name_get_utf8(f.face.get(), HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &tamanho,
                        nome);
    f.nome_ps = tamanho > 0 ? nome : "Fonte";
    return true;
}

void Procura() {
    procuradas = true;
    if (!FcInit()) {
        for (const Pedido& p : kPedidos)
            faltando.emplace_back(p.nome);
        return;
    }
    for (std::size_t i = 0; i < kNumFontes; ++i) {
        int indice = 0;
        const std::string arquivo = ProcuraArquivo(kPedidos[i], indice);
        if (arquivo.empty() || !Abre(fontes[i], arquivo, indice))
            faltando.emplace_back(kPedidos[i].nome);
    }
}

std::uint16_t Glifo(Fonte& f, char32_t c) {
    if (c < kTabelaRapida) return f.rapida[c];
    hb_codepoint_t g = 0;
    if (!hb_font_get_nominal_glyph(f.fonte.get(), c, &g) || g >= f.glifos) return 0;
    return static_cast<std::uint16_t>(g);
}

// ---- Writing a font into a document.
void PoeNumero(std::string& s, double v) {
    char texto[32];
    const auto [fim, erro] =
        std::to_chars(texto, texto + sizeof texto, v, std::chars_format::general, 8);
    s.append(texto, erro == std::errc() ? fim : texto);
}

void PoeHex(std::string& s, unsigned valor, int digitos) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (int d = digitos - 1; d >= 0; --d)
        s += kHex[(valor >> (4 * d)) & 0xF];
}

// In thousandths of the font size.
double Milesimos(const Fonte& f, double unidades) {
    return unidades * kMilesimos / f.upem;
}

std::vector<std::uint16_t> Usados(const GlifosUsados& usados, std::size_t i, const Fonte& f) {
    std::vector<std::uint16_t> r;
    for (unsigned g = 0; g < f.glifos; ++g)
        if (usados.Tem(i, static_cast<std::uint16_t>(g)))
            r.push_back(static_cast<std::uint16_t>(g));
    return r;
}

std::string TabelaCFF(hb_face_t* face) {
    hb_blob_t* cff = hb_face_reference_table(face, kTabelaCFF);
    unsigned tamanho = 0;
    const char* dados = hb_blob_get_data(cff, &tamanho);
    std::string r = dados != nullptr ? std::string(dados, tamanho) : std::string();
    hb_blob_destroy(cff);
    return r;
}

// The compact outlines of the glyphs, at their own glyph ids, and .notdef, which every font
// program must have. Nothing but the outlines is kept: the rest of the font (its layout rules
// among them, which would pull in more glyphs) has no use in the document.
std::string Subconjunto(const Fonte& f, const std::vector<std::uint16_t>& glifos) {
    hb_subset_input_t* entrada = hb_subset_input_create_or_fail();
    if (entrada == nullptr) throw std::bad_alloc();
    hb_set_t* conjunto = hb_subset_input_glyph_set(entrada);
    hb_set_add(conjunto, 0);
    for (const std::uint16_t g : glifos)
        hb_set_add(conjunto, g);
    hb_subset_input_set_flags(entrada,
                              HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_DESUBROUTINIZE);
    hb_set_t* descartadas = hb_subset_input_set(entrada, HB_SUBSET_SETS_DROP_TABLE_TAG);
    unsigned n = hb_face_get_table_tags(f.face.get(), 0, nullptr, nullptr);
    std::vector<hb_tag_t> tabelas(n);
    hb_face_get_table_tags(f.face.get(), 0, &n, tabelas.data());
    for (unsigned k = 0; k < n; ++k)
        if (tabelas[k] != kTabelaCFF) hb_set_add(descartadas, tabelas[k]);
    hb_face_t* sub = hb_subset_or_fail(f.face.get(), entrada);
    hb_subset_input_destroy(entrada);
    // A font the subsetter cannot cut goes whole: its glyph ids are the same, so the pages
    // written with them stay right.
    std::string r = sub != nullptr ? TabelaCFF(sub) : std::string();
    if (sub != nullptr) hb_face_destroy(sub);
    return r.empty() ? TabelaCFF(f.face.get()) : r;
}

// The subset's name: six capitals from the glyphs it holds, so that two subsets of one font
// differ in name and the same run gives the same name.
std::string NomeSubconjunto(const Fonte& f, std::size_t i,
                            const std::vector<std::uint16_t>& glifos) {
    std::uint64_t h = 1469598103934665603ull + i;
    for (const std::uint16_t g : glifos)
        h = (h ^ g) * 1099511628211ull;
    std::string nome;
    for (int k = 0; k < kLetrasSubconjunto; ++k, h /= 26)
        nome += static_cast<char>('A' + h % 26);
    return nome + "+" + f.nome_ps;
}

// The widths of the glyphs: the commonest one as the default, the others one by one, in runs of
// consecutive glyph ids.
std::string Larguras(const Fonte& f, const std::vector<std::uint16_t>& glifos, int& padrao) {
    std::map<int, int> contagem;
    for (const std::uint16_t g : glifos)
        ++contagem[f.avancos[g]];
    padrao = 0;
    int maior = 0;
    for (const auto& [avanco, vezes] : contagem)
        if (vezes > maior) {
            maior = vezes;
            padrao = avanco;
        }
    std::string w = "[";
    int anterior = -2;
    for (const std::uint16_t g : glifos) {
        if (f.avancos[g] == padrao) continue;
        if (g != anterior + 1) {
            if (anterior >= 0) w += "]";
            w += std::to_string(g) + "[";
        } else {
            w += ' ';
        }
        PoeNumero(w, Milesimos(f, f.avancos[g]));
        anterior = g;
    }
    if (anterior >= 0) w += "]";
    return w + "]";
}

// Each glyph back to the character it was drawn for, so that the text can be searched and
// copied: runs of consecutive glyphs that stand for consecutive characters (the letters and
// digits, in the fonts' order) as one range each, the others one by one.
struct GlifoCaractere {
    std::uint16_t glifo;
    char32_t caractere;
};

void PoeCaractere(std::string& m, char32_t c) {
    if (c > 0xFFFF) {
        PoeHex(m, 0xD800 + ((c - 0x10000) >> 10), 4);
        PoeHex(m, 0xDC00 + ((c - 0x10000) & 0x3FF), 4);
    } else {
        PoeHex(m, c, 4);
    }
}

std::string MapaUnicode(const std::vector<GlifoCaractere>& mapa) {
    // Runs stay within one block of 256 codes, as the map's ranges must.
    std::vector<std::pair<std::size_t, std::size_t>> faixas, avulsos;
    for (std::size_t i = 0; i < mapa.size();) {
        std::size_t fim = i + 1;
        while (fim < mapa.size() && mapa[fim].glifo == mapa[fim - 1].glifo + 1 &&
               mapa[fim].caractere == mapa[fim - 1].caractere + 1 && mapa[fim].glifo % 256 != 0 &&
               mapa[fim].caractere <= 0xFFFF && (mapa[fim].caractere & 0xFF) != 0)
            ++fim;
        (fim - i > 1 ? faixas : avulsos).emplace_back(i, fim);
        i = fim;
    }
    std::string m =
        "/CIDInit/ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo<</Registry(Adobe)/Ordering(UCS)/Supplement 0>>def\n"
        "/CMapName/Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<0000><FFFF>\nendcodespacerange\n";
    for (std::size_t k = 0; k < faixas.size(); k += kMaximoPorBloco) {
        const std::size_t fim = std::min(faixas.size(), k + kMaximoPorBloco);
        m += std::to_string(fim - k) + " beginbfrange\n";
        for (std::size_t j = k; j < fim; ++j) {
            const auto [primeiro, depois] = faixas[j];
            m += '<';
            PoeHex(m, mapa[primeiro].glifo, 4);
            m += "><";
            PoeHex(m, mapa[depois - 1].glifo, 4);
            m += "><";
            PoeCaractere(m, mapa[primeiro].caractere);
            m += ">\n";
        }
        m += "endbfrange\n";
    }
    for (std::size_t k = 0; k < avulsos.size(); k += kMaximoPorBloco) {
        const std::size_t fim = std::min(avulsos.size(), k + kMaximoPorBloco);
        m += std::to_string(fim - k) + " beginbfchar\n";
        for (std::size_t j = k; j < fim; ++j) {
            const GlifoCaractere& gc = mapa[avulsos[j].first];
            m += '<';
            PoeHex(m, gc.glifo, 4);
            m += "><";
            PoeCaractere(m, gc.caractere);
            m += ">\n";
        }
        m += "endbfchar\n";
    }
    return m + "endcmap\nCMapName currentdict/CMap defineresource pop\nend\nend\n";
}

// The map of the glyphs of every font used, when each glyph id stands for the same character
// in all of them (the fonts of one family of outlines share their glyph order): then one map
// serves them all. Empty when two fonts disagree.
std::vector<GlifoCaractere> MapaComum(const GlifosUsados& usados) {
    std::map<std::uint16_t, char32_t> comum;
    for (std::size_t i = 0; i < kNumFontes; ++i) {
        if (!usados.Usa(i) || !fontes[i].fonte) continue;
        for (const std::uint16_t g : Usados(usados, i, fontes[i])) {
            const char32_t c = fontes[i].caracteres[g];
            if (c == 0) continue;
            const auto [item, novo] = comum.emplace(g, c);
            if (!novo && item->second != c) return {};
        }
    }
    std::vector<GlifoCaractere> r;
    for (const auto& [g, c] : comum)
        r.push_back({g, c});
    return r;
}

std::vector<GlifoCaractere> MapaDaFonte(const Fonte& f, const std::vector<std::uint16_t>& glifos) {
    std::vector<GlifoCaractere> r;
    for (const std::uint16_t g : glifos)
        if (f.caracteres[g] != 0) r.push_back({g, f.caracteres[g]});
    return r;
}

int EscreveMapa(Escritor& e, const std::vector<GlifoCaractere>& mapa) {
    std::string comprimido;
    Comprime(MapaUnicode(mapa), comprimido, Compressao::maxima);
    const int objeto = e.Reserva();
    e.Fluxo(objeto, kFiltroCompressao, comprimido);
    return objeto;
}

// The box that holds every glyph of the subset, in thousandths of the font size.
std::string Caixa(const Fonte& f, const std::vector<std::uint16_t>& glifos) {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    for (const std::uint16_t g : glifos) {
        hb_glyph_extents_t e;
        if (!hb_font_get_glyph_extents(f.fonte.get(), g, &e)) continue;
        x0 = std::min<double>(x0, e.x_bearing);
        x1 = std::max<double>(x1, e.x_bearing + e.width);
        y1 = std::max<double>(y1, e.y_bearing);
        y0 = std::min<double>(y0, e.y_bearing + e.height);
    }
    std::string s = "[";
    for (const double v : {x0, y0, x1, y1}) {
        PoeNumero(s, Milesimos(f, v));
        s += ' ';
    }
    s.back() = ']';
    return s;
}

hb_position_t Metrica(const Fonte& f, hb_ot_metrics_tag_t tag) {
    hb_position_t v = 0;
    hb_ot_metrics_get_position(f.fonte.get(), tag, &v);
    return v;
}

// Writes font i, subset to the glyphs used, as object `objeto`, with the map back to Unicode
// of object `unicode` (0: a map of its own).
void EscreveFonte(Escritor& e, std::size_t i, const GlifosUsados& usados, int objeto, int unicode) {
    const Fonte& f = fontes[i];
    const Pedido& p = kPedidos[i];
    const std::vector<std::uint16_t> glifos = Usados(usados, i, f);
    const std::string nome = NomeSubconjunto(f, i, glifos);
    std::string comprimido;

    const int programa = e.Reserva();
    Comprime(Subconjunto(f, glifos), comprimido, Compressao::maxima);
    e.Fluxo(programa, std::string("/Subtype/CIDFontType0C") + std::string(kFiltroCompressao),
            comprimido);

    const int descritor = e.Reserva();
    const bool italica = p.inclinacao != FC_SLANT_ROMAN;
    const int flags =
        kFlagSimbolica | (p.monoespacada ? kFlagFixa : 0) | (italica ? kFlagItalica : 0);
    std::string d = "<</Type/FontDescriptor/FontName/" + nome + "/Flags " + std::to_string(flags) +
                    "/FontBBox" + Caixa(f, glifos) + "/ItalicAngle ";
    PoeNumero(d, hb_style_get_value(f.fonte.get(), HB_STYLE_TAG_SLANT_ANGLE));
    d += "/Ascent ";
    PoeNumero(d, Milesimos(f, Metrica(f, HB_OT_METRICS_TAG_HORIZONTAL_ASCENDER)));
    d += "/Descent ";
    PoeNumero(d, Milesimos(f, Metrica(f, HB_OT_METRICS_TAG_HORIZONTAL_DESCENDER)));
    d += "/CapHeight ";
    PoeNumero(d, Milesimos(f, Metrica(f, HB_OT_METRICS_TAG_CAP_HEIGHT)));
    d += "/StemV " + std::to_string(p.peso == FC_WEIGHT_BOLD ? kHasteNegrito : kHasteNormal) +
         "/FontFile3 " + Referencia(programa) + ">>";
    e.Objeto(descritor, d);

    const int descendente = e.Reserva();
    int padrao = 0;
    const std::string larguras = Larguras(f, glifos, padrao);
    std::string cid = "<</Type/Font/Subtype/CIDFontType0/BaseFont/" + nome +
                      "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>"
                      "/FontDescriptor " +
                      Referencia(descritor) + "/DW ";
    PoeNumero(cid, Milesimos(f, padrao));
    cid += "/W" + larguras + ">>";
    e.Objeto(descendente, cid);

    if (unicode == 0) unicode = EscreveMapa(e, MapaDaFonte(f, glifos));
    e.Objeto(objeto, "<</Type/Font/Subtype/Type0/BaseFont/" + nome +
                         "/Encoding/Identity-H/DescendantFonts[" + Referencia(descendente) +
                         "]/ToUnicode " + Referencia(unicode) + ">>");
}

}  // namespace

bool CarregaFontes() {
    if (!procuradas) Procura();
    if (faltando.empty()) return true;
    if (!faltas_avisadas)
        for (const std::string& nome : faltando)
            std::fprintf(stderr, "Erro na abertura do arquivo [%s]\n", nome.c_str());
    faltas_avisadas = true;
    return false;
}

void DescarregaFontes() {
    if (!procuradas) return;
    for (Fonte& f : fontes)
        f = Fonte();
    faltando.clear();
    procuradas = false;
    // fontconfig keeps its configuration and caches for the life of the process.
    FcFini();
}

void EsqueceCaracteres() {
    for (Fonte& f : fontes)
        std::fill(f.caracteres.begin(), f.caracteres.end(), 0);
    sem_glifo_avisados.clear();
    faltas_avisadas = false;
}

std::uint64_t* GlifosUsados::Bits(std::size_t fonte, unsigned glifos) {
    std::vector<std::uint64_t>& b = bits_[fonte];
    const std::size_t palavras = (glifos + 63) / 64;
    if (b.size() < palavras) b.resize(palavras, 0);
    return b.data();
}

void GlifosUsados::Junta(const GlifosUsados& outros) {
    for (std::size_t i = 0; i < kNumFontes; ++i) {
        const std::vector<std::uint64_t>& o = outros.bits_[i];
        std::vector<std::uint64_t>& b = bits_[i];
        if (o.size() > b.size()) b.resize(o.size(), 0);
        for (std::size_t k = 0; k < o.size(); ++k)
            b[k] |= o[k];
    }
}

void GlifosUsados::Limpa() {
    for (std::vector<std::uint64_t>& b : bits_)
        std::fill(b.begin(), b.end(), 0);
}

bool GlifosUsados::Usa(std::size_t fonte) const {
    for (const std::uint64_t palavra : bits_[fonte])
        if (palavra != 0) return true;
    return false;
}

bool GlifosUsados::Tem(std::size_t fonte, std::uint16_t glifo) const {
    const std::vector<std::uint64_t>& b = bits_[fonte];
    const std::size_t palavra = glifo / 64;
    return palavra < b.size() && (b[palavra] >> (glifo % 64) & 1) != 0;
}

double Glifos(std::size_t indice, std::string_view texto, std::vector<std::uint16_t>& glifos,
              GlifosUsados& usados) {
    glifos.clear();
    Fonte& f = fontes[indice];
    if (!f.fonte) return 0;
    glifos.reserve(texto.size());
    std::uint64_t* const bits = usados.Bits(indice, f.glifos);
    long long avanco = 0;
    for (std::size_t i = 0; i < texto.size();) {
        char32_t c = static_cast<unsigned char>(texto[i]);
        std::size_t n = 1;
        if (c >= 0x80) {
            n = TamanhoSequencia(texto, i);
            c = n == 0 ? U'?' : CodigoUTF8(texto.substr(i, n));
            n = std::max<std::size_t>(n, 1);
        }
        i += n;
        const std::uint16_t g = Glifo(f, c);
        if (g == 0) {
            if (sem_glifo_avisados.insert(c).second)
                std::fprintf(stderr, "Caractere sem glifo [U+%04X]\n", static_cast<unsigned>(c));
            continue;
        }
        glifos.push_back(g);
        avanco += f.avancos[g];
        bits[g / 64] |= std::uint64_t{1} << (g % 64);
        if (f.caracteres[g] == 0) f.caracteres[g] = c;
    }
    return Milesimos(f, static_cast<double>(avanco));
}

CaixaGlifos CaixaDosGlifos(std::size_t indice, const std::vector<std::uint16_t>& glifos) {
    const Fonte& f = fontes[indice];
    CaixaGlifos c{0, 0, 0, 0};
    if (!f.fonte) return c;
    bool primeiro = true;
    double caneta = 0;
    for (const std::uint16_t g : glifos) {
        hb_glyph_extents_t e;
        if (hb_font_get_glyph_extents(f.fonte.get(), g, &e) && e.width != 0 && e.height != 0) {
            const double x0 = caneta + e.x_bearing, x1 = x0 + e.width;
            const double y1 = e.y_bearing, y0 = y1 + e.height;
            c = primeiro ? CaixaGlifos{x0, y0, x1, y1}
                         : CaixaGlifos{std::min(c.x0, x0), std::min(c.y0, y0), std::max(c.x1, x1),
                                       std::max(c.y1, y1)};
            primeiro = false;
        }
        caneta += f.avancos[g];
    }
    return {Milesimos(f, c.x0), Milesimos(f, c.y0), Milesimos(f, c.x1), Milesimos(f, c.y1)};
}

void EscreveFontes(Escritor& escritor, const GlifosUsados& usados,
                   std::array<int, kNumFontes>& objetos) {
    const std::vector<GlifoCaractere> comum = MapaComum(usados);
    const int unicode = comum.empty() ? 0 : EscreveMapa(escritor, comum);
    for (std::size_t i = 0; i < kNumFontes; ++i) {
        objetos[i] = 0;
        if (!usados.Usa(i) || !fontes[i].fonte) continue;
        objetos[i] = escritor.Reserva();
        EscreveFonte(escritor, i, usados, objetos[i], unicode);
    }
}
