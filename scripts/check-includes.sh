#!/usr/bin/env bash
# Checks that every include follows the direction of the layers: a folder includes only itself and
# the folders below it, so the arrows stay one-way. Exit 1 with one line per wrong include.
#
#   base < {tools/pack, platform} < formats < surface < tools/script < tools      (the core)
#        < text < resources < shell < document < viewer < {edit, devtools} < app < cli
#
# The toolbox (cli) may run the application windowless, as its benchmarks and batch workers do.
# edit and devtools may use the viewer (to lay out after an edit, to show a preview's picture), never
# each other. The platform implementations (qt/, fake/, freetype/) are for the program, the toolbox,
# the skin generator and the tests only, and Qt's own headers for platform/qt alone.
set -uo pipefail
cd "$(dirname "$0")/.."
wrong=0

files=$(git ls-files '*.cpp' '*.h' | grep -v '^\(tests\|bench\|fuzz\)/')

# One line per include, "file included", checked by one awk pass.
# shellcheck disable=SC2086
grep -H '^#include "' $files | sed 's/:#include "/ /; s/".*$//' | awk '
function folder(path) {
  if (path ~ /^(tools\/pack|tools\/script|platform\/qt|platform\/fake|platform\/freetype|resources\/skins)\//) {
    split(path, part, "/")
    return part[1] "/" part[2]
  }
  sub(/\/.*/, "", path)
  return path
}
BEGIN {
  split("base:0 tools/pack:10 platform:10 formats:11 surface:12 tools/script:13 tools:14 " \
        "text:20 resources:21 shell:30 document:40 viewer:50 edit:60 devtools:60 " \
        "app:70 cli:80 resources/skins:70", rows, " ")
  for (i in rows) { split(rows[i], kv, ":"); rank[kv[1]] = kv[2] }
  user["app"] = user["cli"] = user["resources/skins"] = 1
  wrong = 0
}
{
  from = folder($1); to = folder($2)
  if (from == to) next
  if (to == "platform/qt") {
    if (from != "app") { print $1 ": " $2 " (the Qt platform is the program'"'"'s alone)"; wrong = 1 }
  } else if (to == "platform/fake" || to == "platform/freetype") {
    if (!(from in user)) { print $1 ": " $2 " (a platform implementation)"; wrong = 1 }
  } else if ((to in rank) && (from in rank) && rank[to] >= rank[from]) {
    print $1 ": " $2 " (" from " may not include " to ")"; wrong = 1
  }
}
END { exit wrong }
' || wrong=1

# shellcheck disable=SC2086
if grep -l '^#include <Q' $files | grep -v '^platform/qt/'; then
  echo "(Qt headers outside platform/qt)"
  wrong=1
fi

[ "${wrong:-0}" = 0 ] && echo "includes follow the layers"
exit "${wrong:-0}"
