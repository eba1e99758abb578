// The LST generator: a pack list naming every file below a folder, one "\"name\",\r\n" line each,
// written to "output.lst" in that folder.
#pragma once

#include <cstddef>
#include <string>

namespace tesmo {

inline constexpr char16_t kLstOutputName[] = u"output.lst";

struct LstListing {
  std::string text;  // CP932
  size_t files = 0;
};

// Every file in `folder` (with or without a trailing separator) and its subfolders as pack-list
// lines: the path relative to `folder` with '/' between folders, in CP932, between double quotes,
// then a comma and "\r\n". Each folder's entries are taken in ordinal UTF-16 order of their names,
// a subfolder's files being listed where the subfolder comes in that order. Linked folders are not
// entered (a link back to a parent cannot loop); folders that cannot be read add nothing.
LstListing lst_listing(const std::u16string& folder);

enum class LstResult { Written, NoFiles, WriteFailed };

// Lists `folder` and writes the listing to its "output.lst", replacing an existing one (which, being
// there during the scan, is listed too). NoFiles writes nothing; WriteFailed leaves the old list.
// `files`, when given, receives the number of files listed.
LstResult generate_lst(const std::u16string& folder, size_t* files = nullptr);

}  // namespace tesmo
