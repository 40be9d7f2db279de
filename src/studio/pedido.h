#pragma once
// What the studio reads from a request: numbers of its address (page, side, resolution, line,
// a move's distances) and the form's text in its body. Every value is checked against its
// bounds here; nothing else of a request is trusted.
#include <optional>
#include <string>
#include <string_view>

#include "studio/json.h"

// A whole decimal number, sign allowed, every character a part of it, within [minimo, maximo].
std::optional<int> LeInteiroPedido(std::string_view texto, int minimo, int maximo);
// A decimal number with an optional fraction (a full stop), within [minimo, maximo].
std::optional<double> LeDecimalPedido(std::string_view texto, double minimo, double maximo);

// The set a form's bytes are shown in: UTF-8 when they are well-formed UTF-8 (an empty or new
// form too), Latin-1 otherwise, so that no byte of an older form is lost.
Conjunto ConjuntoDoFormulario(std::string_view bytes);
// The form's bytes from the editor's text, which the page always sends as UTF-8: unchanged
// for a UTF-8 form, each character back to its byte for a Latin-1 one. Nothing when the text
// is not well-formed UTF-8, or holds a character its form's set has no byte for.
std::optional<std::string> BytesDoEditor(std::string_view texto, Conjunto conjunto);
