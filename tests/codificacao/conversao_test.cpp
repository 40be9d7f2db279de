// The conversion of texts, run in a process that has set a locale of its own: a host that calls
// setlocale, and every job it forks, must print what the command line prints.
#include "codificacao/conversao.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <string>

namespace {

// Sets the process's locale for the life of the object, then puts the old one back.
class LocaleDoProcesso {
  public:
    explicit LocaleDoProcesso(const char* nome) : anterior_(setlocale(LC_ALL, nullptr)) {
        posto_ = setlocale(LC_ALL, nome) != nullptr;
    }
    ~LocaleDoProcesso() { setlocale(LC_ALL, anterior_.c_str()); }
    LocaleDoProcesso(const LocaleDoProcesso&) = delete;
    LocaleDoProcesso& operator=(const LocaleDoProcesso&) = delete;
    bool posto() const { return posto_; }

  private:
    std::string anterior_;
    bool posto_ = false;
};

// Transliteration follows the locale: under a UTF-8 one the C library would print the NOT sign,
// which Roman-8 lacks, as "!".
TEST(Conversao, IndependeDoLocaleDoProcesso) {
    for (const char* nome : {"C.UTF-8", "C.utf8", "en_US.UTF-8", "pt_BR.UTF-8"}) {
        LocaleDoProcesso local(nome);
        if (!local.posto()) continue;
        Conversao conversao("ISO-8859-1", "HP-ROMAN8");
        ASSERT_TRUE(conversao.Aberta());
        EXPECT_EQ(conversao.Converte("Jos\xE9 \xAC"), "Jos\xC5 ?") << nome;
        return;
    }
    GTEST_SKIP() << "no UTF-8 locale on this machine";
}

}  // namespace
