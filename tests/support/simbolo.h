#pragma once
// A matrix code symbol written out by hand for the back-ends' tests: one text a row of modules,
// '1' for a dark module.
#include <string>
#include <vector>

#include "barcode/matriz.h"

inline SimboloMatriz SimboloDe(const std::vector<std::string>& linhas, int modulo) {
    SimboloMatriz s;
    s.altura = static_cast<int>(linhas.size());
    s.largura = linhas.empty() ? 0 : static_cast<int>(linhas[0].size());
    s.modulo = modulo;
    s.linhas.assign(static_cast<std::size_t>(s.BytesLinha() * s.altura), 0);
    for (int y = 0; y < s.altura; ++y)
        for (int x = 0; x < s.largura; ++x)
            if (linhas[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '1')
                s.linhas[static_cast<std::size_t>(y * s.BytesLinha() + x / 8)] |=
                    static_cast<unsigned char>(0x80u >> (x % 8));
    return s;
}

// A row of `largura` modules, dark only at the given ones.
inline std::string LinhaModulos(int largura, const std::vector<int>& escuros) {
    std::string linha(static_cast<std::size_t>(largura), '0');
    for (int e : escuros)
        linha[static_cast<std::size_t>(e)] = '1';
    return linha;
}
