#pragma once
#include <cstdio>

// The debug trace "vodrel.dbg", written without buffering; null before it is created. The driver
// creates and closes it; the data reader adds its page lines. It lives here, below both, so that
// the reader needs nothing from the driver.
extern std::FILE* dbg;
