#include "md5stamp/md5stamp.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "codificacao/codificacao.h"
#include "device/gravador.h"
#include "support/ferramentas.h"

namespace fs = std::filesystem;

namespace {

// The recorded call of a stamp drawn at (1.5, 2) with font A10, bold.
std::string Desenho(const std::string& carimbo) {
    return "DesenhaTexto(1.5,2,A10,N," + carimbo + ")";
}

std::string Agrupa(const std::string& digesto) {
    std::string carimbo;
    for (std::size_t i = 0; i < digesto.size(); ++i) {
        if (i > 0 && i % 4 == 0) carimbo += '.';
        carimbo += digesto[i];
    }
    return carimbo;
}

// Scratch files a stamp would have left behind in the working directory.
std::vector<std::string> Rascunhos() {
    std::vector<std::string> nomes;
    for (const auto& entrada : fs::directory_iterator("."))
        if (entrada.path().filename().string().rfind("md5.tmp.", 0) == 0)
            nomes.push_back(entrada.path().filename().string());
    return nomes;
}

TEST(Formata, RegroupsTheDigestIntoEightGroups) {
    struct Caso {
        std::string texto, carimbo;
    };
    const Caso casos[] = {
        {"d41d8cd98f00b204e9800998ecf8427e", "d41d.8cd9.8f00.b204.e980.0998.ecf8.427e"},
        // What follows the digest on md5sum's line is not part of the stamp.
        {"0123456789abcdef0123456789abcdef  -\n", "0123.4567.89ab.cdef.0123.4567.89ab.cdef"},
        // Too short to hold a digest: left alone rather than read past its end.
        {"0123456789", "0123456789"},
    };
    for (const auto& c : casos) {
        std::string texto = c.texto;
        formata(texto);
        EXPECT_EQ(texto, c.carimbo) << c.texto;
    }
}

TEST(Formatav, BringsEachEntryToItsWidth) {
    struct Caso {
        std::string spec, valor, esperado;
        Codificacao codificacao = Codificacao::nenhuma;
    };
    const Caso casos[] = {
        {"N8", "1.234,5", "00012345"},
        {"N5", " 12 ", "00012"},
        {"N6", "", "000000"},
        {"N4", "A1", "00A1"},
        {"N10", "12/03-2024", "0012032024"},
        {"N3", "  ", "000"},
        {"X5", "AB", "AB   "},
        {"X3", "ABCDE", "ABC"},
        {"X2", "", "  "},
        {"-", "ignorado", ""},
        {"-9", "ignorado", ""},
        {"N0", "123", ""},
        {"N", "123", ""},
        // More digits than the width: the rightmost ones are kept.
        {"N3", "12345", "345"},
        {"N2", "9.876", "76"},
        // A kind other than N, X or hyphen is an empty entry.
        {"Z5", "ABC", ""},
        {"n5", "1", ""},
        {"", "ABC", ""},
        // Only the first three characters of a spec count.
        {"X123", "ABCDEFGHIJKLM", "ABCDEFGHIJKL"},
        {"N999999999", "5", std::string(98, '0') + "5"},
        // A negative width is no width.
        {"N-5", "12", ""},
        {"X-1", "12", ""},
        // In a UTF-8 job widths count characters; the entry keeps the bytes of the value.
        {"X6", "S\u00e3o", "S\u00e3o   ", Codificacao::utf8},
        {"X3", "Jo\u00e3ozinho", "Jo\u00e3", Codificacao::utf8},
        {"N4", "\u00aa1", "00\u00aa1", Codificacao::utf8},
        {"N2", "1\u00aa2", "\u00aa2", Codificacao::utf8},
        {"X3", "Jo\u00e3ozinho", "Jo\xc3", Codificacao::nenhuma},
    };
    for (const auto& c : casos) {
        codificacao = c.codificacao;
        EXPECT_EQ(formatav(c.spec, c.valor), c.esperado) << c.spec << " [" << c.valor << "]";
    }
    codificacao = Codificacao::nenhuma;
}

class Carimbo : public ::testing::Test {
  protected:
    void SetUp() override { chamadas.clear(); }
    DiretorioTemporario dir_;
};

// Texts the shell would interpret if they ever reached it outside quotes; each must be
// digested as written. Digests computed independently of the system.
TEST_F(Carimbo, DigestsTheLiteralDataText) {
    struct Caso {
        std::string dados, digesto;
    };
    const Caso casos[] = {
        {"$HOME", "d9385c5db07b431de644487b5c1fe4e7"},
        {"`touch criado_crase`", "9be6a39328a7a38a4736352694117e76"},
        {"a\\b\\n\\t\\c fim", "84d072c25ddbce9f37116a0af8405859"},
        {"\"aspas\" duplas", "74db812c24c5baf661a12843bbbfa940"},
        {"it's a 'quote'", "4745cbd710f55fd8094b65b613fe445f"},
        {"$(touch criado_subst)", "95d0632683fb817179174073baf24d76"},
        {"; touch criado_ponto_virgula", "686703e481636326139cc5a3576be61f"},
        {"| touch criado_barra", "a9e0573ec70a8cc03ec9c6015ad63dcb"},
        {"'; touch criado_aspas; '", "1b0f66879cd86380416652b60b3b8e19"},
        {"%s %d %% \\045", "cd324f7f02055d65df4f43a663ac159f"},
        {"-n", "9cefd96d40d0ee1256c8eff1def0312d"},
        {"\xe7\xe3o \xc7", "d09e860fc256a69b5bd267e7dab77ce4"},
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"ABC   ", "3089b2f3664ba87237b7ea0c195a81c3"},
        {"ABC", "902fbdd2b1df0c4f70b4a5d23525e932"},
        // A NUL byte ends the text, as it ends every text of a page.
        {std::string("AB\0CD", 5), "b86fc6b051f63d73de262d4c34e3a0a9"},
    };
    for (const auto& c : casos) {
        chamadas.clear();
        md5(1.5f, 2.0f, "A10", "N", c.dados);
        GravaUltimoCarimbo();
        EXPECT_EQ(chamadas, std::vector<std::string>{Desenho(Agrupa(c.digesto))}) << c.dados;
        // The operator's copy: md5sum's line, then the data text.
        EXPECT_EQ(LeArquivo("md5.tmp"), c.digesto + "  -\n" + c.dados.c_str() + "\n") << c.dados;
    }
    for (const char* criado :
         {"criado_crase", "criado_subst", "criado_ponto_virgula", "criado_barra", "criado_aspas"})
        EXPECT_FALSE(ExisteArquivo(criado)) << criado;
    EXPECT_TRUE(Rascunhos().empty());
}

