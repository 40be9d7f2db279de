#pragma once
// Unit-test helpers for both back-ends: the job stream captured in memory, and expected bytes
// written with the same format strings as the job.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "device/dispositivo.h"

// Points `saida` at a memory stream for the life of the object, then puts the old stream back.
class CapturaSaida {
  public:
    CapturaSaida() : anterior_(saida) {
        fluxo_ = open_memstream(&dados_, &tamanho_);
        if (fluxo_ == nullptr) throw std::runtime_error("open_memstream");
        saida = fluxo_;
    }
    ~CapturaSaida() {
        saida = anterior_;
        std::fclose(fluxo_);
        std::free(dados_);
    }
    CapturaSaida(const CapturaSaida&) = delete;
    CapturaSaida& operator=(const CapturaSaida&) = delete;
    // Everything written so far.
    std::string texto() {
        std::fflush(fluxo_);
        return std::string(dados_, tamanho_);
    }
    // Everything written since the last call.
    std::string novo() {
        std::fflush(fluxo_);
        std::string r(dados_ + lido_, tamanho_ - lido_);
        lido_ = tamanho_;
        return r;
    }

  private:
    std::FILE* anterior_;
    std::FILE* fluxo_ = nullptr;
    char* dados_ = nullptr;
    std::size_t tamanho_ = 0;
    std::size_t lido_ = 0;
};

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
