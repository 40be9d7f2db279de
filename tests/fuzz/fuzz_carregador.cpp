// Format loader: any bytes as a format file. The load either succeeds with every filed object a
// line of the file, or fails with a one-line message and nothing left behind; in both cases the
// batch end releases everything.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "comum.h"
#include "interp/dados.h"
#include "interp/interp.h"

namespace {

constexpr const char* kFormato = "formato.fmt";

// Block ranges the loader is tried with: no range, and the range of a batch header APA01QTD02.
struct Faixa {
    int ini, fim;
};
constexpr Faixa kFaixas[] = {{0, 0}, {1, 2}};

void ConfereLista(Lista* lista, std::string_view arquivo) {
    for (Lista* no = InicioLista(lista); no != nullptr; no = no->prox) {
        fuzz::Exige(!no->texto.empty(), "an empty object was filed");
        fuzz::Exige(arquivo.find(no->texto) != std::string_view::npos,
                    "a filed object is not a piece of the format file");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::Diretorio();
    fuzz::Inicial();
    saida = fuzz::Descarte();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const std::string_view arquivo(reinterpret_cast<const char*>(dados), tamanho);
    fuzz::Grava(kFormato, arquivo);
    for (const Faixa& faixa : kFaixas) {
        fuzz::Inicial().Restaura();
        marcaini = faixa.ini;
        marcafim = faixa.fim;
        std::string msg;
        const int r = InicializaInterp(kFormato, "", msg);
        fuzz::Exige(r == 0 || r == -1, "the loader returned neither 0 nor -1");
        fuzz::Exige(args == nullptr, "the loader left words of a line behind");
        if (r == 0) {
            for (Lista* lista : {objsff, objsfv, objsvf, objsvv})
                ConfereLista(lista, arquivo);
        } else {
            fuzz::Exige(!msg.empty(), "a failed load gave no message");
            // One line; the character set messages end with their own line end.
            const std::size_t fim = msg.find('\n');
            fuzz::Exige(fim == std::string::npos || fim == msg.size() - 1,
                        "the message is not one line");
            fuzz::Exige(objsff == nullptr && objsfv == nullptr && objsvf == nullptr &&
                            objsvv == nullptr && dad == nullptr,
                        "a failed load kept its lists or its data file");
        }
        FinalizaInterp();
        fuzz::Exige(objsff == nullptr && objsfv == nullptr && objsvf == nullptr &&
                        objsvv == nullptr && vars == nullptr && dad == nullptr,
                    "FinalizaInterp left something behind");
    }
    return 0;
}
