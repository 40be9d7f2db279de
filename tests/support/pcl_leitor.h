#pragma once
// A reader of PCL jobs for the tests: splits a job into its escape sequences, text, raster data
// and HP-GL/2 commands, and lists every way in which the job is malformed.
#include <cstddef>
#include <string>
#include <vector>

struct ParametroPCL {
    std::string valor;  // as written: optional sign, digits, optional decimals; may be empty
    char letra = 0;     // lower case combines with the next parameter, upper case ends the command
};

struct TokenPCL {
    enum class Tipo {
        Texto,    // bytes printed as text (outside HP-GL/2)
        Escape2,  // a two-character escape sequence such as escape E
        Comando,  // a parameterised escape sequence
        Dados,    // the bytes that a command announced (raster rows)
        HPGL,     // one HP-GL/2 command, up to and including its semicolon
    };
    Tipo tipo = Tipo::Texto;
    std::size_t inicio = 0;  // offset in the job
    std::string bytes;       // the token exactly as it stands in the job
    char parametrizado = 0;  // Comando: the character after the escape ('&', '*', '(', '%')
    char grupo = 0;          // Comando: the group character, 0 when the command has none
    std::vector<ParametroPCL> parametros;
};

struct LeituraPCL {
    std::vector<TokenPCL> tokens;
    std::vector<std::string> problemas;  // empty for a well-formed job
};

LeituraPCL LeJobPCL(const std::string& job);
