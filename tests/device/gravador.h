#pragma once
// A back-end that records every contract call instead of printing, so that the shared code can
// be tested without a printer language.
#include <string>
#include <vector>

// One line per call: the operation's name and its arguments, floats with "%g".
extern std::vector<std::string> chamadas;
