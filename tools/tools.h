// The small developer tools, free of any window:
//   binary_to_text.h   a file's bytes as C hexadecimal initialisers ("/b2t", `tesmo b2t`)
//   path_generator.h   the path generator's tables as C initialiser lines (`tesmo path`)
//   dummy_file.h       zero-filled dummy files and numbered copies of a file
//   lst_generator.h    a pack list of every file below a folder (`tesmo lst`)
//   falling_objects.h  the falling object preview's grains: spawn, step, draw list
//   falling_project.h  the falling object project text (four lines)
#pragma once

#include "tools/binary_to_text.h"
#include "tools/dummy_file.h"
#include "tools/falling_objects.h"
#include "tools/falling_project.h"
#include "tools/lst_generator.h"
#include "tools/path_generator.h"
