#pragma once
// Helpers shared by the fuzz harnesses: a private working directory, input files, splitting one
// fuzz input into several files, and putting the process-wide state back as a fresh process
// has it, so that every input runs as if it were the first.
#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "device/dispositivo.h"
#include "interp/interp.h"

namespace fuzz {

// Stops the run with a message: libFuzzer saves the input that got here.
[[noreturn]] inline void Falha(const char* oque) {
    std::fprintf(stderr, "fuzz: invariant broken: %s\n", oque);
    std::abort();
}

inline void Exige(bool condicao, const char* oque) {
    if (!condicao) Falha(oque);
}

// A fresh directory under TMPDIR (or /tmp), made the working directory and the TMPDIR of the
// programs: the trace, the scratch file and the data files of the runs land there.
inline const std::string& Diretorio() {
    static const std::string caminho = [] {
        const char* base = std::getenv("TMPDIR");
        std::string modelo =
            std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/morvfuzzXXXXXX";
        if (mkdtemp(modelo.data()) == nullptr || chdir(modelo.c_str()) != 0)
            Falha("cannot make the working directory");
        setenv("TMPDIR", modelo.c_str(), 1);
        return modelo;
    }();
    return caminho;
}

inline void Grava(const char* nome, std::string_view conteudo) {
    std::FILE* f = std::fopen(nome, "wb");
    if (f == nullptr) Falha("cannot write an input file");
    std::fwrite(conteudo.data(), 1, conteudo.size(), f);
    std::fclose(f);
}

// Names in the working directory, "." and ".." left out.
inline std::vector<std::string> Arquivos() {
    std::vector<std::string> nomes;
    DIR* d = opendir(".");
    if (d == nullptr) Falha("cannot list the working directory");
    while (dirent* e = readdir(d)) {
        const std::string nome = e->d_name;
        if (nome != "." && nome != "..") nomes.push_back(nome);
    }
    closedir(d);
    return nomes;
}

// Separates the files packed in one input: readable in a seed, and a mutation that breaks it
// just leaves the later files empty.
constexpr std::string_view kSeparador = "\n--8<--\n";

inline std::pair<std::string_view, std::string_view> Divide(std::string_view entrada) {
    const std::size_t p = entrada.find(kSeparador);
    if (p == std::string_view::npos) return {entrada, {}};
    return {entrada.substr(0, p), entrada.substr(p + kSeparador.size())};
}

// The device variables and the interpreter's counters as a new process starts with them.
struct EstadoInicial {
    char papel = ::papel;
    float tam_papel = ::tam_papel;
    char orientacao = ::orientacao;
    signed char alimentacao = ::alimentacao;
    int origx = ::origx, origy = ::origy;
    float xtop = ::xtop, ytop = ::ytop;
    unsigned char duplex = ::duplex;
    char tipo_verso = ::tipo_verso;
    int rotacao0 = ::rotacao0, rotacao = ::rotacao;
    int margemx = ::margemx, margemy = ::margemy;
    int marca = ::marca, marcaini = ::marcaini, marcafim = ::marcafim, linha = ::linha;

    void Restaura() const {
        ::papel = papel;
        ::tam_papel = tam_papel;
        ::orientacao = orientacao;
        ::alimentacao = alimentacao;
        ::origx = origx;
        ::origy = origy;
        ::xtop = xtop;
        ::ytop = ytop;
        ::duplex = duplex;
        ::tipo_verso = tipo_verso;
        ::rotacao0 = rotacao0;
        ::rotacao = rotacao;
        ::margemx = margemx;
        ::margemy = margemy;
        ::marca = marca;
        ::marcaini = marcaini;
        ::marcafim = marcafim;
        ::linha = linha;
        ReiniciaFonte();
    }
};

// Taken before the first input changes anything.
inline const EstadoInicial& Inicial() {
    static const EstadoInicial estado;
    return estado;
}

// The job stream of the harnesses: written in full, never looked at.
inline std::FILE* Descarte() {
    static std::FILE* f = std::fopen("/dev/null", "wb");
    if (f == nullptr) Falha("cannot open /dev/null");
    return f;
}

}  // namespace fuzz
