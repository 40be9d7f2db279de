#pragma once
// The forms a print job asks for with its "formulario" option, found in the forms directory.
#include <string>
#include <vector>

// A job's option: its own, or else the queue's default as its printer model ($PPD) holds it,
// which the web interface and `lpadmin -o NOME=...` set; empty when neither gives one (the
// models' choice "nenhum"). A custom value ("Custom.VALOR") gives VALOR.
std::string OpcaoDoTrabalho(const char* opcoes, const char* nome);

// The form a job asks for: its "formulario" option, or the queue's.
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
