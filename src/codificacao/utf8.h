#pragma once
// The structure of UTF-8 text: which bytes make one character. Only the encoding's own rules,
// no table of characters.
#include <cstddef>
#include <string_view>

// Reads UTF-8 one byte at a time and tells whether the bytes so far are well formed: each
// character in its shortest form, from U+0000 to U+10FFFF, no surrogate halves.
class ValidadorUTF8 {
  public:
    // Takes the next byte; false when it cannot continue well-formed text (the state is then
    // undefined until Reinicia).
    bool Passo(unsigned char byte);
    // No character is waiting for more bytes.
    bool Completo() const { return faltam_ == 0; }
    void Reinicia() { *this = ValidadorUTF8(); }

  private:
    int faltam_ = 0;  // continuation bytes the current character still needs
    // The range the next continuation byte must fall in: narrower after some first bytes, so
    // that overlong forms, surrogates and code points past U+10FFFF are refused.
    unsigned char minimo_ = kMinimoContinuacao;
    unsigned char maximo_ = kMaximoContinuacao;
    static constexpr unsigned char kMinimoContinuacao = 0x80;
    static constexpr unsigned char kMaximoContinuacao = 0xBF;
};

// The bytes of the well-formed character that starts at texto[i], or 0 when none starts there.
std::size_t TamanhoSequencia(std::string_view texto, std::size_t i);
// The bytes of the character at texto[i]: its well-formed sequence, or the one byte when that
// byte belongs to none (it prints as one "?", so it counts as one character).
std::size_t TamanhoCaractere(std::string_view texto, std::size_t i);
// The characters of the text, as TamanhoCaractere divides it.
std::size_t ContaCaracteresUTF8(std::string_view texto);
// The bytes that the first n characters of the text take (the whole text when it has fewer).
std::size_t BytesDosCaracteres(std::string_view texto, std::size_t n);
// The bytes at the end of the text that begin a character which the text does not finish
// (a well-formed start of a sequence cut short), or 0.
std::size_t SequenciaAberta(std::string_view texto);
// The continuation bytes (10xxxxxx) of the text: in well-formed text, bytes less characters.
std::size_t Continuacoes(std::string_view texto);
// True when every byte of the text is below 128.
bool SoAscii(std::string_view texto);
// The code point of one well-formed sequence (as TamanhoSequencia measures it).
char32_t CodigoUTF8(std::string_view sequencia);
