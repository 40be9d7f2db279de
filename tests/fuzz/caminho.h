#pragma once
// The whole road of one run, in-process: the input holds a report and a format file, and the
// program's Principal runs on them as the command line `<program> relatorio.txt formato.fmt`
// would, with its job thrown away. Whatever the input, the run ends with status 0 or -1 and
// leaves no data file behind.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "comum.h"
#include "driver/driver.h"

namespace fuzz {

constexpr const char* kRelatorio = "relatorio.txt";
constexpr const char* kFormato = "formato.fmt";
// The logo of the example form, so that its IMAGEM lines draw a real bitmap.
constexpr const char* kLogo = "logo.bmp";

inline void PreparaCaminho() {
    Diretorio();
    Inicial();
    std::FILE* logo = std::fopen(MORV_SOURCE_DIR "/examples/logo.bmp", "rb");
    if (logo != nullptr) {
        std::string conteudo;
        for (int c; (c = std::getc(logo)) != EOF;)
            conteudo.push_back(static_cast<char>(c));
        std::fclose(logo);
        Grava(kLogo, conteudo);
    }
}

// What a run may leave in the working directory: its inputs, the logo, its trace and the copy
// of its last stamp.
inline bool Esperado(const std::string& nome) {
    return nome == kRelatorio || nome == kFormato || nome == kLogo || nome == "vodrel.dbg" ||
           nome == "md5.tmp";
}

struct Execucao {
    int status;
    std::string job;
};

// One run of the program, as from a fresh process, with a back-end reset of the caller's.
inline Execucao Executa(const char* programa, void (*reinicia_back_end)()) {
    Inicial().Restaura();
    reinicia_back_end();
    char* buffer = nullptr;
    std::size_t tamanho = 0;
    saida = open_memstream(&buffer, &tamanho);
    Exige(saida != nullptr, "no memory stream");
    std::string args[] = {programa, kRelatorio, kFormato};
    char* argv[] = {args[0].data(), args[1].data(), args[2].data(), nullptr};
    Execucao e;
    e.status = Principal(3, argv);
    std::fclose(saida);
    saida = stdout;
    e.job.assign(buffer, tamanho);
    std::free(buffer);
    return e;
}

// Runs the input's report and format; `inicio` is how every job of the program begins, and `fim`
// how it ends (a document finished when the run ends). One input in four runs a second time and
// must give the same job: a difference means some state outlives a run, and would outlive a
// batch too.
inline void PercorreCaminho(const std::uint8_t* dados, std::size_t tamanho, const char* programa,
                            std::string_view inicio, void (*reinicia_back_end)(),
                            std::string_view fim = {}) {
    const auto [relatorio, formato] =
        Divide(std::string_view(reinterpret_cast<const char*>(dados), tamanho));
    Grava(kRelatorio, relatorio);
    Grava(kFormato, formato);
    const Execucao e = Executa(programa, reinicia_back_end);
    Exige(e.status == 0 || e.status == -1, "the run ended with a status other than 0 and -1");
    if (e.status == 0) {
        Exige(e.job.compare(0, inicio.size(), inicio) == 0, "a finished job lacks its start");
        Exige(e.job.ends_with(fim), "a finished job lacks its end");
    }
    for (const std::string& nome : Arquivos())
        Exige(Esperado(nome), "the run left a stray file in its working directory");
    unsigned soma = 0;
    for (std::size_t i = 0; i < tamanho; ++i)
        soma = soma * 31 + dados[i];
    if (soma % 4 != 0) return;
    const Execucao de_novo = Executa(programa, reinicia_back_end);
    Exige(de_novo.status == e.status && de_novo.job == e.job, "the same input gave another job");
}

}  // namespace fuzz
