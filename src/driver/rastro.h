#pragma once
#include <cstdio>

// The debug trace "vodrel.dbg", written without buffering; null before it is created.
extern std::FILE* dbg;
