#pragma once
// Test fixture for the PCL back-end: the job stream goes to memory, the device variables start
// as the driver leaves them after the prologue, and expected bytes are built from format strings.
#include <gtest/gtest.h>

#include <string>

#include "device/dispositivo.h"
#include "interp/interp.h"
#include "pcl/pcl.h"
#include "support/captura_saida.h"

// A rule as the back-end writes it: position, size, solid fill.
inline std::string Regua(int X, int Y, int w, int h) {
    return F("\x1b*p%dX", X) + F("\x1b*p%dY", Y) + F("\x1b*c%dA", w) + F("\x1b*c%dB", h) +
           F("\x1b*c0P");
}

class SaidaPCL : public ::testing::Test {
  protected:
    void SetUp() override {
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
        objsff = LiberaLista(objsff);
        objsfv = LiberaLista(objsfv);
    }
    // Everything written since the last call.
    std::string Novo() { return job_.novo(); }

  private:
    CapturaSaida job_;
};
