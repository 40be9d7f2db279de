#pragma once
// A PDF file written as it goes: each object as soon as it is complete, its place kept for the
// cross-reference stream, which ends the file. Streams go straight to the file; the other
// objects (page dictionaries, fonts' dictionaries) are gathered a few hundred at a time into
// compressed object streams, where each costs a few bytes. The places are all the writer keeps
// to the end: eight bytes an object.
#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <string_view>

class Escritor {
  public:
    // Writes the file's header.
    explicit Escritor(std::FILE* arquivo);
    Escritor(const Escritor&) = delete;
    Escritor& operator=(const Escritor&) = delete;

    // The number of an object that is referred to before it can be written.
    int Reserva();
    // Object n (reserved), whose body is a dictionary, an array or any other value but a stream.
    void Objeto(int n, std::string_view corpo);
    // Object n as a stream: the entries of its dictionary but Length, then its bytes as they go
    // in the file (already compressed, when its entries name a filter).
    void Fluxo(int n, std::string_view entradas, std::string_view dados);
    // Object n written straight to the file in pieces, for a value too long to hold (the page
    // tree's list of pages): its start, any number of pieces of its body, its end.
    void Comeca(int n);
    void Escreve(std::string_view texto);
    void Termina();
    // The cross-reference stream, naming the catalog and the document's information; false
    // when any write of the file failed.
    bool Encerra(int catalogo, int informacao);

  private:
    void EscreveNoArquivo(std::string_view texto);
    void EscreveObjetos();

    std::FILE* arquivo_;
    std::uint64_t posicao_ = 0;
    // By object number: its offset in the file, or, with kNoFluxo set, the object stream that
    // holds it and its index there; 0 for the free list's head and for objects not yet written.
    // A deque grows by blocks, never to twice what it holds.
    std::deque<std::uint64_t> lugares_{0};
    // The objects gathered for the next object stream: their numbers and offsets, their bodies.
    std::string indice_, corpos_;
    int reunidos_ = 0;
    int fluxo_ = 0;  // the number of the object stream being gathered
    std::string comprimido_;
    bool falhou_ = false;
};

// "n 0 R": a reference to object n.
std::string Referencia(int n);
// A text as a PDF text string: printable ASCII as a literal string, anything else in UTF-16
// (the bytes of the UTF-8 text that make no character taken as "?").
std::string CadeiaDeTexto(std::string_view utf8);
