// The whole road from a report and a format file to a PCL job (see caminho.h).
#include "caminho.h"
#include "pcl/pcl.h"

namespace {
void ReiniciaPCL() {
    direcao_pcl = 0;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::PreparaCaminho();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    // Every PCL job starts by choosing its paper.
    fuzz::PercorreCaminho(dados, tamanho, "morvex", "\x1b&l", ReiniciaPCL);
    return 0;
}
