#pragma once
// Moving an object by rewriting its line of the form: only the words that place it change,
// each to its new value with two decimals; every other byte of the line stays as it was.
#include <optional>
#include <string>
#include <string_view>

// The text of line `numero` of the form (counted from 1, as the editor shows them), without its
// line end; nothing when the form has fewer lines.
std::optional<std::string_view> LinhaDoTexto(std::string_view texto, int numero);

// The line with its object moved `dx` inches to the right and `dy` inches down: both ends of a
// LINHA, only the y of a centred text (its x is "C"). Nothing when the line places nothing.
std::optional<std::string> MoveObjeto(std::string_view linha, double dx, double dy);
