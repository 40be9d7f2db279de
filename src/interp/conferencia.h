#pragma once
// A look over a loaded format for what loads without a word and yet surely prints wrong, for a
// host that shows it to the form's designer before anything is printed (the studio).
#include <string>
#include <vector>

struct AvisoFormato {
    int linha;  // the format file's line of the object (Lista::linha)
    std::string mensagem;
};

// Over the four object lists as the loader left them, in file order within each list: a number
// written with a decimal comma (read up to the comma), a quote never closed, a CAPTURA item
// without its length (it captures nothing), a variable shown or encoded that no CAPTURA of the
// form defines (it prints empty).
std::vector<AvisoFormato> AvisosDoFormato();
