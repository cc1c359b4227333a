#pragma once

// windows.h without the parts the program does not use, and without its min and max
// macros, which clash with the standard library's.
#ifndef WIN32_LEAN_AND_MEAN
 #define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
 #define NOMINMAX
#endif
#include <windows.h>
