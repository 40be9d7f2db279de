#include <gtest/gtest.h>

#include <string>

#include "support/pcl_leitor.h"

namespace {

TEST(LeitorPCL, AcceptsWellFormedJobs) {
    const std::string casos[] = {
        "",
        "texto sem comandos",
        "\x1b"
        "E\x1b&l2A\x1b&l0O\x1b&l1H\x1b(8U\x1b(s4099t0p10HJo\xE2o",
        "\x1b&l36u-72Z\x1b*c10g2P\x1b*p+5X\x1b(s1.5V",
        "\x1b*t100R\x1b*r0f1A\x1b*b0M\x1b*b3W\x1b\x01\xff\x1b*b0W\x1b*rB",
        "\x1b&f20y0X\x1b*p1X\x1b&f1x10X\x1b&f20y3X\x1b&f20y8X",
        "\x1b*c1440x720Y\x1b*c0T\x1b%1BIN;SP1;SC0,600,300,0;PW0.400000;PU2,32;PD;AA32,32,90;"
        "PD-5,+2;\x1b%1A",
        // A raster begun but never ended (an image file that could not be read) is harmless.
        "\x1b*t300R\x1b*r0f1A\x1b*b0M\x1b*p5X",
    };
    for (const auto& job : casos) {
        const auto leitura = LeJobPCL(job);
        EXPECT_TRUE(leitura.problemas.empty())
            << job.substr(1) << ": " << (leitura.problemas.empty() ? "" : leitura.problemas[0]);
    }
}

TEST(LeitorPCL, RejectsMalformedJobs) {
    struct Caso {
        std::string job;
        const char* problema;  // a part of the first problem reported
    };
    const Caso casos[] = {
        {"abc\x1b", "escape at the end"},
        {"\x1bq", "unknown escape"},
        {"\x1b*p228", "without its terminating letter"},
        {"\x1b*p228 X", "without its terminating letter"},
        {"\x1b&228X", "without group"},
        {"\x1b*p2-2X", "without its terminating letter"},
        {"\x1b*p-X", "malformed value"},
        {"\x1b*p1.2.3X", "malformed value"},
        {std::string("\x1b*r1A\x1b*b5Wabcd", 14), "announces 5 bytes"},
        {"\x1b*b1Wx", "outside raster"},
        {"\x1b*r1A\x1b*b-1W", "not a whole number"},
        {"\x1b*r1A\x1b*b2w0Mab", "combined"},
        {"\x1b&f20y0X\x1b*p1X", "not closed"},
        {"\x1b&f20y0X\x1b&f21y0X\x1b&f1X\x1b&f1X", "inside a macro"},
        {"\x1b&f1x10X", "stop without"},
        {"\x1b&f20y3X", "used undefined"},
        {"\x1b&f20y0X\x1b&f20y3X\x1b&f1x10X", "used undefined"},
        {"\x1b&f20y0X\x1b&f1x10X\x1b&f20y8X\x1b&f20y8X", "deleted undefined"},
        {"\x1b%1BIN;SP1;", "not returned to PCL"},
        {"\x1b%1A", "outside HP-GL/2"},
        {"\x1b%1BIN;\x1b%1B\x1b%1A", "entered twice"},
        {"\x1b%1BIN;SP1\x1b%1A", "without its semicolon"},
        {"\x1b%1BIN;P;\x1b%1A", "malformed HP-GL/2"},
        {"\x1b%1BIN;PU1,,2;\x1b%1A", "malformed HP-GL/2"},
        {"\x1b%1BIN;\x1b*p1X\x1b%1A", "inside HP-GL/2"},
        {"\x1b%1BIN;\x1b"
         "E\x1b%1A",
         "inside HP-GL/2"},
        {"\x1b%1C", "unknown language switch"},
    };
    for (const auto& c : casos) {
        const auto leitura = LeJobPCL(c.job);
        ASSERT_FALSE(leitura.problemas.empty()) << c.job.substr(1);
        EXPECT_NE(leitura.problemas[0].find(c.problema), std::string::npos)
            << c.job.substr(1) << ": " << leitura.problemas[0];
    }
}

TEST(LeitorPCL, SplitsCommandsIntoParameters) {
    const auto leitura = LeJobPCL("\x1b(s4099t0p12Hx\x1b*r0f1A\x1b*b2W\x1b\x1b");
    ASSERT_TRUE(leitura.problemas.empty());
    ASSERT_EQ(leitura.tokens.size(), 5u);
    const auto& fonte = leitura.tokens[0];
    EXPECT_EQ(fonte.tipo, TokenPCL::Tipo::Comando);
    EXPECT_EQ(fonte.parametrizado, '(');
    EXPECT_EQ(fonte.grupo, 's');
    ASSERT_EQ(fonte.parametros.size(), 3u);
    EXPECT_EQ(fonte.parametros[0].valor, "4099");
    EXPECT_EQ(fonte.parametros[2].letra, 'H');
    EXPECT_EQ(leitura.tokens[1].bytes, "x");
    EXPECT_EQ(leitura.tokens[4].tipo, TokenPCL::Tipo::Dados);
    EXPECT_EQ(leitura.tokens[4].bytes, "\x1b\x1b");
}

}  // namespace
