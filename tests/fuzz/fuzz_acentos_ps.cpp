// Accents and texts of the PostScript back-end: any text through acentua and DesenhaTexto. The
// conversion grows a text by at most one character per accent sequence, leaves a text without
// backslashes alone, and the job's string is well formed: it closes exactly where the writer
// closes it, whatever parentheses, backslashes or NUL bytes the text holds.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "comum.h"
#include "device/dispositivo.h"
#include "ps/ps.h"

namespace {

struct Chamada {
    float x;
    const char* fonte;
    const char* estilo;
    int rotacao;
};
// Courier and Arial, a missing size, bold and italic, placed, centred and turned.
constexpr Chamada kChamadas[] = {
    {1.0f, "C12", "", 0},   {-1.0f, "C12", "N", 0}, {2.5f, "A10", "NI", 90},
    {-1.0f, "A", "I", 270}, {0.0f, "", "", 180},
};

bool Octal(char c) {
    return c >= '0' && c <= '7';
}

// The rest of the line after the string: the show of a placed or of a centred text.
constexpr std::string_view kMostra = " show\n";
constexpr std::string_view kCentra = " dup stringwidth pop 2 div neg 0 rmoveto show\n";

// Finds the text's string after "moveto" and walks it as a PostScript interpreter would.
void ConfereCadeia(std::string_view job) {
    std::size_t p = job.find(" moveto\n");
    fuzz::Exige(p != std::string_view::npos, "no moveto before the text");
    p = job.find('(', p);
    fuzz::Exige(p != std::string_view::npos, "no string in the job");
    int nivel = 0;
    std::size_t i = p;
    for (; i < job.size(); ++i) {
        const char c = job[i];
        if (c == '\\') {
            fuzz::Exige(i + 1 < job.size(), "the job ends inside an escape");
            const char e = job[i + 1];
            if (Octal(e)) {
                fuzz::Exige(i + 3 < job.size() && Octal(job[i + 2]) && Octal(job[i + 3]),
                            "an octal escape without three digits");
                i += 3;
            } else {
                fuzz::Exige(e == '\\' || e == '(' || e == ')', "an escape PostScript ignores");
                ++i;
            }
            continue;
        }
        if (c == '(') ++nivel;
        if (c == ')' && --nivel == 0) break;
    }
    fuzz::Exige(i < job.size(), "the string never closes");
    fuzz::Exige(nivel == 0 && i > p, "unbalanced string");
    const std::string_view resto = job.substr(i + 1);
    fuzz::Exige(
        resto.substr(0, kMostra.size()) == kMostra || resto.substr(0, kCentra.size()) == kCentra,
        "the string closes before the text ends");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::Inicial();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const std::string entrada(reinterpret_cast<const char*>(dados), tamanho);
    std::string texto = entrada;
    acentua(texto);
    fuzz::Exige(texto.size() <= entrada.size() + entrada.size() / 3,
                "the conversion grew more than one character per accent");
    if (entrada.find('\\') == std::string::npos)
        fuzz::Exige(texto == entrada, "a text without accents was changed");

    fuzz::Inicial().Restaura();
    ReiniciaDispositivoPS();
    for (const Chamada& c : kChamadas) {
        char* buffer = nullptr;
        std::size_t tamanho_job = 0;
        saida = open_memstream(&buffer, &tamanho_job);
        fuzz::Exige(saida != nullptr, "no memory stream");
        rotacao0 = rotacao = c.rotacao;
        std::string conteudo = entrada;
        DesenhaTexto(c.x, 1.0f, c.fonte, c.estilo, conteudo);
        std::fclose(saida);
        saida = stdout;
        fuzz::Exige(conteudo == texto, "DesenhaTexto left another conversion in the content");
        ConfereCadeia(std::string_view(buffer, tamanho_job));
        std::free(buffer);
    }
    return 0;
}
