#pragma once
// The studio's page, compiled into the program from the plain files of src/studio/pagina.
#include <cstddef>
#include <string_view>

struct ArquivoPagina {
    std::string_view nome;      // as the page names it ("" for index.html)
    std::string_view conteudo;
};

extern const ArquivoPagina kArquivosPagina[];
extern const std::size_t kTotalArquivosPagina;
