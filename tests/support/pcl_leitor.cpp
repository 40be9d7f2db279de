#include "support/pcl_leitor.h"

#include <cstdlib>
#include <set>
#include <string_view>

namespace {

constexpr char kEsc = '\x1b';
// Two-character sequences a PCL job may hold: reset, clear margins, half line feed, display.
constexpr std::string_view kEscapes2 = "E9=YZ";

bool Minuscula(char c) {
    return c >= 'a' && c <= 'z';
}
bool Maiuscula(char c) {
    return c >= 'A' && c <= 'Z';
}
bool Digito(char c) {
    return c >= '0' && c <= '9';
}

// A number as printers take it: optional sign, digits, optional decimal point and digits, with at
// least one digit somewhere. The empty text is allowed where `vazio` says so.
bool NumeroValido(std::string_view v, bool vazio) {
    if (v.empty()) return vazio;
    std::size_t i = 0;
    if (v[0] == '+' || v[0] == '-') ++i;
    bool digitos = false, ponto = false;
    for (; i < v.size(); ++i) {
        if (Digito(v[i]))
            digitos = true;
        else if (v[i] == '.' && !ponto)
            ponto = true;
        else
            return false;
    }
    return digitos;
}

long long Valor(const ParametroPCL& p) {
    return std::atoll(p.valor.c_str());
}

class Leitor {
  public:
    explicit Leitor(const std::string& job) : job_(job) {}

    LeituraPCL Le() {
        while (pos_ < job_.size()) {
            if (job_[pos_] == kEsc)
                Escape();
            else if (hpgl_)
                ComandoHPGL();
            else
                Texto();
        }
        if (hpgl_) Problema(job_.size(), "HP-GL/2 section not returned to PCL");
        if (definindo_) Problema(job_.size(), "macro definition not closed");
        return std::move(r_);
    }

  private:
    void Problema(std::size_t onde, const std::string& texto) {
        r_.problemas.push_back("byte " + std::to_string(onde) + ": " + texto);
    }

    void Texto() {
        const std::size_t fim = std::min(job_.find(kEsc, pos_), job_.size());
        Guarda(TokenPCL::Tipo::Texto, pos_, fim);
        pos_ = fim;
    }

    TokenPCL& Guarda(TokenPCL::Tipo tipo, std::size_t inicio, std::size_t fim) {
        TokenPCL t;
        t.tipo = tipo;
        t.inicio = inicio;
        t.bytes = job_.substr(inicio, fim - inicio);
        r_.tokens.push_back(std::move(t));
        return r_.tokens.back();
    }

    // Two upper-case letters, numeric parameters separated by commas, a semicolon.
    void ComandoHPGL() {
        const std::size_t inicio = pos_;
        const std::size_t fim = job_.find_first_of(std::string_view(";\x1b", 2), pos_);
        if (fim == std::string::npos || job_[fim] != ';') {
            Problema(inicio, "HP-GL/2 command without its semicolon");
            pos_ = fim == std::string::npos ? job_.size() : fim;
            return;
        }
        const std::string_view cmd(job_.data() + inicio, fim - inicio);
        bool valido = cmd.size() >= 2 && Maiuscula(cmd[0]) && Maiuscula(cmd[1]);
        if (valido && cmd.size() > 2) {
            std::string_view resto = cmd.substr(2);
            while (valido) {
                const std::size_t virgula = resto.find(',');
                valido = NumeroValido(resto.substr(0, virgula), false);
                if (virgula == std::string_view::npos) break;
                resto.remove_prefix(virgula + 1);
            }
        }
        if (!valido) Problema(inicio, "malformed HP-GL/2 command [" + std::string(cmd) + "]");
        pos_ = fim + 1;
        Guarda(TokenPCL::Tipo::HPGL, inicio, pos_);
    }

    void Escape() {
        const std::size_t inicio = pos_;
        if (pos_ + 1 >= job_.size()) {
            Problema(inicio, "escape at the end of the job");
            pos_ = job_.size();
            return;
        }
        const char c = job_[pos_ + 1];
        if (kEscapes2.find(c) != std::string_view::npos) {
            if (hpgl_) Problema(inicio, "PCL command inside HP-GL/2");
            pos_ += 2;
            Guarda(TokenPCL::Tipo::Escape2, inicio, pos_);
            return;
        }
        if (std::string_view("&*()%").find(c) == std::string_view::npos) {
            Problema(inicio, std::string("unknown escape sequence ") + c);
            ++pos_;
            return;
        }
        Parametrizado(inicio, c);
    }

