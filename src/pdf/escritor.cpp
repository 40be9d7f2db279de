#include "pdf/escritor.h"

#include <algorithm>
#include <cstdio>

#include "codificacao/utf8.h"
#include "pdf/compressao.h"

namespace {

// PDF 1.5: compressed streams of objects and of the cross-reference table, fonts of compact
// outlines embedded as composite fonts, soft masks. The comment of four bytes above 127 tells
// transfer programs that the file is binary.
constexpr std::string_view kCabecalho = "%PDF-1.5\n%\xE2\xE3\xCF\xD3\n";
// Objects gathered into one object stream: enough to compress well, few enough to hold.
constexpr int kObjetosPorFluxo = 200;
// A place in an object stream: the flag, the stream's number, and the index in the stream in
// the low kBitsIndice bits.
constexpr std::uint64_t kNoFluxo = std::uint64_t{1} << 63;
constexpr int kBitsIndice = 16;
constexpr std::uint64_t kMascaraIndice = (std::uint64_t{1} << kBitsIndice) - 1;
// The cross-reference stream's fields: a type byte, the offset or object stream, and the index
// in the stream (or the generation), each of the last two in as few bytes as its largest value
// takes.
constexpr int kBytesTipo = 1;
// Pages under one node of the page tree.
constexpr int kPaginasPorNo = 100;
// The table's entries go out this many at a time.
constexpr std::size_t kPedacoTabela = 1024;
enum TipoEntrada : unsigned { kLivre = 0, kNoArquivo = 1, kComprimido = 2 };

void PoeBytes(std::string& s, std::uint64_t valor, int bytes) {
    for (int b = bytes - 1; b >= 0; --b)
        s += static_cast<char>((valor >> (8 * b)) & 0xFF);
}

// The bytes that hold the value.
int BytesPara(std::uint64_t valor) {
    int n = 1;
    while (valor >>= 8)
        ++n;
    return n;
}

}  // namespace

Escritor::Escritor(std::FILE* arquivo) : arquivo_(arquivo) {
    EscreveNoArquivo(kCabecalho);
    raiz_ = Reserva();
}

void Escritor::EscreveNoArquivo(std::string_view texto) {
    if (texto.empty()) return;
    if (std::fwrite(texto.data(), 1, texto.size(), arquivo_) != texto.size()) falhou_ = true;
    posicao_ += texto.size();
}

int Escritor::Reserva() {
    lugares_.push_back(0);
    return static_cast<int>(lugares_.size() - 1);
}

void Escritor::Comeca(int n) {
    lugares_[static_cast<std::size_t>(n)] = posicao_;
    EscreveNoArquivo(std::to_string(n) + " 0 obj\n");
}

void Escritor::Pagina(std::string_view entradas) {
    if (paginas_do_no_ == 0) no_ = Reserva();
    const int pagina = Reserva();
    Objeto(pagina, "<</Type/Page/Parent " + Referencia(no_) + std::string(entradas) + ">>");
    filhos_ += Referencia(pagina);
    filhos_ += ' ';
    if (++paginas_do_no_ == kPaginasPorNo) FechaNo();
}

// The pages go into the tree in nodes of kPaginasPorNo pages under the root: a node's number
// is kept for every so many pages, and finding a page takes two steps.
void Escritor::FechaNo() {
    if (paginas_do_no_ == 0) return;
    Objeto(no_, "<</Type/Pages/Parent " + Referencia(raiz_) + "/Kids[" + filhos_ + "]/Count " +
                    std::to_string(paginas_do_no_) + ">>");
    nos_.push_back(no_);
    paginas_ += paginas_do_no_;
    paginas_do_no_ = 0;
    filhos_.clear();
}

void Escritor::Objeto(int n, std::string_view corpo) {
    if (reunidos_ == 0) fluxo_ = Reserva();
    lugares_[static_cast<std::size_t>(n)] = kNoFluxo |
                                            static_cast<std::uint64_t>(fluxo_) << kBitsIndice |
                                            static_cast<std::uint64_t>(reunidos_);
    indice_ += std::to_string(n) + ' ' + std::to_string(corpos_.size()) + ' ';
    corpos_.append(corpo);
    corpos_ += '\n';
    if (++reunidos_ == kObjetosPorFluxo) EscreveObjetos();
}

void Escritor::EscreveObjetos() {
    if (reunidos_ == 0) return;
    indice_ += '\n';
    const std::string entradas = "/Type/ObjStm/N " + std::to_string(reunidos_) + "/First " +
                                 std::to_string(indice_.size()) + std::string(kFiltroCompressao);
    Comprime(indice_ + corpos_, comprimido_, Compressao::rapida);
    indice_.clear();
    corpos_.clear();
    reunidos_ = 0;
    Fluxo(fluxo_, entradas, comprimido_);
}

