#include "support/verificadores.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

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

namespace {

// qpdf's check of the file's structure: objects, cross-reference table, streams and their
// compression, page tree. Any error or warning fails the test.
void VerificaEstruturaPDF(const std::string& job) {
    static const bool tem_qpdf = [] {
        const bool tem = TemPrograma("qpdf");
        if (!tem) std::fprintf(stderr, "qpdf not found: install qpdf; PDFs not checked\n");
        return tem;
    }();
    if (!tem_qpdf) return;
    std::string nome = (std::filesystem::temp_directory_path() / "morv-pdf-XXXXXX").string();
    const int fd = mkstemp(nome.data());
    ASSERT_GE(fd, 0) << "mkstemp";
    close(fd);
    EscreveArquivo(nome, job);
    std::string relato;
    if (std::FILE* p = popen(("qpdf --check '" + nome + "' 2>&1").c_str(), "r")) {
        char bloco[4096];
        for (std::size_t n; (n = std::fread(bloco, 1, sizeof bloco, p)) > 0;)
            relato.append(bloco, n);
        const int estado = pclose(p);
        if (!WIFEXITED(estado) || WEXITSTATUS(estado) != 0)
            ADD_FAILURE() << "qpdf --check rejected the PDF:\n" << relato.substr(0, 2000);
    }
    std::remove(nome.c_str());
}

}  // namespace

void VerificaJobPDF(const std::string& job) {
    VerificaEstruturaPDF(job);
    RenderizaSemErro(job, kMorvpdf);
    RenderizaSemErro(job, kMorvpdf, Leitor::poppler);
}
