// Renders a PostScript job with Ghostscript on its null device and fails the test when the
// interpreter reports an error: an error on the printer flushes the rest of the job.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/verificadores.h"

namespace {

bool TemGhostscript() {
    static const bool tem = std::system("command -v gs >/dev/null 2>&1") == 0;
    return tem;
}

// At most this much of Ghostscript's report goes into a failure message.
constexpr std::size_t kMaxRelato = 2000;

}  // namespace

void VerificaJobPS(const std::string& job) {
    if (!TemGhostscript()) {
        static bool avisado = false;
        if (!avisado)
            std::fprintf(stderr, "Ghostscript ausente: jobs PostScript nao verificados\n");
        avisado = true;
        return;
    }
    std::string nome = (std::filesystem::temp_directory_path() / "morv-job-XXXXXX").string();
    const int fd = mkstemp(nome.data());
    if (fd < 0) {
        ADD_FAILURE() << "mkstemp";
        return;
    }
    std::FILE* f = fdopen(fd, "wb");
    std::fwrite(job.data(), 1, job.size(), f);
    std::fclose(f);
    const std::string comando =
        "gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=nullpage '" + nome + "' </dev/null 2>&1";
    std::string relato;
    int estado = -1;
    if (std::FILE* p = popen(comando.c_str(), "r")) {
        char bloco[4096];
        std::size_t n;
        while ((n = std::fread(bloco, 1, sizeof bloco, p)) > 0)
            relato.append(bloco, n);
        estado = pclose(p);
    }
    std::remove(nome.c_str());
    const bool ok = estado != -1 && WIFEXITED(estado) && WEXITSTATUS(estado) == 0;
    if (!ok || relato.find("Error") != std::string::npos)
        ADD_FAILURE() << "Ghostscript recusou o job PostScript:\n" << relato.substr(0, kMaxRelato);
}
