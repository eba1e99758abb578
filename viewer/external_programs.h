// Other programs started from the viewer: the configured image editors and binary editor with the
// shown file, the manual "tesmo.chm" from the program folder, and the home page in the browser.
#pragma once

#include <cstdint>
#include <string>

namespace tesmo {

class Viewer;

inline constexpr char16_t kNoImageEditor[] = u"画像編集ツールが設定されていません。";
inline constexpr char16_t kNoBinaryEditor[] = u"バイナリー エディターが設定されていません。";
inline constexpr char16_t kManualName[] = u"tesmo.chm";
// The project's own page; the address is a placeholder under the documentation domain.
inline constexpr char16_t kHomePageAddress[] = u"https://tesmo64.example.org/";

// Starts `program` in its own folder with `argument` as its one argument (none when empty), and
// lets it run on its own. The argument is passed as given, without a shell or quotes. 0 started,
// 1 not.
int start_program(Viewer& viewer, const std::u16string& program, const std::u16string& argument = {});

// The external program `which` (1 image editor 1, 2 image editor 2, 3 binary editor) with the shown
// file. The settings file is read again first, so that a path set meanwhile counts; an empty path
// is reported and Preferences opens. A program that fails to start is not reported.
int run_external_program(Viewer& viewer, int which);

// The manual and the home page, opened by the desktop's own programs.
int open_manual(Viewer& viewer);
int open_home_page(Viewer& viewer);

}  // namespace tesmo
