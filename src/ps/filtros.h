#pragma once
// The encodings in which the job carries a picture's samples to the printer's own decoding
// filters (/LZWDecode over /ASCII85Decode, both of level 2): a logo's flat colours shrink to a
// few codes, and ASCII85 keeps the job plain text at five characters for four bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Writes bytes to the stream as ASCII85, in lines of at most kLinhaAscii85 characters, none of
// which starts with '%' (a line that did could be taken for a comment by what reads the job on
// its way to the printer); Termina writes the rest and the end mark "~>".
class Ascii85 {
  public:
    explicit Ascii85(std::FILE* destino) : destino_(destino) {}
    void Poe(const unsigned char* bytes, std::size_t n);
    void Termina();

  private:
    static constexpr std::size_t kLinhaAscii85 = 75;
    void Grupo(std::size_t bytes_validos);
    void Caractere(char c);

    std::FILE* destino_;
    unsigned char grupo_[4] = {};
    std::size_t no_grupo_ = 0;
    std::string linha_;
};

// LZW codes of the bytes, as /LZWDecode reads them with its defaults (codes of 9 to 12 bits,
// most significant bit first, each width taken one code early), into the ASCII85 writer;
// Termina writes the last code, the end-of-data code and the last bits.
class Lzw {
  public:
    explicit Lzw(Ascii85& destino);
    void Poe(const unsigned char* bytes, std::size_t n);
    void Termina();

  private:
    static constexpr int kTabela = 8192;  // slots of the string table, twice its 4096 codes
    void Limpa();
    void Codigo(int codigo);
    int Procura(int prefixo, unsigned char byte) const;
    void Despeja();

    Ascii85& destino_;
    std::vector<std::int32_t> chaves_;  // prefix code and byte of each slot; -1 empty
    std::vector<std::uint16_t> codigos_;
    int proximo_ = 0;  // the code the next string gets
    int largura_ = 0;  // bits of the codes written now
    int atual_ = -1;   // the code of the string read so far; -1 none
    std::uint32_t bits_ = 0;
    int nbits_ = 0;
    std::string bytes_;
};
