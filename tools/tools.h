// The small developer tools that need no window:
//   binary_to_text.h   a file's bytes as C hexadecimal initialisers ("/b2t", `tesmo b2t`)
//   falling_objects.h  the falling object preview's grains: spawn, step, draw list
//   falling_project.h  the falling object project text (four lines)
#pragma once

#include "tools/binary_to_text.h"
#include "tools/falling_objects.h"
#include "tools/falling_project.h"
