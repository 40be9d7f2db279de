#pragma once
// Who may talk to the studio: whoever holds the run's token (random, printed in the address
// only), names the address it serves in the Host header (a page of another site that reaches it
// by DNS rebinding names its own), and, to change anything, comes from the studio's own page.
#include <optional>
#include <string>
#include <string_view>

// Random bytes from the kernel, as hexadecimal digits; nothing when the kernel gives none.
std::optional<std::string> NovoToken();
// The two texts are equal, compared in a time that does not tell how much of them agrees.
bool TokenIgual(std::string_view recebido, std::string_view token);
// What a client names the studio by: the address and port it serves ("127.0.0.1:8080",
// "[::1]:8080").
std::string Autoridade(const std::string& endereco, int porta);
// The Host header names exactly that (a name's case aside).
bool HostAceito(std::string_view host, std::string_view autoridade);
// The Origin header is the studio's own page.
bool OrigemAceita(std::string_view origem, std::string_view autoridade);
