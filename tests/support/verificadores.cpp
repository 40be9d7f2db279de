#include "support/verificadores.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/ferramentas.h"
#include "support/pcl_leitor.h"
#include "support/render.h"

void VerificaJobPCL(const std::string& job) {
    // Enough to see what went wrong without flooding the log.
    constexpr std::size_t kProblemasMostrados = 10;
    const auto problemas = LeJobPCL(job).problemas;
    const std::size_t n = std::min(problemas.size(), kProblemasMostrados);
    for (std::size_t i = 0; i < n; ++i)
        ADD_FAILURE() << "malformed PCL job: " << problemas[i];
    if (problemas.size() > n)
        ADD_FAILURE() << "malformed PCL job: " << problemas.size() - n << " more problems";
    // The reader checks the syntax; the interpreter, which forgives almost anything, at least
    // prints every page.
    RenderizaSemErro(job, kMorvex);
}

void VerificaJobPS(const std::string& job) {
    RenderizaSemErro(job, kMorvel);
}

void VerificaJobPDF(const std::string& job) {
    RenderizaSemErro(job, kMorvpdf);
    RenderizaSemErro(job, kMorvpdf, Leitor::poppler);
}
