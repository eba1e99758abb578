// The Path Generator dialog (168, modeless, dialog slot 6): a table type with its range and scales,
// exported as C initialiser lines into a text file (tools/path_generator.h builds the text).
#pragma once

namespace tesmo {

class DevTools;

inline constexpr char16_t kPathGeneratorCaption[] = u"Path Generator";
inline constexpr char16_t kExportComplete[] = u"Export complete!!";
// The table would pass the text limit (a huge count or range): nothing is written.
inline constexpr char16_t kExportTooLarge[] = u"The table is larger than 1 MiB. Nothing was exported.";

// Opens the dialog with the first type and its defaults; command 40640 stays greyed while it is
// open. OK asks for the output file and writes the table (replacing an existing file; one that
// cannot be written is left as it was, without a message) and reports "Export complete!!"; Cancel
// closes. 0 when it opened; 1 when it is open already or cannot be made.
int open_path_generator(DevTools& tools);

}  // namespace tesmo
