// Other programs started from the viewer: the configured image editors and binary editor with the
// shown file, the manual's index page and the home page in the browser.
#pragma once

#include <cstdint>
#include <string>

namespace tesmo {

class Viewer;

inline constexpr char16_t kNoImageEditor[] = u"画像編集ツールが設定されていません。";
inline constexpr char16_t kNoBinaryEditor[] = u"バイナリー エディターが設定されていません。";
// The manual's index page under the shared data folder, by language: "manual/ja/index.html".
inline constexpr char16_t kManualFolder[] = u"manual/";
inline constexpr char16_t kManualPage[] = u"/index.html";
inline constexpr char16_t kManualMissing[] = u"マニュアルが見つかりません。\n";
inline constexpr char16_t kManualNotOpened[] = u"マニュアルを開けませんでした。\n";
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

// The language folder of the manual for the LANG value `lang` (may be null): "en" when it starts
// with "en", else "ja", the program's own language.
std::u16string manual_language(const char* lang);

// The manual's index page beside `program_folder` as built and installed:
// "bin/../share/tesmo64/manual/LANG/index.html", with the ".." resolved.
std::u16string manual_index_path(const std::u16string& program_folder, const char* lang);

// The manual (in the language LANG asks for) and the home page, opened by the desktop's own
// programs. A missing manual, or one the desktop cannot open, is reported with its path.
int open_manual(Viewer& viewer);
int open_home_page(Viewer& viewer);

}  // namespace tesmo
