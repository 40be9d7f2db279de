// A picture's samples as the job carries them, read back by Ghostscript's own level 2 decoding
// filters: LZW codes across every change of code width and every emptied table, and ASCII85's
// groups, lines and last partial group.
#include "ps/filtros.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "support/ferramentas.h"
#include "support/render.h"

namespace {

// Bytes of every value, the same on every run.
std::string Ruido(std::size_t n) {
    std::string r;
    std::uint32_t estado = 7;
    for (std::size_t i = 0; i < n; ++i) {
        estado = estado * 1103515245u + 12345u;
        r += static_cast<char>(estado >> 24);
    }
    return r;
}

// The bytes encoded as the job encodes them, written in pieces of uneven sizes.
std::string Codifica(const std::string& bytes) {
    std::FILE* f = std::tmpfile();
    {
        Ascii85 texto(f);
        Lzw dados(texto);
        for (std::size_t i = 0, n = 1; i < bytes.size(); i += n, n = n * 7 % 5003 + 1)
            dados.Poe(reinterpret_cast<const unsigned char*>(bytes.data()) + i,
                      std::min(n, bytes.size() - i));
        dados.Termina();
    }
    std::string r;
    std::rewind(f);
    char bloco[4096];
    for (std::size_t n; (n = std::fread(bloco, 1, sizeof bloco, f)) > 0;)
        r.append(bloco, n);
    std::fclose(f);
    return r;
}

// The filters read from the job itself, as the image does; the bytes go to the output.
std::string Decodificador(const std::string& codigo) {
    return "/a currentfile /ASCII85Decode filter def\n/l a /LZWDecode filter def\n"
           "{{l 4096 string readstring exch saida exch writestring not {exit} if} loop a "
           "flushfile} exec\n" +
           codigo;
}

TEST(FiltrosPS, GhostscriptLeDeVoltaOsBytes) {
    if (!TemPrograma("gs")) GTEST_SKIP() << "gs not found: install Ghostscript";
    DiretorioTemporario dir;
    struct Caso {
        const char* nome;
        std::string bytes;
    };
    const Caso casos[] = {
        {"nada", ""},
        {"um byte", "x"},
        {"cinco bytes, um grupo e um resto", "abcde"},
        {"zeros, grupos z", std::string(4000, '\0')},
        {"uma cor plana de 3 bytes", Repete("\xcc\x00\x00", 100000)},
        {"ruido: todas as larguras e muitas tabelas", Ruido(300000)},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nome);
        const std::string codigo = Codifica(c.bytes);
        EXPECT_EQ(codigo.find("\n%"), std::string::npos) << "a line starts with %";
        EscreveArquivo("t.ps", "/saida (%stdout) (w) file def\n" + Decodificador(codigo) +
                                   "saida closefile\n");
        EXPECT_TRUE(SaidaDe("gs -q -dSAFER -dNODISPLAY -dBATCH t.ps") == c.bytes);
    }
}

// The last code and the end code where the code width changes or the table is emptied: noise
// gives about one code a byte, so streams of lengths around each change end on either side of
// it. All in one job, one after the other.
TEST(FiltrosPS, FimEmCadaMudancaDeLargura) {
    if (!TemPrograma("gs")) GTEST_SKIP() << "gs not found: install Ghostscript";
    DiretorioTemporario dir;
    const std::string ruido = Ruido(4000);
    std::string job = "/saida (%stdout) (w) file def\n", esperado;
    for (std::size_t mudanca : {253, 765, 1789, 3835})
        for (std::size_t n = mudanca - 24; n <= mudanca + 24; ++n) {
            job += Decodificador(Codifica(ruido.substr(0, n)));
            esperado += ruido.substr(0, n);
        }
    EscreveArquivo("t.ps", job + "saida closefile\n");
    const std::string lido = SaidaDe("gs -q -dSAFER -dNODISPLAY -dBATCH t.ps");
    EXPECT_EQ(lido.size(), esperado.size());
    EXPECT_TRUE(lido == esperado);
}

}  // namespace
