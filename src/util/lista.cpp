#include "util/lista.h"

Lista* InicioLista(Lista* no) {
    if (no == nullptr) return nullptr;
    while (no->ant != nullptr)
        no = no->ant;
    return no;
}

Lista* FimLista(Lista* no) {
    if (no == nullptr) return nullptr;
    while (no->prox != nullptr)
        no = no->prox;
    return no;
}

Lista* IncluiLista(Lista* no, std::string_view texto) {
    auto* novo = new Lista{std::string(texto), nullptr, nullptr};
    if (no == nullptr) return novo;
    Lista* ultimo = FimLista(no);
    ultimo->prox = novo;
    novo->ant = ultimo;
    return InicioLista(ultimo);
}

Lista* IncluiListaApos(Lista* ultimo, std::string_view texto) {
    auto* novo = new Lista{std::string(texto), nullptr, ultimo};
    if (ultimo != nullptr) {
        // Whatever followed a node that was not the last stays after the new one.
        novo->prox = ultimo->prox;
        if (novo->prox != nullptr) novo->prox->ant = novo;
        ultimo->prox = novo;
    }
    return novo;
}

Lista* LiberaLista(Lista* no) {
    no = InicioLista(no);
    while (no != nullptr) {
        Lista* proximo = no->prox;
        delete no;
        no = proximo;
    }
    return nullptr;
}
