#pragma once
// Checks that every job the suite makes is well formed in its printer language. Executa calls
// them on the standard output of each successful run; tests may call them on output files too.
#include <string>

// Adds a test failure for each malformed escape sequence, raster block, macro or HP-GL/2 section.
void VerificaJobPCL(const std::string& job);
// Adds a test failure when the job does not render without error (skipped without Ghostscript).
void VerificaJobPS(const std::string& job);
