#pragma once
// The forms a print job asks for with its "formulario" option, found in the forms directory.
#include <string>
#include <vector>

// The forms directory: $MORV_FORMULARIOS, or the one the filters were built for; absolute, since
// the job runs in a working directory of its own.
std::string PastaFormularios();

// The format files that `valor` ("NOME", or "a,b,c,d" for the four-format form) names in
// `pasta`; empty, with the message in `erro`, when it names anything else.
std::vector<std::string> CaminhosFormularios(const std::string& valor, const std::string& pasta,
                                             std::string& erro);