    void Parametrizado(std::size_t inicio, char c) {
        std::size_t j = inicio + 2;
        char grupo = 0;
        if (j < job_.size() && Minuscula(job_[j])) grupo = job_[j++];
        if ((c == '&' || c == '*') && grupo == 0) Problema(inicio, "command without group");
        if (c == '%' && grupo != 0) Problema(inicio, "group character after escape %");

        std::vector<ParametroPCL> parametros;
        bool fechado = false;
        while (j < job_.size()) {
            const std::size_t v = j;
            if (job_[j] == '+' || job_[j] == '-') ++j;
            while (j < job_.size() && (Digito(job_[j]) || job_[j] == '.'))
                ++j;
            ParametroPCL p;
            p.valor = job_.substr(v, j - v);
            if (!NumeroValido(p.valor, true)) Problema(v, "malformed value [" + p.valor + "]");
            if (j >= job_.size()) break;
            p.letra = job_[j];
            if (!Minuscula(p.letra) && !Maiuscula(p.letra)) break;
            ++j;
            parametros.push_back(p);
            if (Maiuscula(p.letra)) {
                fechado = true;
                break;
            }
        }
        pos_ = j;
        if (!fechado) {
            Problema(inicio, "escape sequence without its terminating letter");
            return;
        }
        TokenPCL& t = Guarda(TokenPCL::Tipo::Comando, inicio, pos_);
        t.parametrizado = c;
        t.grupo = grupo;
        t.parametros = parametros;
        Interpreta(t);
    }

    void Interpreta(const TokenPCL& t) {
        const char c = t.parametrizado, g = t.grupo;
        if (hpgl_ && c != '%') Problema(t.inicio, "PCL command inside HP-GL/2");
        if (c == '%') ModoHPGL(t);
        if (c == '&' && g == 'f') Macro(t);
        if (c == '*' && g == 'r') Raster(t);
        for (std::size_t i = 0; i + 1 < t.parametros.size(); ++i)
            if (t.parametros[i].letra == 'w' &&
                ((c == '*' && (g == 'b' || g == 'c')) || ((c == '(' || c == ')') && g == 's')))
                Problema(t.inicio, "data command combined with a later one");
        const char ultima = t.parametros.back().letra;
        const bool dados = (ultima == 'W' && ((c == '*' && (g == 'b' || g == 'c')) ||
                                              ((c == '(' || c == ')') && g == 's'))) ||
                           (ultima == 'X' && c == '&' && g == 'p');
        if (dados) Dados(t);
    }

    void Dados(const TokenPCL& t) {
        const ParametroPCL& p = t.parametros.back();
        if (t.parametrizado == '*' && t.grupo == 'b' && !raster_)
            Problema(t.inicio, "raster row outside raster graphics");
        if (p.valor.empty() || !Digito(p.valor[0]) || p.valor.find('.') != std::string::npos) {
            Problema(t.inicio, "byte count [" + p.valor + "] is not a whole number");
            return;
        }
        const auto n = static_cast<std::size_t>(Valor(p));
        if (job_.size() - pos_ < n) {
            Problema(t.inicio, "announces " + std::to_string(n) + " bytes, the job holds " +
                                   std::to_string(job_.size() - pos_));
            pos_ = job_.size();
            return;
        }
        Guarda(TokenPCL::Tipo::Dados, pos_, pos_ + n);
        pos_ += n;
    }

    void ModoHPGL(const TokenPCL& t) {
        const char letra = t.parametros.back().letra;
        if (t.parametros.size() != 1 || (letra != 'A' && letra != 'B')) {
            Problema(t.inicio, "unknown language switch");
        } else if (letra == 'B') {
            if (hpgl_) Problema(t.inicio, "HP-GL/2 entered twice");
            hpgl_ = true;
        } else {
            if (!hpgl_) Problema(t.inicio, "return to PCL outside HP-GL/2");
            hpgl_ = false;
        }
    }

    void Raster(const TokenPCL& t) {
        for (const auto& p : t.parametros) {
            const char l = static_cast<char>(p.letra | 0x20);
            if (l == 'a') raster_ = true;
            if (l == 'b' || l == 'c') raster_ = false;
        }
    }

    void Macro(const TokenPCL& t) {
        for (const auto& p : t.parametros) {
            const char l = static_cast<char>(p.letra | 0x20);
            if (l == 'y') id_ = Valor(p);
            if (l != 'x') continue;
            switch (Valor(p)) {
                case 0:
                    if (definindo_) Problema(t.inicio, "macro defined inside a macro");
                    definindo_ = true;
                    em_definicao_ = id_;
                    break;
                case 1:
                    if (!definindo_) Problema(t.inicio, "macro stop without a definition");
                    definindo_ = false;
                    definidas_.insert(em_definicao_);
                    break;
                case 2:
                case 3:
                case 4:
                    if (!definidas_.count(id_))
                        Problema(t.inicio, "macro " + std::to_string(id_) + " used undefined");
                    break;
                case 6:
                case 7:
                    definidas_.clear();
                    break;
                case 8:
                    if (!definidas_.erase(id_))
                        Problema(t.inicio, "macro " + std::to_string(id_) + " deleted undefined");
                    break;
                default:
                    break;
            }
        }
    }

    const std::string& job_;
    std::size_t pos_ = 0;
    bool hpgl_ = false;
    bool raster_ = false;
    bool definindo_ = false;
    long long id_ = 0;
    long long em_definicao_ = 0;
    std::set<long long> definidas_;
    LeituraPCL r_;
};

}  // namespace

LeituraPCL LeJobPCL(const std::string& job) {
    return Leitor(job).Le();
}
