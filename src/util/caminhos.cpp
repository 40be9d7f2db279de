#include "util/caminhos.h"

std::string pasta_formulario;

std::string CaminhoFormulario(const std::string& nome) {
    if (pasta_formulario.empty() || nome.empty() || nome.front() == '/') return nome;
    return pasta_formulario + "/" + nome;
}
