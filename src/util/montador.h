#pragma once
// A text put together in memory: the PostScript job's lines and the PDF's content streams, which
// write short pieces and whole numbers by the thousand on every page. Numbers come out exactly
// as %d writes them.
#include <string>
#include <string_view>

class Montador {
  public:
    Montador& operator<<(std::string_view texto) {
        texto_.append(texto);
        return *this;
    }
    Montador& operator<<(const char* texto) { return *this << std::string_view(texto); }
    Montador& operator<<(char c) {
        texto_ += c;
        return *this;
    }
    Montador& operator<<(long long numero);
    Montador& operator<<(int numero) { return *this << static_cast<long long>(numero); }

  protected:
    std::string texto_;
};
