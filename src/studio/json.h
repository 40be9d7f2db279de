#pragma once
// What the studio sends the page: JSON written as PostScript and PDF are written here, by hand
// and exactly, and the pictures in base64.
#include <string>
#include <string_view>

// How the bytes of a text become the page's characters. A form or report in UTF-8 shows its
// characters (a byte that belongs to none as one U+FFFD, as the programs count it as one
// character); any other shows each byte as the Latin-1 character of that code, so that every
// byte comes back to the studio as it was.
enum class Conjunto { utf8, latin1 };

// The text as a JSON string, quotes included.
std::string TextoJson(std::string_view bytes, Conjunto conjunto);
// A number as JSON writes it, to the given decimals; non-finite ones as 0.
std::string NumeroJson(double valor, int decimais);
// The bytes in base64, as a data: URL of the page carries a picture.
std::string Base64(std::string_view bytes);
