// Forms and reports in UTF-8 (or Latin-1) declared by CODIFICACAO, through the real programs.
#include <gtest/gtest.h>

#include <string>

#include "support/captura_saida.h"
#include "support/ferramentas.h"
#include "support/render.h"

namespace {

bool Contem(const std::string& job, const std::string& trecho) {
    return job.find(trecho) != std::string::npos;
}

// What the job draws for a text at (1, 1) in A10 bold, the first text of its list.
std::string TextoDesenhado(const std::string& programa, const std::string& texto) {
    if (programa == kMorvex) return F("\x1b(s16602t1p%dV%s", 10, texto.c_str());
    return F("(%s) show\n", texto.c_str());
}

// Every letter the accent notation has, written in the notation and as itself.
const char* const kNotacao =
    "\\'A\\'E\\'I\\'O\\'U\\'a\\'e\\'i\\'o\\'u \\^A\\^E\\^O\\^a\\^e\\^o "
    "\\~A\\~O\\~a\\~o \\`A\\`a \\,C\\,c \\-a\\-o";
const char* const kLetras = "ÁÉÍÓÚáéíóú ÂÊÔâêô ÃÕãõ Àà Çç ªº";

std::string FormularioDe(const std::string& declaracao, const std::string& texto) {
    return declaracao + "TEXTO 1 1 A10 N \"" + texto + "\"\nTEXTO C 2 C12 I \"  " + texto +
           "  \"\nINPUT 1 3 A10 N 0\n";
}

TEST(Codificacao, LetrasDigitadasOuNaNotacaoDaoOMesmoJob) {
    DiretorioTemporario dir;
    EscreveArquivo("notacao.fmt", FormularioDe("", kNotacao));
    EscreveArquivo("notacao.txt", std::string(kNotacao) + "\n");
    EscreveArquivo("utf8.fmt", FormularioDe("CODIFICACAO UTF-8\n", kLetras));
    EscreveArquivo("utf8.txt", std::string(kLetras) + "\n");
    for (const auto& programa : kProgramas) {
        const Resultado notacao = Executa(programa, {"notacao.txt", "notacao.fmt"});
        const Resultado utf8 = Executa(programa, {"utf8.txt", "utf8.fmt"});
        EXPECT_EQ(utf8.status, 0) << NomePrograma(programa) << utf8.erro;
        EXPECT_EQ(utf8.saida, notacao.saida) << NomePrograma(programa);
    }
    // The PDF's text holds the same letters either way, as a reader copies them.
    if (!TemPrograma("pdftotext")) GTEST_SKIP() << "pdftotext not found: install poppler-utils";
    for (const char* nome : {"notacao", "utf8"}) {
        const std::string n = nome;
        EXPECT_EQ(Executa(kMorvpdf, {n + ".txt", n + ".fmt", n + ".pdf"}).status, 0) << n;
        const std::string texto = SaidaDe("pdftotext -raw " + n + ".pdf -");
        EXPECT_EQ(texto, Repete(std::string(kLetras) + "\n", 3) + "\f") << n;
    }
}

// A character that the PDF's fonts lack is named once a run, however often the run draws it,
// in any font; the rest of the text prints.
TEST(Codificacao, CaractereSemGlifoNoPDF) {
    DiretorioTemporario dir;
    EscreveArquivo("f.fmt", "CODIFICACAO UTF-8\nINPUT 1 1 A10 N 0\nTEXTO 1 2 C10 - \"中\"\n");
    EscreveArquivo("r.txt", "a中b😀\n\fc中\n");
    const Resultado r = Executa(kMorvpdf, {"r.txt", "f.fmt", "sem.pdf"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.erro, "Caractere sem glifo [U+4E2D]\nCaractere sem glifo [U+1F600]\n");
    if (!TemPrograma("pdftotext")) GTEST_SKIP() << "pdftotext not found: install poppler-utils";
    EXPECT_EQ(SaidaDe("pdftotext -raw sem.pdf -"), "ab\n\fc\n\f");
}

struct CasoConversao {
    const char* declaracao;
    std::string linha;  // of the report
    std::string pcl;    // Roman-8
    std::string ps;     // inside the PostScript string
};

const CasoConversao kConversoes[] = {
    {"UTF-8", "Razão “aspas” – € …", "Raz\xE2o \"aspas\" - EUR ...",
     "Raz\\343o \"aspas\" - EUR ..."},
    {"UTF-8", "a中b", "a?b", "a?b"},
    {"UTF-8", "Ç \\~a", "\xB4 \xE2", "\\307 \\343"},
    // Each byte outside a well-formed sequence is one "?": a lone continuation byte, an overlong
    // form, a sequence cut short by the end of the text.
    {"UTF-8",
     "a\x80"
     "b \xC0\xAF"
     "c fim\xE3\x81",
     "a?b ??c fim??", "a?b ??c fim??"},
    // Surrogate halves, a code point past U+10FFFF, 3- and 4-byte overlong forms: no character.
    {"UTF-8",
     "a\xED\xA0\x80"
     "b \xF4\x90\x80\x80"
     "c \xE0\x80\xAF"
     "d \xF0\x80\x80\xAF"
     "e",
     "a???b ????c ???d ????e", "a???b ????c ???d ????e"},
    // The NOT sign has no Roman-8 code.
    {"LATIN1", "Jos\xE9 \xAA \xAC", "Jos\xC5 \xF9 ?", "Jos\\351 \\252 \\254"},
};

// The programs never set a locale of their own, so the environment's plays no part; the
// conversion's own test (tests/codificacao) sets one in the process.
TEST(Codificacao, ConversaoDosTextos) {
    DiretorioTemporario dir;
    for (const CasoConversao& c : kConversoes) {
        EscreveArquivo("f.fmt", F("CODIFICACAO %s\nINPUT 1 1 A10 N 0\n", c.declaracao));
        EscreveArquivo("r.txt", c.linha + "\n");
        for (const auto& programa : kProgramas) {
            const Resultado r = Executa(programa, {"r.txt", "f.fmt"});
            const std::string esperado = programa == kMorvex ? c.pcl : c.ps;
            EXPECT_TRUE(Contem(r.saida, TextoDesenhado(programa, esperado)))
                << NomePrograma(programa) << ": " << c.linha;
        }
    }
}

TEST(Codificacao, ColunasEMD5VContamCaracteres) {
    struct Caso {
        std::string linha;
        std::string cidade_pcl, cidade_ps;
        std::string carimbo;  // md5sum of "José Silva  Conceição " (X12 and X10), regrouped
    };
    const Caso casos[] = {
        {"Jose Silva  Conceicao", "Conceicao", "Conceicao",
         "3733.2e30.7e43.d0ef.f0ba.a3b5.e2cf.67fa"},
        {"José Silva  Conceição", "Concei\xB5\xE2o", "Concei\\347\\343o",
         "0c25.449c.0e4f.9cd1.6a20.aedf.846e.3d9f"},
    };
    DiretorioTemporario dir;
    EscreveArquivo("f.fmt",
                   "CODIFICACAO UTF-8\nCAPTURA 0 NOME:1:10 CIDADE:13:9\nMOSTRA 1 1 A10 N CIDADE\n"
                   "MD5V 1 2 A10 N X12 NOME X10 CIDADE - a - a - a - a\n");
    for (const Caso& c : casos) {
        EscreveArquivo("r.txt", c.linha + "\n");
        for (const auto& programa : kProgramas) {
            const Resultado r = Executa(programa, {"r.txt", "f.fmt"});
            const std::string cidade = programa == kMorvex ? c.cidade_pcl : c.cidade_ps;
            EXPECT_TRUE(Contem(r.saida, TextoDesenhado(programa, cidade)))
                << NomePrograma(programa) << ": " << c.linha;
            EXPECT_TRUE(Contem(r.saida, c.carimbo)) << NomePrograma(programa) << ": " << c.linha;
        }
    }
}

}  // namespace
