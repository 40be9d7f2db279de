#pragma once
// The accent notation of format texts and report data: a backslash, a mark and a letter stand
// for one accented letter. The letters it can make are all in Latin-1, and their Latin-1 codes
// are also their Unicode code points, so each back-end maps the codes to its own output.
#include <string_view>
#include <vector>

// One character of a text after the notation: a byte taken as it is, or a letter the notation
// made (its Latin-1 code).
struct LetraLatin1 {
    unsigned char byte;
    bool acentuada;
};

// A backslash, a mark and a letter make one accented letter; an unknown letter stays without
// its mark; a backslash before anything else leaves that character alone; an unfinished
// sequence at the end yields nothing.
std::vector<LetraLatin1> ConverteAcentos(std::string_view texto);
