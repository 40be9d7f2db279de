// `cmake --install` of this build tree: the programs, the filters, the printer models, our MIME
// type and its conversion, the example form and the manual pages land in the usual places, the
// programs run from there, and `man` renders every page without a warning.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "support/ferramentas.h"

namespace {

const std::string kDirCompilacao = MORV_BUILD_DIR;
const std::string kCMake = MORV_CMAKE;
const std::string kDirProgramas = MORV_INSTALL_BINDIR;
const std::string kDirManuais = MORV_INSTALL_MANDIR;
const std::string kDirAuxiliares = MORV_INSTALL_AUXILIARES;
const std::string kDirFontes = MORV_SOURCE_DIR;
// CUPS's own directories, and the forms directory that the filters read, are absolute: DESTDIR
// keeps them inside the test's directory, and --prefix does not move them.
const std::string kDirFiltros = MORV_CUPS_FILTROS;
const std::string kDirModelos = MORV_CUPS_MODELOS;
const std::string kDirTipos = MORV_CUPS_TIPOS;
const std::string kDirFormularios = MORV_INSTALL_FORMULARIOS;
const std::string kDirDocumentos = MORV_INSTALL_DOCDIR;
// The printer models as the build made them from their template.
const std::string kModelosFeitos = MORV_MODELOS;

// Installs the build tree for `prefixo` under the root `raiz`; where the prefix landed.
std::string Instala(const std::string& raiz, const std::string& prefixo) {
    VariavelTrocada destdir("DESTDIR", raiz);
    Resultado r = Executa(kCMake, {"--install", kDirCompilacao, "--prefix", prefixo});
    EXPECT_EQ(r.status, 0) << r.saida << r.erro;
    return raiz + prefixo;
}

bool Executavel(const std::string& caminho) {
    struct stat info {};
    return stat(caminho.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IXUSR);
}

// Runs a shell command line; $1, $2, ... are the further arguments, so no path is ever quoted.
Resultado Shell(const std::string& comando, const std::vector<std::string>& argumentos = {}) {
    std::vector<std::string> todos = {"-c", comando, "sh"};
    todos.insert(todos.end(), argumentos.begin(), argumentos.end());
    return Executa("/bin/sh", todos);
}

struct Programa {
    const char* nome;
    const char* primeira_linha_uso;  // what the installed program says when called without a format
};

const Programa programas[] = {
    {"morvex", "morvex v2.2.2 15/10/07\n"},
    {"morvel", "morvel v2.2.2 15/10/07\n"},
    {"morvpdf", "morvpdf v2.2.2 15/10/07\n"},
    {"morvstudio", "morvstudio v2.2.2\n"},
};

struct Manual {
    const char* secao;      // man1, man5
    const char* arquivo;    // page file name, installed compressed
    const char* fonte;      // the page in man/
    const char* cabecalho;  // title line of the rendered page
};

const Manual manuais[] = {
    {"man1", "morvex.1", "morvex.1", "MORVEX(1)"},
    {"man1", "morvel.1", "morvel.1", "MORVEL(1)"},
    {"man1", "morvpdf.1", "morvpdf.1", "MORVPDF(1)"},
    {"man1", "morvstudio.1", "morvstudio.1", "MORVSTUDIO(1)"},
    {"man5", "morvform.5", "morvform.5", "MORVFORM(5)"},
    {"man8", "texttomorvex.8", "texttomorvex.8", "TEXTTOMORVEX(8)"},
    {"man8", "texttomorvel.8", "texttomorvex.8", "TEXTTOMORVEX(8)"},
    {"man8", "texttomorvpdf.8", "texttomorvex.8", "TEXTTOMORVEX(8)"},
};

std::string CaminhoManual(const std::string& prefixo, const Manual& m) {
    return prefixo + "/" + kDirManuais + "/" + m.secao + "/" + m.arquivo + ".gz";
}

TEST(Instalacao, ProgramasEManuaisNosLugaresDeCostume) {
    DiretorioTemporario dir;
    const std::string raiz = dir.caminho() + "/raiz";
    const std::string prefixo = Instala(raiz, dir.caminho() + "/prefixo");

    for (const Programa& p : programas) {
        const std::string caminho = prefixo + "/" + kDirProgramas + "/" + p.nome;
        ASSERT_TRUE(Executavel(caminho)) << caminho;
        Resultado r = Executa(caminho, {"relatorio.txt"});
        EXPECT_EQ(r.status, 255) << caminho;
        EXPECT_EQ(r.erro.substr(0, r.erro.find('\n') + 1), p.primeira_linha_uso) << caminho;
    }
    // The studio's other views, where it finds them from its own folder.
    for (const char* auxiliar : {"morvstudio-morvel", "morvstudio-morvex"})
        EXPECT_TRUE(Executavel(prefixo + "/" + kDirAuxiliares + "/" + auxiliar)) << auxiliar;
    for (const Manual& m : manuais) {
        const std::string caminho = CaminhoManual(prefixo, m);
        ASSERT_TRUE(ExisteArquivo(caminho)) << caminho;
        EXPECT_EQ(Shell("gzip -dc \"$1\"", {caminho}).saida,
                  LeArquivo(kDirFontes + "/man/" + m.fonte))
            << caminho;
    }
    const std::pair<std::string, std::string> copias[] = {
        {raiz + kDirModelos + "/morvex.ppd", kModelosFeitos + "/morvex.ppd"},
        {raiz + kDirModelos + "/morvel.ppd", kModelosFeitos + "/morvel.ppd"},
        {raiz + kDirTipos + "/morv.types", kDirFontes + "/src/cups/morv.types"},
        {raiz + kDirTipos + "/morv.convs", kDirFontes + "/src/cups/morv.convs"},
        {raiz + kDirFormularios + "/exemplo.fmt", kExemplos + "formulario.fmt"},
        {raiz + kDirFormularios + "/exemplo-cor.fmt", kExemplos + "formulario-cor.fmt"},
        {raiz + kDirFormularios + "/logo.bmp", kExemplos + "logo.bmp"},
        {raiz + kDirFormularios + "/logo.png", kExemplos + "logo.png"},
        {raiz + kDirFormularios + "/vias.fmt", kExemplos + "vias.fmt"},
        {raiz + kDirFormularios + "/calibracao.fmt", kExemplos + "calibracao.fmt"},
        {raiz + kDirFormularios + "/calibracao-carta.fmt", kExemplos + "calibracao-carta.fmt"},
        {prefixo + "/" + kDirDocumentos + "/examples/vias.fmt", kExemplos + "vias.fmt"},
        {prefixo + "/" + kDirDocumentos + "/examples/formulario.fmt", kExemplos + "formulario.fmt"},
        {prefixo + "/" + kDirDocumentos + "/examples/formulario-cor.fmt",
         kExemplos + "formulario-cor.fmt"},
        {prefixo + "/" + kDirDocumentos + "/examples/logo.bmp", kExemplos + "logo.bmp"},
        {prefixo + "/" + kDirDocumentos + "/examples/logo.png", kExemplos + "logo.png"},
        {prefixo + "/" + kDirDocumentos + "/examples/relatorio.txt", kExemplos + "relatorio.txt"},
    };
    for (const auto& [instalado, fonte] : copias)
        EXPECT_EQ(LeArquivo(instalado), LeArquivo(fonte)) << instalado;
    // Installed under another prefix, a filter still looks for its forms where they went.
    VariavelTrocada formularios("MORV_FORMULARIOS", "");
    for (const char* filtro : {"/texttomorvex", "/texttomorvel", "/texttomorvpdf"}) {
        ASSERT_TRUE(Executavel(raiz + kDirFiltros + filtro)) << filtro;
        const Resultado r = Executa(raiz + kDirFiltros + filtro,
                                    {"1", "u", "t", "1", "formulario=nenhum", "/dev/null"});
        EXPECT_NE(r.erro.find("[" + kDirFormularios + "/nenhum.fmt] #2"), std::string::npos)
            << r.erro;
    }
}

TEST(Instalacao, ManuaisSaemSemAvisos) {
    if (Shell("command -v man >/dev/null").status != 0)
        GTEST_SKIP() << "man is not installed (package man-db): manual pages not rendered";
    DiretorioTemporario dir;
    const std::string prefixo = Instala(dir.caminho() + "/raiz", dir.caminho() + "/prefixo");

    // Plain ASCII terminals and UTF-8 ones use different glyphs for the same page.
    std::vector<std::string> locais = {"C"};
    if (Shell("LC_ALL=C.UTF-8 locale charmap 2>/dev/null").saida == "UTF-8\n")
        locais.push_back("C.UTF-8");

    for (const std::string& local : locais) {
        for (const Manual& m : manuais) {
            const std::string caminho = CaminhoManual(prefixo, m);
            Resultado r =
                Shell("MANWIDTH=80 LC_ALL=\"$2\" man --warnings -l \"$1\"", {caminho, local});
            SCOPED_TRACE(caminho + " in locale " + local);
            EXPECT_EQ(r.status, 0);
            EXPECT_EQ(r.erro, "");
            EXPECT_NE(r.saida.find(m.cabecalho), std::string::npos);
            EXPECT_NE(r.saida.find("SEE ALSO"), std::string::npos) << "page cut short";
        }
    }
}

}  // namespace
