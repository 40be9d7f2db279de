#pragma once
// One conversion of texts between two character sets by the C library's iconv(3), open for as
// long as the object lives: opening one costs far more than converting a text with it.
#include <iconv.h>
#include <locale.h>

#include <string>
#include <string_view>

class Conversao {
  public:
    // From `origem` to `destino` (names as iconv knows them), with what `destino` lacks
    // transliterated to its nearest plain characters by the tables of the locale `local`.
    // Aberta() tells whether the C library can do it.
    Conversao(const char* origem, const char* destino, const char* local = "C");
    ~Conversao();
    Conversao(const Conversao&) = delete;
    Conversao& operator=(const Conversao&) = delete;

    bool Aberta() const;
    // The text in the destination set. A byte that belongs to no character of the origin set,
    // and a character that has no equivalent in the destination set, each become one "?"; the
    // rest of the text is converted all the same.
    std::string Converte(std::string_view texto);

  private:
    // Appends the conversion of a text of whole characters of the origin set.
    void ConverteTrecho(std::string_view texto, std::string& convertido);

    iconv_t descritor_;
    // Transliteration follows the calling thread's locale; conversions run under a locale of
    // their own (the C locale for a job's texts), so that a job prints the same whatever locale
    // the caller has.
    locale_t local_;
    bool origem_utf8_;
    // Both sets keep the ASCII codes as they are (checked once, when the conversion opens): a
    // text of ASCII alone, the common one, then needs no call to iconv.
    bool ascii_intacto_ = false;
};
