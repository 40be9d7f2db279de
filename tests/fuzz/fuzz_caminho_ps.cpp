// The whole road from a report and a format file to a PostScript job (see caminho.h).
#include "caminho.h"
#include "ps/ps.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::PreparaCaminho();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    fuzz::PercorreCaminho(dados, tamanho, "morvel", "%!\n", ReiniciaDispositivoPS);
    return 0;
}
