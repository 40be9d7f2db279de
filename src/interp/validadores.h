#pragma once
// The command table of the format language: one validator per command. Each checks the word
// count of the line held in `args`, applies the settings that act at load time, and answers the
// class of the line: kObjetoFixo, kObjetoVariavel, kAjuste, or kErro with the message in msg.
#include <string>
#include <string_view>

#include "util/lista.h"

using Validador = int (*)(Lista* palavras, std::string& msg);

int InterpretaDuplex(Lista* palavras, std::string& msg);
int InterpretaPapel(Lista* palavras, std::string& msg);
int InterpretaOrientacao(Lista* palavras, std::string& msg);
int InterpretaAlimentacao(Lista* palavras, std::string& msg);
int InterpretaOrigem(Lista* palavras, std::string& msg);
int InterpretaMD5(Lista* palavras, std::string& msg);
int InterpretaMarca(Lista* palavras, std::string& msg);
int InterpretaRotacao(Lista* palavras, std::string& msg);
int InterpretaRotacao2(Lista* palavras, std::string& msg);
int InterpretaSaltaPagina(Lista* palavras, std::string& msg);
int InterpretaIgnora(Lista* palavras, std::string& msg);
int InterpretaCaptura(Lista* palavras, std::string& msg);
int InterpretaMostra(Lista* palavras, std::string& msg);
int InterpretaTexto(Lista* palavras, std::string& msg);
int InterpretaLinha(Lista* palavras, std::string& msg);
int InterpretaRetang(Lista* palavras, std::string& msg);
int InterpretaRetangA(Lista* palavras, std::string& msg);
int InterpretaImagem(Lista* palavras, std::string& msg);
int InterpretaInput(Lista* palavras, std::string& msg);
int InterpretaCodBar(Lista* palavras, std::string& msg);
int InterpretaCodMatriz(Lista* palavras, std::string& msg);
int InterpretaCodificacao(Lista* palavras, std::string& msg);
int InterpretaVias(Lista* palavras, std::string& msg);
int InterpretaVia(Lista* palavras, std::string& msg);
int InterpretaGrupo(Lista* palavras, std::string& msg);
int InterpretaOMR(Lista* palavras, std::string& msg);

// The validator of a keyword (compared exactly, case and all), or null for an unknown one.
Validador BuscaValidador(std::string_view palavra);

// The message of a word-count error on the current format line.
std::string MensagemNumArgs();

// The loader's VIA block, which VIA opens and ALIMENTACAO acts on: the copy whose block the
// current line is in (0 outside any), and a new block of `via`, named so by `palavra`.
int ViaEmCarga();
void AbreViaEmCarga(int via, const std::string& palavra);