TEST_F(Carimbo, JoinsTheSixFormattedEntries) {
    md5v(1.5f, 2.0f, "A10", "N", {"N3", "X2", "-", "-", "-", "-"},
         {"7", "Z", "nao", "entra", "no", "texto"});
    GravaUltimoCarimbo();
    EXPECT_EQ(chamadas,
              std::vector<std::string>{Desenho("732f.d989.cf75.e109.3608.2ef9.7e3b.c313")});
    EXPECT_EQ(LeArquivo("md5.tmp"), "732fd989cf75e10936082ef97e3bc313  -\n007Z \n");
    // Readable like any other file the job leaves, not private like a fresh scratch file.
    const mode_t mascara = umask(022);
    umask(mascara);
    struct stat info {};
    ASSERT_EQ(stat("md5.tmp", &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666u & ~mascara);
}

TEST_F(Carimbo, ReportsAWorkingDirectoryItCannotWriteIn) {
    // Even for root, a directory that no longer exists takes no file.
    const std::string sumido = dir_.caminho() + "/sumido";
    fs::create_directory(sumido);
    fs::current_path(sumido);
    fs::remove(sumido);
    testing::internal::CaptureStderr();
    md5(1.5f, 2.0f, "A10", "N", "ABC");
    md5(1.5f, 2.0f, "A10", "N", "ABC");
    GravaUltimoCarimbo();
    const std::string erro = testing::internal::GetCapturedStderr();
    fs::current_path(dir_.caminho());
    EXPECT_EQ(erro, "Erro na abertura do arquivo [md5.out]\n");
    const std::string desenho = Desenho("902f.bdd2.b1df.0c4f.70b4.a5d2.3525.e932");
    EXPECT_EQ(chamadas, (std::vector<std::string>{desenho, desenho}));
}

// The record is written once a run: a run that draws no stamp leaves the operator's file alone.
TEST_F(Carimbo, ARunWithoutStampsLeavesTheRecordAlone) {
    md5(1.5f, 2.0f, "A10", "N", "ABC");
    GravaUltimoCarimbo();
    EscreveArquivo("md5.tmp", "do operador\n");
    GravaUltimoCarimbo();
    EXPECT_EQ(LeArquivo("md5.tmp"), "do operador\n");
}

}  // namespace
