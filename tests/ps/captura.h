#pragma once
// Unit-test helpers for the PostScript back-end: the job stream captured in memory, the device
// variables as a fresh process has them, and expected lines built from format strings.
#include <gtest/gtest.h>

#include <string>

#include "device/dispositivo.h"
#include "ps/ps.h"
#include "support/captura_saida.h"

// Device variables as the program starts with them.
inline void ReiniciaVariaveis() {
    papel = 'c';
    tam_papel = 11.7f;
    orientacao = 'p';
    alimentacao = 1;
    origx = origy = 0;
    xtop = ytop = 0.0f;
    duplex = 0;
    tipo_verso = 0;
    rotacao0 = rotacao = 0;
    margemx = margemy = 0;
    ReiniciaFonte();
    ReiniciaDispositivoPS();
}

class TestePS : public ::testing::Test {
  protected:
    void SetUp() override { ReiniciaVariaveis(); }
    void TearDown() override { ReiniciaVariaveis(); }
    CapturaSaida job;
};

// A one-bit uncompressed bitmap file: rows as the file stores them (bottom row first), each
// already padded to whole 32-bit words by the caller.
inline std::string BitmapUmBit(int largura, int altura, const std::string& linhas) {
    std::string b;
    auto le = [&b](unsigned long v, int n) {
        for (int i = 0; i < n; ++i)
            b += static_cast<char>((v >> (8 * i)) & 0xff);
    };
    const unsigned long inicio = 14 + 40 + 8;  // headers and a two-colour palette
    b += "BM";
    le(inicio + linhas.size(), 4);
    le(0, 4);
    le(inicio, 4);
    le(40, 4);
    le(static_cast<unsigned long>(largura), 4);
    le(static_cast<unsigned long>(altura), 4);
    le(1, 2);  // planes
    le(1, 2);  // bits per pixel
    le(0, 4);  // no compression
    le(linhas.size(), 4);
    le(11811, 4);  // 300 pixels to the inch
    le(11811, 4);
    le(2, 4);
    le(0, 4);
    le(0x000000, 4);  // colour 0 black
    le(0xffffff, 4);  // colour 1 white
    return b + linhas;
}
