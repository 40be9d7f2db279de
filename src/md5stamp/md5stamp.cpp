#include "md5stamp/md5stamp.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "device/dispositivo.h"
#include "util/numeros.h"

namespace {

// md5sum starts its output line with the digest: this many lower-case hexadecimal digits.
constexpr std::size_t kDigitosDigesto = 32;
// An MD5V entry spec is a kind letter and a width of at most two digits; more is ignored.
constexpr std::size_t kTamanhoSpec = 3;
// Each stamp first writes a scratch file of its own (mkstemp fills in the X's), so that jobs
// running side by side in one directory never read each other's digest.
constexpr const char* kModeloRascunho = "md5.tmp.XXXXXX";
// Where the last stamp's digest line and data text are left for the operator.
constexpr const char* kArquivoFinal = "md5.tmp";

// The text as one shell word: inside single quotes the shell interprets nothing, and an
// embedded quote closes the word, adds an escaped quote and opens a new word.
std::string Aspas(std::string_view texto) {
    std::string palavra = "'";
    for (char c : texto) {
        if (c == '\'')
            palavra += "'\\''";
        else
            palavra += c;
    }
    palavra += '\'';
    return palavra;
}

// The digest line of the data text into the scratch file, then the data text as a second line.
// The data text is only ever an argument of printf, never part of a command; the && makes a
// failing md5sum fail the whole line.
std::string MontaComando(std::string_view dados, const std::string& rascunho) {
    const std::string texto = Aspas(dados);
    const std::string arquivo = Aspas(rascunho);
    return "printf '%s' " + texto + " | md5sum > " + arquivo + " && printf '%s\\n' " + texto +
           " >> " + arquivo;
}

bool DigitoHexMinusculo(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

// The digest at the start of the scratch file, or the empty text when it does not begin with
// one (md5sum missing or failing: the file may then hold the data text alone).
// Returns false when the file cannot be opened.
bool LeDigesto(const std::string& rascunho, std::string& digesto) {
    digesto.clear();
    std::FILE* arquivo = std::fopen(rascunho.c_str(), "r");
    if (arquivo == nullptr) return false;
    char bloco[kDigitosDigesto];
    const std::size_t lidos = std::fread(bloco, 1, kDigitosDigesto, arquivo);
    std::fclose(arquivo);
    if (lidos != kDigitosDigesto) return true;
    for (char c : bloco)
        if (!DigitoHexMinusculo(c)) return true;
    digesto.assign(bloco, kDigitosDigesto);
    return true;
}

void ErroAbertura() {
    std::fprintf(stderr, "Erro na abertura do arquivo [md5.out]\n");
}

void ErroComando(const std::string& comando) {
    std::fprintf(stderr, "Erro na execucao do comando [%s]\n", comando.c_str());
}

}  // namespace

void md5(float x, float y, const char* fonte, const char* estilo, std::string_view dados) {
    // The data text is a text of the page: like everywhere else it ends at a NUL byte, which
    // no shell word could carry anyway.
    dados = dados.substr(0, dados.find('\0'));

    std::string rascunho = kModeloRascunho;
    const int fd = mkstemp(rascunho.data());
    if (fd < 0) {
        ErroAbertura();
        return;
    }
    // The operator's copy gets the permissions any file of the job would get, not mkstemp's.
    const mode_t mascara = umask(0);
    umask(mascara);
    fchmod(fd, 0666 & ~mascara);
    close(fd);

    const std::string comando = MontaComando(dados, rascunho);
    if (std::system(comando.c_str()) != 0) {
        ErroComando(comando);
        std::remove(rascunho.c_str());
        return;
    }
    std::string digesto;
    if (!LeDigesto(rascunho, digesto)) {
        ErroAbertura();
        std::remove(rascunho.c_str());
        return;
    }
    if (digesto.empty()) {
        ErroComando(comando);
        std::remove(rascunho.c_str());
        return;
    }
    if (std::rename(rascunho.c_str(), kArquivoFinal) != 0) std::remove(rascunho.c_str());

    formata(digesto);
    DesenhaTexto(x, y, fonte, estilo, digesto);
}

void md5v(float x, float y, const char* fonte, const char* estilo,
          const std::array<std::string, kEntradasMD5V>& specs,
          const std::array<std::string, kEntradasMD5V>& valores) {
    std::string dados;
    for (int i = 0; i < kEntradasMD5V; ++i)
        dados += formatav(specs[static_cast<std::size_t>(i)], valores[static_cast<std::size_t>(i)]);
    md5(x, y, fonte, estilo, dados);
}

void formata(std::string& texto) {
    // A text without a whole digest cannot be regrouped; it is left as it is.
    if (texto.size() < kDigitosDigesto) return;
    std::string carimbo;
    for (std::size_t i = 0; i < kDigitosDigesto; ++i) {
        if (i > 0 && i % 4 == 0) carimbo += '.';
        carimbo += texto[i];
    }
    texto = carimbo;
}

std::string formatav(std::string_view spec, std::string_view valor) {
    spec = spec.substr(0, kTamanhoSpec);
    valor = valor.substr(0, valor.find('\0'));
    if (spec.empty()) return {};
    const char tipo = spec[0];
    // The spec holds at most two characters after the kind letter, so the width stays below
    // 100; a negative one counts as no width at all.
    const int largura = LeInteiro(spec.substr(1));
    const auto tamanho = static_cast<std::size_t>(largura > 0 ? largura : 0);

    if (tipo == 'N') {
        std::string numero;
        for (char c : valor)
            if (c != ',' && c != '.' && c != '/' && c != '-' && c != ' ') numero += c;
        // Too many digits for the width: the rightmost ones are kept.
        if (numero.size() >= tamanho) return numero.substr(numero.size() - tamanho);
        return std::string(tamanho - numero.size(), '0') + numero;
    }
    if (tipo == 'X') {
        std::string campo(valor.substr(0, tamanho));
        campo.resize(tamanho, ' ');
        return campo;
    }
    // '-' and any other kind: an empty entry.
    return {};
}
