#pragma once
// Renders PostScript jobs with Ghostscript in the working directory, for tests that look at
// the printed page: greyscale pages read back as pixels, and barcodes read with zbarimg.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/ferramentas.h"

inline bool TemPrograma(const std::string& nome) {
    return std::system(("command -v " + nome + " >/dev/null 2>&1").c_str()) == 0;
}

// Standard output of a shell command (its standard error is dropped).
inline std::string SaidaDe(const std::string& comando) {
    std::string s;
    if (std::FILE* p = popen((comando + " 2>/dev/null").c_str(), "r")) {
        char bloco[4096];
        std::size_t n;
        while ((n = std::fread(bloco, 1, sizeof bloco, p)) > 0)
            s.append(bloco, n);
        pclose(p);
    }
    return s;
}

// One rendered page: 0 is black, 255 white.
struct Pagina {
    int largura = 0, altura = 0;
    std::vector<unsigned char> pixels;
    unsigned char em(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(largura) +
                      static_cast<std::size_t>(x)];
    }
};

inline bool LePGM(const std::string& nome, Pagina& p) {
    std::ifstream f(nome, std::ios::binary);
    std::string magia;
    int maximo = 0;
    f >> magia;
    // Comment lines may follow the magic number.
    while (f >> std::ws && f.peek() == '#') {
        std::string comentario;
        std::getline(f, comentario);
    }
    f >> p.largura >> p.altura >> maximo;
    f.get();
    if (!f || magia != "P5" || maximo != 255 || p.largura <= 0 || p.altura <= 0) return false;
    p.pixels.resize(static_cast<std::size_t>(p.largura) * static_cast<std::size_t>(p.altura));
    f.read(reinterpret_cast<char*>(p.pixels.data()), static_cast<std::streamsize>(p.pixels.size()));
    return static_cast<bool>(f);
}

// Every page of the job at the given resolution; empty when Ghostscript cannot render it.
inline std::vector<Pagina> Renderiza(const std::string& job, int dpi) {
    EscreveArquivo("render.ps", job);
    SaidaDe("gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pgmraw -r" + std::to_string(dpi) +
            " -sOutputFile=render%03d.pgm render.ps </dev/null");
    std::vector<Pagina> paginas;
    for (int i = 1;; ++i) {
        char nome[32];
        std::snprintf(nome, sizeof nome, "render%03d.pgm", i);
        Pagina p;
        if (!LePGM(nome, p)) break;
        paginas.push_back(std::move(p));
        std::remove(nome);
    }
    return paginas;
}

// The texts of the barcodes on the first page, one per line, as zbarimg reads them.
inline std::vector<std::string> LeCodigos(const std::string& job) {
    EscreveArquivo("codigos.ps", job);
    SaidaDe(
        "gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pnggray -r300 -dLastPage=1 "
        "-sOutputFile=codigos.png codigos.ps </dev/null");
    std::istringstream lidos(SaidaDe("zbarimg -q --raw codigos.png"));
    std::vector<std::string> textos;
    for (std::string l; std::getline(lidos, l);)
        if (!l.empty()) textos.push_back(l);
    return textos;
}