void Escritor::Fluxo(int n, std::string_view entradas, std::string_view dados) {
    Comeca(n);
    EscreveNoArquivo("<<");
    EscreveNoArquivo(entradas);
    EscreveNoArquivo("/Length " + std::to_string(dados.size()) + ">>\nstream\n");
    EscreveNoArquivo(dados);
    EscreveNoArquivo("\nendstream\nendobj\n");
}

bool Escritor::Encerra(std::string_view entradas, std::string_view informacao) {
    FechaNo();
    std::string raiz = "<</Type/Pages/Kids[";
    for (const int no : nos_)
        raiz += Referencia(no) + " ";
    Objeto(raiz_, raiz + "]/Count " + std::to_string(paginas_) + std::string(entradas) + ">>");
    const int catalogo = Reserva();
    Objeto(catalogo, "<</Type/Catalog/Pages " + Referencia(raiz_) + ">>");
    const int info = Reserva();
    Objeto(info, informacao);
    // An object reserved and never written (nothing refers to it then) is a null object, so
    // that every entry of the table points at an object.
    for (std::size_t n = 1; n < lugares_.size(); ++n)
        if (lugares_[n] == 0 && static_cast<int>(n) != fluxo_) Objeto(static_cast<int>(n), "null");
    EscreveObjetos();
    const int xref = Reserva();
    lugares_[static_cast<std::size_t>(xref)] = posicao_;
    // Offsets and object stream numbers in as few bytes as the largest of them takes; the free
    // list's head has the last generation the index's bytes can hold.
    std::uint64_t maior = 0;
    for (const std::uint64_t lugar : lugares_)
        maior =
            std::max(maior, (lugar & kNoFluxo) != 0 ? (lugar & ~kNoFluxo) >> kBitsIndice : lugar);
    const int bytes = BytesPara(maior), bytes_indice = BytesPara(kObjetosPorFluxo - 1);
    const std::size_t entrada = static_cast<std::size_t>(kBytesTipo + bytes + bytes_indice);
    // The table goes out uncompressed and in pieces, as it is made: a long run's table is
    // megabytes, and compressing it would mean holding all of it at the end.
    EscreveNoArquivo(std::to_string(xref) + " 0 obj\n<</Type/XRef/Size " +
                     std::to_string(lugares_.size()) + "/W[" + std::to_string(kBytesTipo) + " " +
                     std::to_string(bytes) + " " + std::to_string(bytes_indice) + "]/Root " +
                     Referencia(catalogo) + "/Info " + Referencia(info) + "/Length " +
                     std::to_string(lugares_.size() * entrada) + ">>\nstream\n");
    std::string pedaco;
    pedaco.reserve(kPedacoTabela * entrada);
    PoeBytes(pedaco, kLivre, kBytesTipo);
    PoeBytes(pedaco, 0, bytes);
    PoeBytes(pedaco, ~std::uint64_t{0}, bytes_indice);
    for (std::size_t n = 1; n < lugares_.size(); ++n) {
        const std::uint64_t lugar = lugares_[n];
        const bool comprimido = (lugar & kNoFluxo) != 0;
        PoeBytes(pedaco, comprimido ? kComprimido : kNoArquivo, kBytesTipo);
        PoeBytes(pedaco, comprimido ? (lugar & ~kNoFluxo) >> kBitsIndice : lugar, bytes);
        PoeBytes(pedaco, comprimido ? lugar & kMascaraIndice : 0, bytes_indice);
        if (n % kPedacoTabela == 0) {
            EscreveNoArquivo(pedaco);
            pedaco.clear();
        }
    }
    EscreveNoArquivo(pedaco);
    EscreveNoArquivo("\nendstream\nendobj\nstartxref\n" +
                     std::to_string(lugares_[static_cast<std::size_t>(xref)]) + "\n%%EOF\n");
    return !falhou_;
}

std::string Referencia(int n) {
    return std::to_string(n) + " 0 R";
}

namespace {

void PoeHex16(std::string& s, unsigned valor) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (int deslocamento = 12; deslocamento >= 0; deslocamento -= 4)
        s += kHex[(valor >> deslocamento) & 0xF];
}

}  // namespace

std::string CadeiaDeTexto(std::string_view utf8) {
    bool simples = true;
    for (const char c : utf8)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F)
            simples = false;
    std::string s;
    if (simples) {
        s += '(';
        for (const char c : utf8) {
            if (c == '(' || c == ')' || c == '\\') s += '\\';
            s += c;
        }
        return s + ')';
    }
    // UTF-16, big-endian after its byte order mark; beyond U+FFFF, a surrogate pair.
    s = "<FEFF";
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = TamanhoSequencia(utf8, i);
        const char32_t c = n == 0 ? U'?' : CodigoUTF8(utf8.substr(i, n));
        i += n == 0 ? 1 : n;
        if (c > 0xFFFF) {
            PoeHex16(s, 0xD800 + ((c - 0x10000) >> 10));
            PoeHex16(s, 0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            PoeHex16(s, c);
        }
    }
    return s + '>';
}
