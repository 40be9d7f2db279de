// File names of the customers' files: a value captured from the report becomes a name that is
// safe in any folder and any shell, and keeps the letters a person reads in it.
#include <locale.h>
#include <wchar.h>
#include <wctype.h>

#include <string>

#include "codificacao/conversao.h"
#include "codificacao/utf8.h"
#include "pdf/pdf.h"

namespace {

// The locale whose tables know every letter and its base letter; a system without it gives
// every letter beyond ASCII as '_', as names were made before.
constexpr const char* kLocalLetras = "C.UTF-8";
// What a character outside the safe set becomes.
constexpr const char* kSubstituto = "_";

bool Permitido(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

bool LetraAscii(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A letter with marks keeps its base letter (É, ç, ñ, ø: E, c, n, o; ß and æ their two, ss and
// ae), and a mark written after its letter, or a character that shows nothing, is left out: the
// C library's transliteration into ASCII. Only letters are taken so: a sign it spells out (€ as
// EUR) stays outside the safe set.
class LetrasBase {
  public:
    LetrasBase() : local_(newlocale(LC_ALL_MASK, kLocalLetras, static_cast<locale_t>(nullptr))) {}
    ~LetrasBase() {
        if (local_ != static_cast<locale_t>(nullptr)) freelocale(local_);
    }
    LetrasBase(const LetrasBase&) = delete;
    LetrasBase& operator=(const LetrasBase&) = delete;

    // What one well-formed character beyond ASCII becomes in a name.
    std::string Nome(std::string_view caractere) {
        const std::string base = ascii_.Converte(caractere);
        if (base.empty()) return base;
        if (local_ == static_cast<locale_t>(nullptr) || !EhLetra(caractere)) return kSubstituto;
        for (const char c : base)
            if (!LetraAscii(c)) return kSubstituto;
        return base;
    }

  private:
    bool EhLetra(std::string_view caractere) {
        const locale_t anterior = uselocale(local_);
        wchar_t codigo = 0;
        mbstate_t estado{};
        const std::size_t lidos = mbrtowc(&codigo, caractere.data(), caractere.size(), &estado);
        const bool letra = lidos == caractere.size() && iswalpha(static_cast<wint_t>(codigo));
        uselocale(anterior);
        return letra;
    }

    locale_t local_;
    Conversao ascii_{"UTF-8", "ASCII", kLocalLetras};
};

}  // namespace

std::string NomeSeguro(std::string_view valor, long folha) {
    static LetrasBase letras;
    std::string nome;
    for (std::size_t i = 0; i < valor.size() && nome.size() < kNomeMaximo;) {
        const std::size_t n = TamanhoCaractere(valor, i);
        if (n == 1)
            nome += Permitido(valor[i]) ? valor[i] : kSubstituto[0];
        else
            nome += letras.Nome(valor.substr(i, n));
        i += n;
    }
    if (nome.size() > kNomeMaximo) nome.resize(kNomeMaximo);
    if (nome.empty()) return "folha-" + std::to_string(folha);
    // A name starting with a dot would be hidden, or be "." or "..".
    if (nome[0] == '.') nome[0] = kSubstituto[0];
    return nome;
}
