// Private helpers of the packing run: line splitting, CP932-aware scans and the message texts.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tesmo {

// Lines of a list or text file: a line ends at "\r\n" or "\n" (a lone '\r' stays in the line); the
// last line counts without a line end. Empty lines are kept; callers skip them.
std::vector<std::string_view> split_lines(std::string_view text);

// Byte length of the character at text[i]: 2 for a CP932 lead byte followed by a second byte.
size_t char_length(std::string_view text, size_t i);

// The position of the first / last single-byte `c` (double-byte characters stepped over), or npos.
size_t find_first_char(std::string_view text, char c);
size_t find_last_char(std::string_view text, char c);

// `pattern` with each "%s", "%d" or "%c" replaced by the next argument as given.
std::u16string format_message(std::u16string_view pattern, std::initializer_list<std::u16string_view> args);
std::u16string decimal(int64_t value);

// The messages of the run, word for word.
namespace msg {
inline constexpr std::u16string_view kListOpen = u"lst: ファイルが開けません。[%s]";
inline constexpr std::u16string_view kListEmpty = u"lst: ファイル サイズが 0 です。[%s]";
inline constexpr std::u16string_view kNestedComment = u"lst: /**/ 内に /* は記述できません。";
inline constexpr std::u16string_view kUnopenedComment = u"lst: */ に対応する /* が見つかりません。";
inline constexpr std::u16string_view kUnclosedComment = u"lst: /* に対応する */ が見つかりません。";
inline constexpr std::u16string_view kTooManyFiles = u"lst: ファイル数の上限を超えています。(%d > %d)";
inline constexpr std::u16string_view kBadAlignment = u"lst: アライメント (%d) が不正な値です";
inline constexpr std::u16string_view kBadLevel = u"lst: 圧縮レベル (%d) が不正な値です";
inline constexpr std::u16string_view kBadForm = u"lst: 定義の出力書式 (%d) が不正な値です";
inline constexpr std::u16string_view kBadKey = u"lst: 暗号化キーの書式が間違っています。[%s]";
inline constexpr std::u16string_view kBadClean = u"lst: テキストのクリーン指定 (%d) が不正な値です。";
inline constexpr std::u16string_view kBadDummy = u"lst: ダミー ファイル数 (%d) が不正な値です。";
inline constexpr std::u16string_view kBadName = u"lst: ファイル名の書式が間違っています。[%s]";
inline constexpr std::u16string_view kBadNameStart = u"lst: ファイル名の書式 (行頭) が間違っています。[%s]";
inline constexpr std::u16string_view kBadNameEnd = u"lst: ファイル名の書式 (行末) が間違っています。[%s]";
inline constexpr std::u16string_view kDoubleByteName = u"lst: ファイル名に全角文字は使用できません。[%s]";
inline constexpr std::u16string_view kBadNameChar = u"lst: ファイル名に使用できない文字 (%c) が含まれています。[%s]";
inline constexpr std::u16string_view kArchiveOpen = u"dat: ファイルが開けません。[%s]";
inline constexpr std::u16string_view kSourceMissing = u"dat: ファイルが見つかりません。[%s], path=[%s]";
inline constexpr std::u16string_view kEncodeFailed = u"dat: エンコードに失敗しました。[%s]";
inline constexpr std::u16string_view kArchiveTooLarge = u"dat: アーカイブのファイル サイズが 4 GB を超えました。[%s], path=[%s]";
inline constexpr std::u16string_view kExportFailed = u"txt: エクスポートに失敗しました。[%s]";
inline constexpr std::u16string_view kCompileFailed = u"txt: 定義ファイルのコンパイルに失敗しました。[%s]";
// A packer given no JAB writer or no define compiler says so and fails the run.
inline constexpr std::u16string_view kJabMissing = u"dat: JAB 変換はこのビルドに組み込まれていません。[%s]";
inline constexpr std::u16string_view kCompilerMissing = u"txt: スクリプト コンパイラはこのビルドに組み込まれていません。[%s]";
}  // namespace msg

}  // namespace tesmo
