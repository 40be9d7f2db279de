#pragma once
// The studio's HTTP side (libmicrohttpd): one page and the few requests it makes, under the
// run's token, for the Host it serves; every request bounded in its size and its time.
#include <memory>
#include <mutex>
#include <string>

#include "studio/amostra.h"
#include "studio/desenho.h"
#include "studio/formulario.h"

struct MHD_Daemon;
class RotasEstudio;

// Everything the requests reach.
struct Estudio {
    std::string relatorio;  // as the command line named it
    Amostra amostra;
    FormularioEditado formulario;
    std::mutex formulario_em_uso;  // saves one at a time, and never under a read
    std::unique_ptr<Desenhista> desenhista;
    std::string token;
    std::string autoridade;  // host:port, as clients must name it
};

class Servidor {
  public:
    explicit Servidor(Estudio& estudio);
    ~Servidor();
    Servidor(const Servidor&) = delete;
    Servidor& operator=(const Servidor&) = delete;
    // Listens on the address (IPv4 or IPv6) and port (0: any free one); false, with the
    // reason, when it cannot.
    bool Inicia(const std::string& endereco, int porta, std::string& erro);
    // The port it listens on.
    int Porta() const { return porta_; }
    // Stops listening and waits for the requests in hand.
    void Para();

  private:
    Estudio& estudio_;
    std::unique_ptr<RotasEstudio> rotas_;
    MHD_Daemon* daemon_ = nullptr;
    int porta_ = 0;
};
