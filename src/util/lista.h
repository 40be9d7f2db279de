#pragma once
// The one kind of list the system keeps: command words, format objects and captured variables.
#include <string>
#include <string_view>

struct Lista {
    std::string texto;
    Lista* prox = nullptr;
    Lista* ant = nullptr;
    // Of a format object: the line of the format file it was read from, every line counted
    // from 1; 0 in every other list.
    int linha = 0;
};

// Each accepts any node of a list (or null) and walks to the end it needs.
Lista* InicioLista(Lista* no);
Lista* FimLista(Lista* no);
// Appends a copy of texto at the end; returns the first node of the list.
Lista* IncluiLista(Lista* no, std::string_view texto);
// Appends a copy of texto right after `ultimo`, the last node of its list (or null for a new
// list), and returns the new last node: a caller that keeps its list's tail builds a long list
// in linear time, where IncluiLista walks the whole list at every call.
Lista* IncluiListaApos(Lista* ultimo, std::string_view texto);
// Frees the whole list that holds no; always returns null.
Lista* LiberaLista(Lista* no);
