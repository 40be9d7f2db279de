#pragma once
// The forms a print job asks for with its "formulario" option, found in the forms directory.
#include <string>
#include <vector>

// The form a job asks for: its own "formulario" option, or else the queue's default as its
// printer model ($PPD) holds it, which the web interface and `lpadmin -o formulario=NOME` set;
// empty when neither names one. A custom value ("Custom.NOME") names NOME.
std::string FormularioDoTrabalho(const char* opcoes);

// The forms directory: $MORV_FORMULARIOS, or the one the filters were built for; absolute, since
// the job runs in a working directory of its own.
std::string PastaFormularios();

// The form names that `valor` ("NOME", or "a,b,c,d" for the four-format form) lists; empty,
// with the message in `erro`, when it lists anything else.
std::vector<std::string> NomesFormularios(const std::string& valor, std::string& erro);

// The format file of each name in the forms directory `pasta`.
std::vector<std::string> CaminhosFormularios(const std::vector<std::string>& nomes,
                                             const std::string& pasta);
