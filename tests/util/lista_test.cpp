#include "util/lista.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> ParaFrente(Lista* no) {
    std::vector<std::string> textos;
    for (no = InicioLista(no); no != nullptr; no = no->prox)
        textos.push_back(no->texto);
    return textos;
}

std::vector<std::string> ParaTras(Lista* no) {
    std::vector<std::string> textos;
    for (no = FimLista(no); no != nullptr; no = no->ant)
        textos.push_back(no->texto);
    return textos;
}

TEST(Lista, UmNoSemVizinhosGuardaUmaCopia) {
    std::string texto = "A";
    Lista* lista = IncluiLista(nullptr, texto);
    texto[0] = 'B';  // the caller's buffer is reused at once
    ASSERT_NE(lista, nullptr);
    EXPECT_EQ(lista->texto, "A");
    EXPECT_EQ(lista->prox, nullptr);
    EXPECT_EQ(lista->ant, nullptr);
    EXPECT_EQ(LiberaLista(lista), nullptr);
}

// Appending through any node of the list goes to the end and answers the first node.
TEST(Lista, IncluiPorQualquerNoVaiAoFimEDevolveOPrimeiro) {
    struct Caso {
        const char* nome;
        int no_usado;  // index of the node given to IncluiLista for the last append
    };
    const Caso casos[] = {{"primeiro", 0}, {"meio", 1}, {"ultimo", 2}};
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nome);
        Lista* lista = IncluiLista(nullptr, "X");
        lista = IncluiLista(lista, "Y");
        lista = IncluiLista(lista, "Z");
        Lista* no = lista;
        for (int i = 0; i < caso.no_usado; ++i)
            no = no->prox;
        Lista* primeiro = IncluiLista(no, "W");
        EXPECT_EQ(primeiro, lista);
        EXPECT_EQ(ParaFrente(primeiro), (std::vector<std::string>{"X", "Y", "Z", "W"}));
        EXPECT_EQ(ParaTras(primeiro), (std::vector<std::string>{"W", "Z", "Y", "X"}));
        for (Lista* n = primeiro; n->prox != nullptr; n = n->prox)
            EXPECT_EQ(n->prox->ant, n);
        // Freeing through a middle node frees the nodes before it too (the leak checker
        // of the sanitizer build would see any left behind).
        EXPECT_EQ(LiberaLista(primeiro->prox->prox), nullptr);
    }
}

TEST(Lista, NuloDaNulo) {
    EXPECT_EQ(InicioLista(nullptr), nullptr);
    EXPECT_EQ(FimLista(nullptr), nullptr);
    EXPECT_EQ(LiberaLista(nullptr), nullptr);
}

}  // namespace
