// Accents and texts of the PCL back-end: any text through acentua and DesenhaTexto. The
// conversion never lengthens a text (each sequence becomes one Roman-8 byte or less), leaves a
// text without backslashes alone, and the job gets the converted text after its commands.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "comum.h"
#include "device/dispositivo.h"

namespace {

struct Chamada {
    float x;
    const char* fonte;
    const char* estilo;
};
// Courier and Arial, a missing size, bold and italic, placed and centred.
constexpr Chamada kChamadas[] = {
    {1.0f, "C12", ""}, {-1.0f, "C12", "N"}, {2.5f, "A10", "NI"}, {-1.0f, "A", "I"}, {0.0f, "", ""},
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::Inicial();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const std::string entrada(reinterpret_cast<const char*>(dados), tamanho);
    std::string texto = entrada;
    acentua(texto);
    fuzz::Exige(texto.size() <= entrada.size(), "the conversion lengthened the text");
    if (entrada.find('\\') == std::string::npos)
        fuzz::Exige(texto == entrada, "a text without accents was changed");

    fuzz::Inicial().Restaura();
    for (const Chamada& c : kChamadas) {
        char* buffer = nullptr;
        std::size_t tamanho_job = 0;
        saida = open_memstream(&buffer, &tamanho_job);
        fuzz::Exige(saida != nullptr, "no memory stream");
        std::string conteudo = entrada;
        DesenhaTexto(c.x, 1.0f, c.fonte, c.estilo, conteudo);
        std::fclose(saida);
        saida = stdout;
        const std::string_view job(buffer, tamanho_job);
        // The content goes out with %s, so it ends at its first NUL byte.
        const std::string_view escrito = std::string_view(conteudo).substr(0, conteudo.find('\0'));
        fuzz::Exige(
            job.size() >= escrito.size() && job.substr(job.size() - escrito.size()) == escrito,
            "the job does not end with the converted text");
        std::free(buffer);
    }
    return 0;
}
