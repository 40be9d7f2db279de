// Hostile arguments to both programs: absurd numbers in every numeric argument of every command,
// control bytes in text arguments, barcode texts that no symbology can encode, and bitmaps whose
// headers lie. Every run must end by itself, produce a well-formed job and leave nothing behind.
#include <cstdint>
#include <string>
#include <vector>

#include "driver/hostil.h"

namespace {

// Numbers that overflow every type they could be read into, and words that are no number.
const std::vector<std::string> kValores = {"1e308",      "-1e308",     "99999999999", "-2147483648",
                                           "2147483647", "4294967296", "nan",         "inf",
                                           "-inf",       "abc",        "\"\"",        "1e-320",
                                           "0x1p999",    "-0",         "-99999999999"};

// A format line in which each {d} is a numeric argument with its sane value d.
struct Modelo {
    std::string texto;
};

// The line with argument `qual` (or every argument, when qual is -1) replaced by the value.
std::string Expande(const std::string& modelo, const std::string& valor, int qual) {
    std::string r;
    int n = 0;
    for (std::size_t i = 0; i < modelo.size(); ++i) {
        if (modelo[i] != '{') {
            r += modelo[i];
            continue;
        }
        const std::size_t fim = modelo.find('}', i);
        r += (qual < 0 || qual == n) ? valor : modelo.substr(i + 1, fim - i - 1);
        ++n;
        i = fim;
    }
    return r;
}

int Argumentos(const std::string& modelo) {
    int n = 0;
    for (char c : modelo)
        n += c == '{';
    return n;
}

// Every argument of the line absurd in turn, then all of them at once, for every value.
std::string Variacoes(const std::string& modelo) {
    std::string r;
    for (const std::string& valor : kValores)
        for (int qual = -1; qual < Argumentos(modelo); ++qual)
            r += Expande(modelo, valor, qual) + "\n";
    return r;
}

// A bitmap of the test: 1 bit per pixel, bottom row first, rows padded to 32 bits.
std::string Bmp(std::int32_t largura, std::int32_t altura) {
    const std::uint32_t tamlinha = (static_cast<std::uint32_t>(largura) + 31) / 32 * 4;
    const std::uint32_t linhas = static_cast<std::uint32_t>(altura < 0 ? -altura : altura);
    const std::uint32_t dados = tamlinha * linhas;
    std::string b(62, '\0');
    auto poe = [&b](std::size_t pos, std::uint32_t valor, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b[pos + static_cast<std::size_t>(i)] = static_cast<char>(valor >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    poe(2, 62 + dados, 4);
    poe(10, 62, 4);
    poe(14, 40, 4);
    poe(18, static_cast<std::uint32_t>(largura), 4);
    poe(22, static_cast<std::uint32_t>(altura), 4);
    poe(26, 1, 2);
    poe(28, 1, 2);
    poe(34, dados, 4);
    poe(46, 2, 4);
    poe(58, 0xffffff, 4);  // palette: black, white
    b += std::string(dados, '\xaa');
    return b;
}

// A report for every read: plain lines of digits, and a section.
const std::string kRelatorio = "1234\n5678\n.secao 1\n9012\n3456\n7890\n.fim\n1234\n";

// Only barcode texts that cannot be encoded may be reported: nothing else here has a message.
void SoMensagensDeCodigo(const std::string& erro) {
    std::size_t inicio = 0;
    while (inicio < erro.size()) {
        std::size_t fim = erro.find('\n', inicio);
        if (fim == std::string::npos) fim = erro.size();
        const std::string linha = erro.substr(inicio, fim - inicio);
        EXPECT_EQ(linha.rfind("Codigo de barras invalido [", 0), 0u) << linha;
        inicio = fim + 1;
    }
}

struct Grupo {
    const char* nome;
    std::string fixo;                  // lines before the varied ones
    std::vector<std::string> modelos;  // varied lines
};

TEST_F(Hostil, NumerosAbsurdosEmCadaArgumento) {
    EscreveArquivo("r.txt", kRelatorio);
    EscreveArquivo("logo.bmp", Bmp(32, 2));
    const Grupo grupos[] = {
        {"TEXTO", "", {"TEXTO {1} {1} A{10} N x", "TEXTO C {1} C{12} NI centro"}},
        {"LINHA", "", {"LINHA {1} {1} {2} {1} {1}", "LINHA {1} {1} {2} {1}"}},
        {"LINHA tracejada", "", {"LINHA {1} {1} {2} {1} {-1}", "LINHA {1} {1} {1} {2} {-1}"}},
        {"RETANG", "", {"RETANG {1} {1} {2} {1} {10} {1}"}},
        {"RETANGA", "", {"RETANGA {1} {1} {2} {1} 0000 {1}"}},
        {"IMAGEM", "", {"IMAGEM {1} {1} {1} {1} logo.bmp {0}"}},
        {"INPUT", "", {"INPUT {1} {1} A{10} N {1}", "INPUT C {1} C{12} N {0}"}},
        {"CODBAR", "", {"CODBAR {1} {1} {1} i25 {1}", "CODBAR {1} {1} {1} code128c {0}"}},
        {"CODBAR code39", "", {"CODBAR {1} {1} {1} code39 {0}"}},
        {"CODBAR2", "CAPTURA 0 V:1:4\n", {"CODBAR2 {1} {1} {1} code39 V"}},
        {"CODMATRIZ",
         "",
         {"CODMATRIZ {1} {1} {1} qrcode {1}", "CODMATRIZ {1} {1} {1} datamatrix {0}"}},
        {"CODMATRIZ2", "CAPTURA 0 V:1:4\n", {"CODMATRIZ2 {1} {1} {0.5} qrcode-h V"}},
        {"MOSTRA", "CAPTURA 0 V:1:4\n", {"MOSTRA {1} {1} A{10} N V", "MOSTRA C {1} C{10} N V"}},
        {"IGNORA", "", {"IGNORA {1}", "INPUT 1 1 A10 N 0"}},
        {"CAPTURA", "", {"CAPTURA {1} V:{1}:{4} W:{2}:{2}", "MOSTRA 1 1 A10 N V"}},
        {"ROTACAO",
         "ROTACAO 180\nRETANGA 1 1 1 1 0101 1\nROTACAO -90\nTEXTO 1 1 A10 N x\n",
         {"ROTACAO {90}", "TEXTO 1 1 A10 N girado", "RETANGA 1 1 1 1 0000 1"}},
        {"ROTACAO2", "", {"ROTACAO2 {270}", "INPUT 1 1 A10 N 0", "RETANGA 1 1 1 1 0000 1"}},
        {"MD5", "", {"MD5 {1} {1} A{10} N {1}"}},
        {"MD5V",
         "CAPTURA 0 V:1:4 W:2:2\n",
         {"MD5V {1} {1} A{10} N N{10} V X{5} W -{1} V N{99} V X V N V"}},
        {"MARCA", "", {"MARCA {1}", "TEXTO 1 1 A10 N x"}},
    };
    for (const auto& programa : kProgramas) {
        for (const auto& grupo : grupos) {
            SCOPED_TRACE(NomePrograma(programa) + ": " + grupo.nome);
            std::string formato = grupo.fixo;
            for (const std::string& modelo : grupo.modelos)
                formato += Variacoes(modelo);
            EscreveArquivo("f.fmt", formato);
            Resultado r = Roda(programa, {"r.txt", "f.fmt"});
            EXPECT_EQ(r.status, 0);
            SoMensagensDeCodigo(r.erro);
        }
    }
}

// Settings act on the whole job, so each value gets a run of its own.
TEST_F(Hostil, AjustesComNumerosAbsurdos) {
    EscreveArquivo("r.txt", kRelatorio);
    const std::string objetos =
        "TEXTO 1 1 A10 N x\nTEXTO C 2 A10 N centro\nLINHA 1 3 2 3 -1\nRETANG 1 4 1 1 10 1\n"
        "RETANGA 1 5 1 1 0000 1\nCODBAR 1 6 1 i25 0\nVERSO\nRETANGA 1 1 1 1 0101 1\n";
    for (const auto& programa : kProgramas) {
        for (const std::string& valor : kValores) {
            for (const char* pagina : {"", "PAPEL CARTA\nORIENTACAO PAISAGEM\n"}) {
                SCOPED_TRACE(NomePrograma(programa) + ": " + valor + " " + pagina);
                // A column of marks anywhere, and a second copy's own tray.
                EscreveArquivo("f.fmt", std::string(pagina) + "ALIMENTACAO " + valor + "\nORIGEM " +
                                            valor + " " + valor + "\nVIAS 2\nCAPTURA 0 V:1:4\n" +
                                            "GRUPO V\nOMR " + valor + " " + valor + "\n" + objetos +
                                            "VIA 2\nALIMENTACAO " + valor + "\n");
                Resultado r = Roda(programa, {"r.txt", "f.fmt"});
                EXPECT_EQ(r.status, 0);
                EXPECT_EQ(r.erro, "");
            }
        }
        // Settings are kept from load to load: put them back for the next program's runs.
        EscreveArquivo("f.fmt", "ALIMENTACAO 1\nORIGEM 0 0\nPAPEL A4\nORIENTACAO RETRATO\n");
        Roda(programa, {"r.txt", "f.fmt"});
    }
}

// Words of a format may hold any byte but blanks, tabs and line ends: printer and PostScript
// syntax in them must stay inside the object they belong to.
TEST_F(Hostil, PalavrasComBytesDeControle) {
    EscreveArquivo("r.txt", kRelatorio);
    const std::string estranho = "\f(\x1b%\\)";
    EscreveArquivo("logo" + estranho + ".bmp", Bmp(32, 2));
    const std::string formato =
        "RETANGA 1 1 1 1 0" + estranho + " 1\n" +                                // corner flags
        "IMAGEM 1 2 1 1 logo" + estranho + ".bmp 1\n" +                          // file name
        "TEXTO 1 3 A10" + estranho + " N" + estranho + " x" + estranho + "\n" +  // font, style
        "TEXTO C 4 C" + estranho + " I \\" + estranho + "\n" +                   // centred
        "CAPTURA 0 V" + estranho + ":1:4\n" +                                    // variable
        "MOSTRA 1 5 A10 N V" + estranho + "\n" +                                 //
        "CODBAR 1 6 1 i25" + estranho + " 0\n" +                                 // type
        "MD5V 1 7 A10 N N" + estranho + " V" + estranho + " X\f - - - - - - - - - -\n";
    EscreveArquivo("f.fmt", formato);
    for (const auto& programa : kProgramas) {
        SCOPED_TRACE(NomePrograma(programa));
        Resultado r = Roda(programa, {"r.txt", "f.fmt"});
        EXPECT_EQ(r.status, 0);
        SoMensagensDeCodigo(r.erro);
    }
}

struct CasoCodigo {
    const char* tipo;
    std::string texto;  // the report line the barcode reads
    bool valido;
};

TEST_F(Hostil, CodigosDeBarrasInvalidos) {
    const CasoCodigo casos[] = {
        {"i25", "12A4", false},
        {"i25", "-123", false},
        {"i25", "+12", false},
        {"i25", "1.5", false},
        {"i25", "12\xe9", false},
        {"i25", std::string(224, '7'), true},
        {"i25", std::string(225, '7'), false},
        {"i25", " 1234", true},  // a blank first: the text is empty and nothing is drawn
        {"i25", "12 AB", true},  // cut at the blank
        {"code128c", "12.34", false},
        {"code128c", "abc", false},
        {"code128c", "1e5", false},
        {"code128c", std::string(254, '3'), true},
        {"code128c", std::string(255, '3'), false},
        {"code128c", "123", true},
        {"code39", "abc", false},
        {"code39", "A#B", false},
        {"code39", "A\x01", false},
        {"code39", "\xc0\xc1", false},
        {"code39", std::string(143, 'Z'), true},
        {"code39", std::string(144, 'Z'), false},
        {"code39", "A*B-$/+%.", true},
        {"EAN13", "abc", false},
        {"", "ABC", true},
    };
    std::string relatorio, formato, erro;
    double y = 0.5;
    for (const auto& caso : casos) {
        relatorio += caso.texto + "\n";
        formato += "CODBAR 0.5 " + std::to_string(y) + " 1 \"" + caso.tipo + "\" 0\n";
        y += 0.4;
        const std::string cortado = caso.texto.substr(0, caso.texto.find(' '));
        if (!caso.valido) erro += "Codigo de barras invalido [" + cortado + "]\n";
    }
    EscreveArquivo("r.txt", relatorio);
    EscreveArquivo("f.fmt", formato);
    for (const auto& programa : kProgramas) {
        SCOPED_TRACE(NomePrograma(programa));
        Resultado r = Roda(programa, {"r.txt", "f.fmt"});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.erro, erro);
    }
}

struct Remendo {
    std::size_t posicao;
    std::uint32_t valor;
};

struct CasoBitmap {
    const char* nome;
    std::int32_t largura, altura;   // the picture really stored
    std::vector<Remendo> remendos;  // header fields that lie about it (4 bytes each)
    std::size_t tamanho;            // the file is cut to this many bytes (0: whole)
    bool desenha;
};

TEST_F(Hostil, BitmapsComCabecalhosMentirosos) {
    constexpr std::size_t kLargura = 18, kAltura = 22, kDados = 10, kTamanho = 2, kInfo = 14;
    constexpr std::size_t kBits = 28, kCompressao = 30;
    const CasoBitmap casos[] = {
        {"correto", 32, 2, {}, 0, true},
        {"largura que nao e de 32", 33, 3, {}, 0, true},
        {"de cima para baixo", 32, -2, {}, 0, true},
        {"tamanho do arquivo 0", 32, 2, {{kTamanho, 0}}, 0, true},
        {"tamanho do arquivo enorme", 32, 2, {{kTamanho, 0xffffffff}}, 0, true},
        {"sem BM", 32, 2, {{0, 0x4d42 ^ 0x0101}}, 0, true},
        {"largura enorme", 32, 2, {{kLargura, 0x7fffffff}}, 0, false},
        {"largura negativa", 32, 2, {{kLargura, 0xffffffff}}, 0, false},
        {"largura zero", 32, 2, {{kLargura, 0}}, 0, false},
        {"altura enorme", 32, 2, {{kAltura, 0x7fffffff}}, 0, false},
        {"altura minima de int", 32, 2, {{kAltura, 0x80000000}}, 0, false},
        {"altura zero", 32, 2, {{kAltura, 0}}, 0, false},
        {"dados alem do fim", 32, 2, {{kDados, 0xffffffff}}, 0, false},
        {"dados dentro do cabecalho", 32, 2, {{kDados, 0}}, 0, false},
        {"dados que passam do fim", 32, 2, {{kDados, 63}}, 0, false},
        {"8 bits por pixel", 32, 2, {{kBits, 8}}, 0, false},
        {"comprimido", 32, 2, {{kCompressao, 1}}, 0, false},
        {"cabecalho de informacao curto", 32, 2, {{kInfo, 12}}, 0, false},
        {"cortado no cabecalho", 32, 2, {}, 20, false},
        {"cortado nos pixels", 32, 2, {}, 66, false},
        {"vazio", 32, 2, {}, 1, false},
    };
    EscreveArquivo("r.txt", kRelatorio);
    EscreveArquivo("f.fmt", "IMAGEM 1 1 1 1 b.bmp\nIMAGEM 1 3 1 1 b.bmp 1\n");
    for (const auto& caso : casos) {
        std::string b = Bmp(caso.largura, caso.altura);
        for (const Remendo& r : caso.remendos)
            for (std::size_t i = 0; i < 4 && r.posicao + i < b.size(); ++i)
                b[r.posicao + i] = static_cast<char>(r.valor >> (8 * i));
        if (caso.tamanho != 0) b.resize(caso.tamanho);
        EscreveArquivo("b.bmp", b);
        for (const auto& programa : kProgramas) {
            SCOPED_TRACE(NomePrograma(programa) + ": " + caso.nome);
            Resultado r = Roda(programa, {"r.txt", "f.fmt"});
            EXPECT_EQ(r.status, 0);
            // Refused, it is named once, though two objects draw it.
            EXPECT_EQ(r.erro, caso.desenha ? "" : "Erro na abertura do arquivo [b.bmp]\n");
            // The end of a raster (PCL) and the image's comment (PostScript) only follow a
            // bitmap that was read.
            const std::string marca = programa == kMorvex ? "\x1b*rB" : "% IMAGEM";
            EXPECT_EQ(r.saida.find(marca) != std::string::npos, caso.desenha);
        }
    }
}

}  // namespace
