// The whole road from a report and a format file to a PDF document (see caminho.h): a finished
// run leaves a whole document, however the form and the report are made.
#include <cstdlib>

#include "caminho.h"
#include "pdf/pdf.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::PreparaCaminho();
    // A document names the time it was made: the same run must make the same bytes.
    setenv("SOURCE_DATE_EPOCH", "0", 1);
    std::atexit(LiberaFontes);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    fuzz::PercorreCaminho(dados, tamanho, "morvpdf", "%PDF-", ReiniciaDispositivoPDF, "%%EOF\n");
    return 0;
}
