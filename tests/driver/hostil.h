#pragma once
// What every hostile-input test checks after each run of a real program: it ended by itself
// with 0 or 255 (never a signal or a sanitizer's abort), and it left nothing behind: no data
// file in its TMPDIR, no stamp scratch file, nothing new in the working directory but the trace
// and the stamp's last copy.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/ferramentas.h"

class Hostil : public ::testing::Test {
  protected:
    static std::set<std::string> Conteudo(const std::string& pasta) {
        std::set<std::string> nomes;
        std::error_code erro;
        for (const auto& e : std::filesystem::directory_iterator(pasta, erro))
            nomes.insert(e.path().filename().string());
        return nomes;
    }

    // Runs the program and checks the way it ended and what it left behind.
    Resultado Roda(const std::string& programa, const std::vector<std::string>& argumentos,
                   const std::string& entrada = "") {
        const std::set<std::string> antes = Conteudo(".");
        Resultado r = Executa(programa, argumentos, entrada);
        VerificaFim(r);
        for (const std::string& nome : Conteudo(".")) {
            if (antes.count(nome) || nome == "vodrel.dbg" || nome == "md5.tmp") continue;
            ADD_FAILURE() << "left in the working directory: " << nome;
        }
        return r;
    }

    void VerificaFim(const Resultado& r) const {
        EXPECT_TRUE(r.status == 0 || r.status == 255) << "status " << r.status << "\n"
                                                      << r.erro.substr(0, 3000);
        EXPECT_EQ(r.erro.find("runtime error"), std::string::npos) << r.erro.substr(0, 3000);
        EXPECT_EQ(r.erro.find("Sanitizer"), std::string::npos) << r.erro.substr(0, 3000);
        for (const std::string& nome : Conteudo(temporarios_.caminho()))
            ADD_FAILURE() << "left in TMPDIR: " << nome;
    }

    DiretorioTemporario dir_;
    TmpdirPrivado temporarios_;
};
