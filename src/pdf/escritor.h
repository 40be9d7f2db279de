#pragma once
// A PDF file written as it goes: each object as soon as it is complete, its place kept for the
// cross-reference stream, which ends the file with the page tree's root and the catalog. Streams
// go straight to the file; the other objects (page dictionaries, fonts' dictionaries) are
// gathered a few hundred at a time into compressed object streams, where each costs a few
// bytes. What the writer keeps to the end is each object's place (eight bytes an object) and
// one node of the page tree for every hundred pages.
#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

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
    // A page of the document, in the page tree: the entries of its dictionary but its type and
    // parent.
    void Pagina(std::string_view entradas);
    // The page tree's root, with `entradas` that every page inherits (the resources they share),
    // the catalog, the document's information (its dictionary) and the cross-reference stream;
    // false when any write of the file failed.
    bool Encerra(std::string_view entradas, std::string_view informacao);

  private:
    void EscreveNoArquivo(std::string_view texto);
    void Comeca(int n);
    void EscreveObjetos();
    void FechaNo();

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
    // The page tree: its root, the nodes written so far, the node being filled with its pages.
    int raiz_ = 0;
    std::vector<int> nos_;
    int no_ = 0, paginas_do_no_ = 0;
    long paginas_ = 0;
    std::string filhos_;
    std::string comprimido_;
    bool falhou_ = false;
};

// "n 0 R": a reference to object n.
std::string Referencia(int n);
// A text as a PDF text string: printable ASCII as a literal string, anything else in UTF-16
// (the bytes of the UTF-8 text that make no character taken as "?").
std::string CadeiaDeTexto(std::string_view utf8);
