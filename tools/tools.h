// The small developer tools that need no window:
//   binary_to_text.h  a file's bytes as C hexadecimal initialisers ("/b2t", `tesmo b2t`)
#pragma once

#include "tools/binary_to_text.h"
