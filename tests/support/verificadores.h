#pragma once
// Checks that every job the suite makes is well formed in its printer language. Executa calls
// them on the standard output of each successful run; tests may call them on output files too.
#include <string>

// Adds a test failure for each malformed escape sequence, raster block, macro or HP-GL/2
// section, and when gpcl6 reports an error on the job (not rendered without gpcl6).
void VerificaJobPCL(const std::string& job);
// Adds a test failure when Ghostscript reports an error on the job (not run without it).
void VerificaJobPS(const std::string& job);
// Adds a test failure when qpdf's check of its structure, Ghostscript or poppler reports an
// error on the PDF (each check left out without its tool).
void VerificaJobPDF(const std::string& job);
