#pragma once
// Test fixture for the PCL back-end: the job stream goes to memory, the device variables start
// as the driver leaves them after the prologue, and expected bytes are built from format strings.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "device/dispositivo.h"
#include "interp/interp.h"
#include "pcl/pcl.h"

// The bytes that a format string writes with its arguments.
[[gnu::format(printf, 1, 2)]] inline std::string F(const char* formato, ...) {
    va_list lista;
    va_start(lista, formato);
    char* texto = nullptr;
    const int n = vasprintf(&texto, formato, lista);
    va_end(lista);
    std::string r = n >= 0 ? std::string(texto, static_cast<std::size_t>(n)) : std::string();
    std::free(texto);
    return r;
}

// A rule as the back-end writes it: position, size, solid fill.
inline std::string Regua(int X, int Y, int w, int h) {
    return F("\x1b*p%dX", X) + F("\x1b*p%dY", Y) + F("\x1b*c%dA", w) + F("\x1b*c%dB", h) +
           F("\x1b*c0P");
}

class SaidaPCL : public ::testing::Test {
  protected:
    void SetUp() override {
        memoria_ = open_memstream(&buf_, &tam_);
        ASSERT_NE(memoria_, nullptr);
        anterior_ = saida;
        saida = memoria_;
        papel = 'c';
        orientacao = 'p';
        alimentacao = 1;
        origx = origy = 0;
        duplex = 0;
        tipo_verso = 0;
        margemx = 72;
        margemy = 0;
        rotacao = rotacao0 = 0;
        direcao_pcl = 0;
        ReiniciaFonte();
    }
    void TearDown() override {
        saida = anterior_;
        std::fclose(memoria_);
        std::free(buf_);
        objsff = LiberaLista(objsff);
        objsfv = LiberaLista(objsfv);
    }
    // Everything written since the last call.
    std::string Novo() {
        std::fflush(memoria_);
        std::string r(buf_ + lido_, tam_ - lido_);
        lido_ = tam_;
        return r;
    }

  private:
    std::FILE* memoria_ = nullptr;
    std::FILE* anterior_ = nullptr;
    char* buf_ = nullptr;
    std::size_t tam_ = 0;
    std::size_t lido_ = 0;
};
