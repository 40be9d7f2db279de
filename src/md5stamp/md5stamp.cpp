#include "md5stamp/md5stamp.h"

#include <md5.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>

#include "codificacao/codificacao.h"
#include "device/dispositivo.h"
#include "util/numeros.h"

namespace {

// The digest is written as this many lower-case hexadecimal digits.
constexpr std::size_t kDigitosDigesto = 32;
// An MD5V entry spec is a kind letter and a width of at most two digits; more is ignored.
constexpr std::size_t kTamanhoSpec = 3;
// The operator's record is first written under a name of its own (mkstemp fills in the X's)
// and renamed into place, so that jobs side by side in one directory each leave a whole record.
constexpr const char* kModeloRascunho = "md5.tmp.XXXXXX";
// Where the last stamp's digest line and data text are left for the operator.
constexpr const char* kArquivoFinal = "md5.tmp";
// What follows the digest on its line in the record: the form md5sum gives standard input.
constexpr const char* kFimLinhaDigesto = "  -\n";
// A new file of the job may be read and written by all, less what the umask takes away.
constexpr mode_t kPermissoesArquivo = 0666;

// The last stamp's record, kept until the run ends; empty while the run has drawn no stamp.
std::string ultimo_registro;

void ErroAbertura() {
    std::fprintf(stderr, "Erro na abertura do arquivo [md5.out]\n");
}

bool GravaTudo(int fd, std::string_view texto) {
    while (!texto.empty()) {
        const ssize_t gravados = write(fd, texto.data(), texto.size());
        if (gravados < 0 && errno == EINTR) continue;
        if (gravados <= 0) return false;
        texto.remove_prefix(static_cast<std::size_t>(gravados));
    }
    return true;
}

// The record under a unique name, then renamed to md5.tmp; nothing is left behind on failure.
bool GravaRegistro(std::string_view registro) {
    std::string rascunho = kModeloRascunho;
    const int fd = mkstemp(rascunho.data());
    if (fd < 0) return false;
    // The operator's copy gets the permissions any file of the job would get, not mkstemp's.
    const mode_t mascara = umask(0);
    umask(mascara);
    const bool gravado = fchmod(fd, kPermissoesArquivo & ~mascara) == 0 && GravaTudo(fd, registro);
    if (close(fd) == 0 && gravado && std::rename(rascunho.c_str(), kArquivoFinal) == 0) return true;
    std::remove(rascunho.c_str());
    return false;
}

}  // namespace

void md5(float x, float y, const char* fonte, const char* estilo, std::string_view dados) {
    // The data text is a text of the page: like everywhere else it ends at a NUL byte.
    dados = dados.substr(0, dados.find('\0'));
    char digesto[MD5_DIGEST_STRING_LENGTH];
    MD5Data(reinterpret_cast<const std::uint8_t*>(dados.data()), dados.size(), digesto);

    ultimo_registro.assign(digesto, kDigitosDigesto);
    ultimo_registro += kFimLinhaDigesto;
    ultimo_registro += dados;
    ultimo_registro += '\n';

    std::string carimbo(digesto, kDigitosDigesto);
    formata(carimbo);
    DesenhaTexto(x, y, fonte, estilo, carimbo);
}

void GravaUltimoCarimbo() {
    if (ultimo_registro.empty()) return;
    if (!GravaRegistro(ultimo_registro)) ErroAbertura();
    ultimo_registro.clear();
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

    // Widths count characters of the job's set; the entry keeps the bytes of the data as read.
    if (tipo == 'N') {
        std::string numero;
        for (char c : valor)
            if (c != ',' && c != '.' && c != '/' && c != '-' && c != ' ') numero += c;
        // Too many digits for the width: the rightmost ones are kept.
        const std::size_t caracteres = ContaCaracteres(numero);
        if (caracteres >= tamanho)
            return std::string(TrechoCaracteres(numero, caracteres - tamanho, tamanho));
        return std::string(tamanho - caracteres, '0') + numero;
    }
    if (tipo == 'X') {
        std::string campo(TrechoCaracteres(valor, 0, tamanho));
        campo.append(tamanho - ContaCaracteres(campo), ' ');
        return campo;
    }
    // '-' and any other kind: an empty entry.
    return {};
}
