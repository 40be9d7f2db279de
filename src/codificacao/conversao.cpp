#include "codificacao/conversao.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "codificacao/utf8.h"

namespace {

// Asked of iconv after the destination's name: characters the destination lacks become their
// nearest plain ones (quotes, dashes, the ellipsis, the euro sign), or "?".
constexpr const char* kTranslitera = "//TRANSLIT";
// What a byte or a character that cannot be converted prints as.
constexpr char kSubstituto = '?';
// Room beyond the text's own size in the first output buffer: a transliteration may be longer
// than what it replaces ("EUR" for the euro sign).
constexpr std::size_t kFolga = 16;

// One past the last ASCII code.
constexpr int kCodigosAscii = 128;

const iconv_t kSemDescritor = reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1));
constexpr std::size_t kFalhaIconv = static_cast<std::size_t>(-1);

// Puts the conversion's locale in place for the life of the object, then the caller's own back.
class LocaleDaConversao {
  public:
    explicit LocaleDaConversao(locale_t local) : anterior_(uselocale(local)) {}
    ~LocaleDaConversao() { uselocale(anterior_); }
    LocaleDaConversao(const LocaleDaConversao&) = delete;
    LocaleDaConversao& operator=(const LocaleDaConversao&) = delete;

  private:
    locale_t anterior_;
};

// Where the run of well-formed UTF-8 characters that starts at texto[i] ends; i itself when no
// character starts there.
std::size_t FimBemFormado(std::string_view texto, std::size_t i) {
    for (std::size_t n; i < texto.size() && (n = TamanhoSequencia(texto, i)) > 0;)
        i += n;
    return i;
}

}  // namespace

Conversao::Conversao(const char* origem, const char* destino, const char* local)
    : descritor_(iconv_open((std::string(destino) + kTranslitera).c_str(), origem)),
      local_(newlocale(LC_ALL_MASK, local, static_cast<locale_t>(nullptr))),
      origem_utf8_(std::strcmp(origem, "UTF-8") == 0) {
    std::string ascii;
    for (int codigo = 0; codigo < kCodigosAscii; ++codigo)
        ascii += static_cast<char>(codigo);
    ascii_intacto_ = Aberta() && Converte(ascii) == ascii;
}

Conversao::~Conversao() {
    if (descritor_ != kSemDescritor) iconv_close(descritor_);
    if (local_ != static_cast<locale_t>(nullptr)) freelocale(local_);
}

bool Conversao::Aberta() const {
    return descritor_ != kSemDescritor && local_ != static_cast<locale_t>(nullptr);
}

std::string Conversao::Converte(std::string_view texto) {
    if (!Aberta() || (ascii_intacto_ && SoAscii(texto))) return std::string(texto);
    const LocaleDaConversao em_uso(local_);
    std::string convertido;
    convertido.reserve(texto.size() + kFolga);
    // iconv takes for characters some sequences that UTF-8 forbids (a code point past U+10FFFF
    // prints as one "?" where the columns count four): only well-formed runs go to it, and every
    // byte outside them is one "?", as the columns count it.
    for (std::size_t i = 0; i < texto.size();) {
        const std::size_t fim = origem_utf8_ ? FimBemFormado(texto, i) : texto.size();
        if (fim == i) {
            convertido += kSubstituto;
            ++i;
            continue;
        }
        ConverteTrecho(texto.substr(i, fim - i), convertido);
        i = fim;
    }
    return convertido;
}

void Conversao::ConverteTrecho(std::string_view texto, std::string& convertido) {
    iconv(descritor_, nullptr, nullptr, nullptr, nullptr);  // the initial shift state
    std::size_t usados = convertido.size();
    convertido.resize(usados + texto.size() + kFolga);
    // iconv takes a pointer to non-const bytes but only reads them.
    char* entrada = const_cast<char*>(texto.data());
    std::size_t restam = texto.size();
    while (restam > 0) {
        char* saida = convertido.data() + usados;
        std::size_t livres = convertido.size() - usados;
        const std::size_t r = iconv(descritor_, &entrada, &restam, &saida, &livres);
        const int erro = errno;
        usados = static_cast<std::size_t>(saida - convertido.data());
        if (r != kFalhaIconv) break;
        if (erro == E2BIG || livres == 0) {
            convertido.resize(convertido.size() * 2);
            if (erro == E2BIG) continue;
        }
        // EILSEQ or EINVAL: what stands at `entrada` is not a character that converts. A
        // well-formed character goes whole, a bad byte alone, so the rest of the text is kept.
        convertido[usados++] = kSubstituto;
        const std::string_view resto(entrada, restam);
        const std::size_t pula = origem_utf8_ ? TamanhoCaractere(resto, 0) : 1;
        entrada += pula;
        restam -= pula;
    }
    convertido.resize(usados);
}
