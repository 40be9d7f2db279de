#pragma once
// The first sheet of a batch, seen before its turn: the inserter marks of the batch before it
// need to know whether that sheet goes on with their last envelope.
#include <optional>
#include <string>

// The value the format's envelope variable (GRUPO) takes on the first page of the data file,
// empty when the format has none or the page no value; nothing when the format cannot be
// loaded. The format is loaded in a child process: loaded here, it would take the place of
// the one whose batch is being printed.
std::optional<std::string> ValorNaPrimeiraFolha(const char* formato, const std::string& dados);
