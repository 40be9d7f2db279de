// Stamps printed by the real programs.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "support/ferramentas.h"

namespace fs = std::filesystem;

namespace {

const std::regex kQualquerCarimbo("[0-9a-f]{4}(\\.[0-9a-f]{4}){7}");

// One stamp of section 1 per page.
const char* const kFormato = "MD5 1 1 A10 N 1\n";

std::string Relatorio(const std::string& dado) {
    return ".secao 1\n" + dado + "\n";
}

std::string CarimboDeReferencia(const std::string& texto, const std::string& arquivo) {
    EscreveArquivo(arquivo, texto);
    std::FILE* p = popen(("md5sum < " + arquivo).c_str(), "r");
    char linha[33] = {};
    const std::size_t lidos = p != nullptr ? std::fread(linha, 1, 32, p) : 0;
    if (p != nullptr) pclose(p);
    std::remove(arquivo.c_str());
    std::string carimbo;
    for (std::size_t i = 0; i < lidos; ++i) {
        if (i > 0 && i % 4 == 0) carimbo += '.';
        carimbo += linha[i];
    }
    return carimbo;
}

// A directory for PATH with no shell and no md5sum, holding only the renderer that checks
// PostScript jobs.
void CaminhoSemMd5sum(const std::string& path, const std::string& bin) {
    fs::create_directory(bin);
    std::size_t inicio = 0;
    while (inicio <= path.size()) {
        std::size_t fim = path.find(':', inicio);
        if (fim == std::string::npos) fim = path.size();
        const fs::path gs = fs::path(path.substr(inicio, fim - inicio)) / "gs";
        std::error_code erro;
        if (fim > inicio && fs::exists(gs, erro)) {
            fs::create_symlink(fs::absolute(gs), bin + "/gs", erro);
            return;
        }
        inicio = fim + 1;
    }
}

// The operator's record of a stamp: the digest line as md5sum writes it, then the data text.
std::string Registro(std::string carimbo, const std::string& dado) {
    std::erase(carimbo, '.');
    return carimbo + "  -\n" + dado + "\n";
}

// The stamps of a job, in order.
std::vector<std::string> Carimbos(const std::string& job) {
    std::vector<std::string> achados;
    for (std::sregex_iterator it(job.begin(), job.end(), kQualquerCarimbo), fim; it != fim; ++it)
        achados.push_back(it->str());
    return achados;
}

// Every page is stamped by the program itself, and the run leaves its last stamp in md5.tmp,
// also when it ends on an error after the stamps. Digests computed independently.
TEST(CarimboNoJob, StampsWithoutAnyCommandAndLeavesTheLastRecord) {
    const std::string dados[] = {"0123456789abcdef0123456789abcdef", "p2: $HOME `date` \"x\"",
                                 "\xe9ltima p\xe1gina  "};
    const std::vector<std::string> carimbos = {"8516.ac99.dc60.6032.95de.7bdb.6a15.3530",
                                               "b408.0c0d.b357.7f1a.db2a.d1b1.5ba5.c246",
                                               "0287.eb90.2030.b5ce.0279.c98b.8fd4.2c14"};
    struct Caso {
        std::vector<std::string> argumentos;
        int status;
        std::string erro;
    };
    const Caso casos[] = {
        {{"rel.txt", "f.fmt"}, 0, ""},
        {{"rel.txt", "f.fmt", "/dev/full"}, 255, "Erro na gravacao do arquivo [/dev/full]\n"},
    };
    DiretorioTemporario dir;
    EscreveArquivo("f.fmt", kFormato);
    EscreveArquivo("rel.txt",
                   Relatorio(dados[0]) + "\f" + Relatorio(dados[1]) + "\f" + Relatorio(dados[2]));
    CaminhoSemMd5sum(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "", "bin");
    VariavelTrocada caminho("PATH", dir.caminho() + "/bin");
    for (const auto& programa : kProgramas) {
        for (const auto& c : casos) {
            SCOPED_TRACE(NomePrograma(programa) + ": " + c.erro);
            fs::remove("md5.tmp");
            const Resultado r = Executa(programa, c.argumentos);
            EXPECT_EQ(r.status, c.status);
            EXPECT_EQ(r.erro, c.erro);
            if (c.status == 0) {
                EXPECT_EQ(Carimbos(r.saida), carimbos);
            }
            EXPECT_EQ(LeArquivo("md5.tmp"), Registro(carimbos[2], dados[2]));
        }
    }
}

TEST(CarimboNoJob, JobsSideBySideInOneDirectoryPrintOnlyTheirOwnStamps) {
    constexpr int kPares = 20;
    DiretorioTemporario dir;
    EscreveArquivo("f.fmt", kFormato);
    std::vector<std::string> carimbos;
    for (int i = 0; i < 2 * kPares; ++i) {
        const std::string dado = "pagina do job " + std::to_string(i);
        EscreveArquivo("rel-" + std::to_string(i), Relatorio(dado));
        carimbos.push_back(CarimboDeReferencia(dado, "ref"));
        ASSERT_EQ(carimbos.back().size(), 39u);
    }

    int portao[2];
    ASSERT_EQ(pipe(portao), 0);
    std::fflush(nullptr);
    std::vector<pid_t> filhos;
    for (int i = 0; i < 2 * kPares; ++i) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(portao[1]);
            char c;
            while (read(portao[0], &c, 1) > 0) {
            }
            // Each pair is one report through both programs.
            const Resultado r =
                Executa(i % 2 ? kMorvel : kMorvex, {"rel-" + std::to_string(i), "f.fmt"});
            EscreveArquivo("saida-" + std::to_string(i), r.saida);
            // A failure the child saw (the job's render check) is lost with it unless its
            // status carries it to the parent.
            _exit(r.status == 0 && !::testing::Test::HasFailure() ? 0 : 1);
        }
        filhos.push_back(pid);
    }
    close(portao[0]);
    close(portao[1]);
    for (pid_t pid : filhos) {
        int estado = 0;
        waitpid(pid, &estado, 0);
        EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0);
    }

    for (int i = 0; i < 2 * kPares; ++i)
        EXPECT_EQ(Carimbos(LeArquivo("saida-" + std::to_string(i))),
                  std::vector<std::string>{carimbos[i]})
            << "job " << i;
    for (const auto& entrada : fs::directory_iterator("."))
        EXPECT_NE(entrada.path().filename().string().rfind("md5.tmp.", 0), 0u) << entrada.path();
    // md5.tmp is one job's whole record, never a mix of two.
    const std::string registro = LeArquivo("md5.tmp");
    bool inteiro = false;
    for (int i = 0; i < 2 * kPares; ++i)
        inteiro =
            inteiro || registro == Registro(carimbos[i], "pagina do job " + std::to_string(i));
    EXPECT_TRUE(inteiro) << registro;
}

}  // namespace
