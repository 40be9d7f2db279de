// The whole road from a report and a format file to a PCL job (see caminho.h).
#include "caminho.h"
#include "pcl/pcl.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::PreparaCaminho();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    direcao_pcl = 0;
    fuzz::PercorreCaminho(dados, tamanho, "morvex");
    return 0;
}
