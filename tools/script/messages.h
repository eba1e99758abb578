// The script compiler's messages, word for word, and the one gate that formats them. A message
// that begins with "%5d: " takes the 1-based line number first; "%s" and "%d" take the arguments
// in order.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tesmo::script {

// `pattern` with "%5d" replaced by `line` right-aligned in five columns and each "%s" / "%d" by
// the next argument as given.
std::u16string format_error(int line, std::u16string_view pattern, std::initializer_list<std::u16string_view> args);
std::u16string decimal(int64_t value);

// The first error of a compilation: its text (at most kErrorTextMax units) and its 1-based line
// (0 for the messages without a line number). Every error of the compiler passes through here.
inline constexpr size_t kErrorTextMax = 1024;

class Diagnostics {
 public:
  // Records the message (only the first one counts) and returns false, for `return error_at(...)`.
  bool error_at(int line, std::u16string_view pattern, std::initializer_list<std::u16string_view> args = {});
  bool failed() const { return failed_; }
  int line() const { return line_; }
  const std::u16string& text() const { return text_; }

 private:
  bool failed_ = false;
  int line_ = 0;
  std::u16string text_;
};

namespace msg {
// Source reading and lines.
inline constexpr std::u16string_view kSourceOpen = u"\n  ファイルが開けません。";
inline constexpr std::u16string_view kNoLineEnd = u"%5d: \n\n  改行コードが見つかりません。";
inline constexpr std::u16string_view kLabelTooLong = u"%5d: [%s...]\n\n  ラベルが長すぎます。";
inline constexpr std::u16string_view kLabelReserved = u"%5d: [%s]\n\n  内蔵ラベルは使用できません。";
inline constexpr std::u16string_view kLabelDuplicate = u"%5d: [%s]\n\n  ラベルが重複しています。";

// Preprocessor.
inline constexpr std::u16string_view kUnknownDirective = u"%5d: [#%s]\n\n  不明なプリプロセッサーです。";
inline constexpr std::u16string_view kDefineNoName = u"%5d: \n\n  #define に定義名がありません。";
inline constexpr std::u16string_view kDefineTooLong = u"%5d: [%s...]\n\n  #define の定義名が長すぎます。";
inline constexpr std::u16string_view kDefineDuplicate = u"%5d: [%s]\n\n  定義名が重複しています。";
inline constexpr std::u16string_view kIncludeNoPath = u"%5d: #include\n\n  ファイル名が指定されていません。";
inline constexpr std::u16string_view kNotString = u"%5d: \n\n  <文字列型>でありません。";
inline constexpr std::u16string_view kStringTooLong = u"%5d: [%s...]\n\n  <文字列型>: 制限を超えています。";
inline constexpr std::u16string_view kIncludeBackslash =
    u"%5d: #include\n\n  パスに '\\' は使用できません。\n  '/' を使用してください。";
inline constexpr std::u16string_view kIncludeTrailing = u"%5d: #include\n\n  行末が不正です。";
inline constexpr std::u16string_view kIncludeMissing = u"%5d: #include\n\n  [%s]が見つかりません。";
inline constexpr std::u16string_view kIncludeAfterDefines = u"%5d: #include\n\n  [%s] のインクルード前に定義が存在します。";
inline constexpr std::u16string_view kIncludeOpen = u"%5d: #include\n\n  [%s] が開けません。";
inline constexpr std::u16string_view kIncludeEmpty = u"%5d: #include\n\n  [%s] のファイル サイズが 0 です。";
inline constexpr std::u16string_view kMacroNoName = u"%5d: #macro\n\n  マクロ名が指定されていません。";
inline constexpr std::u16string_view kMacroNotString = u"%5d: #macro\n\n  <文字列型>でありません。";
inline constexpr std::u16string_view kMacroTrailing = u"%5d: #macro\n\n  行末が不正です。";
inline constexpr std::u16string_view kMacroSlotCount = u"%5d: \n\n  マクロ内のパラメーター数 (%d) が定義 (%d) と異なります。";
inline constexpr std::u16string_view kTypeTooMany = u"%5d: #type\n\n  パラメーターの数が上限 (%d) を超えています。";

// Conditional sections: [directive][state] for the nesting errors, state 0 #ifdef, 1 #ifndef, 2 #else.
inline constexpr std::u16string_view kIfdefInside[3] = {
    u"%5d: \n\n  #ifdef 内で #ifdef は使用できません。",
    u"%5d: \n\n  #ifndef 内で #ifdef は使用できません。",
    u"%5d: \n\n  #else 内で #ifdef は使用できません。",
};
inline constexpr std::u16string_view kIfndefInside[3] = {
    u"%5d: \n\n  #ifdef 内で #ifndef は使用できません。",
    u"%5d: \n\n  #ifndef 内で #ifndef は使用できません。",
    u"%5d: \n\n  #else 内で #ifndef は使用できません。",
};
inline constexpr std::u16string_view kIfdefNoName = u"%5d: \n\n  #ifdef に定義名がありません。";
inline constexpr std::u16string_view kIfndefNoName = u"%5d: \n\n  #ifndef に定義名がありません。";
inline constexpr std::u16string_view kIfdefTooLong = u"%5d: [%s...]\n\n  #ifdef の定義名が長すぎます。";
inline constexpr std::u16string_view kIfndefTooLong = u"%5d: [%s...]\n\n  #ifndef の定義名が長すぎます。";
inline constexpr std::u16string_view kElseInElse = u"%5d: \n\n  #else 内で #else は使用できません。";
inline constexpr std::u16string_view kElseUnpaired = u"%5d: \n\n  #else と #ifdef/#ifndef がペアになっていません。";
inline constexpr std::u16string_view kElseTrailing = u"%5d: \n\n  #else の末尾に不要な文字列が存在します。";
inline constexpr std::u16string_view kEndifUnpaired = u"%5d: \n\n  #endif と #ifdef/#ifndef/#else がペアになっていません。";
inline constexpr std::u16string_view kEndifTrailing = u"%5d: \n\n  #endif の末尾に不要な文字列が存在します。";
inline constexpr std::u16string_view kUnclosed[3] = {
    u"%5d: \n\n  #ifdef が閉じられていません。",
    u"%5d: \n\n  #ifndef が閉じられていません。",
    u"%5d: \n\n  #else が閉じられていません。",
};

// Constant expressions.
inline constexpr std::u16string_view kImmediateTooLong = u"%5d: [%s...]\n\n  <イミディエイト型>: 制限を超えています。";
inline constexpr std::u16string_view kImmediateTooManyTokens = u"%5d: [%s]\n\n  <イミディエイト型>: 制限を超えています。";
inline constexpr std::u16string_view kNumberFormat = u"%5d: [%s]\n\n  不正な書式です。";
inline constexpr std::u16string_view kNumberLeadingZero = u"%5d: [%s]\n\n  不正な書式です。\n  即値の先頭に不要な'0'が含まれています。";
inline constexpr std::u16string_view kUndefinedConstant = u"%5d: [%s]\n\n  未定義の定数です。";
inline constexpr std::u16string_view kUnclosedParen = u"%5d: [%s]\n\n  <イミディエイト型>: ' ) ' で閉じていません。";
inline constexpr std::u16string_view kUnopenedParen = u"%5d: [%s]\n\n  <イミディエイト型>: ' ( ' で閉じていません。";
inline constexpr std::u16string_view kOperatorFormat = u"%5d: [%s]\n\n  <イミディエイト型>: 不正な書式です。";
inline constexpr std::u16string_view kNoValue = u"%5d: [%s]\n\n  <イミディエイト型>: 値が見つかりません。";

// Instructions and parameters.
inline constexpr std::u16string_view kParametersMissing = u"%5d: \n\n  最後の行のパラメーターが存在しません。";
inline constexpr std::u16string_view kMessageUnclosed = u"%5d: \n\n  msg が @P で閉じられていません。";
inline constexpr std::u16string_view kLabelMissing = u"%5d: [%s]\n\n  ラベルが存在しません。";
inline constexpr std::u16string_view kWriteFailed = u"\n  write SCE file - failed.";
inline constexpr std::u16string_view kInstructionComma = u"%5d: \n\n  命令の行末の書式が不正です。";
inline constexpr std::u16string_view kInstructionTooLong = u"%5d: [%s...]\n\n  命令が長すぎます。";
inline constexpr std::u16string_view kInstructionUnknown = u"%5d: [%s]\n\n  不正な命令です。";
inline constexpr std::u16string_view kCodeFull = u"%5d: [%s]\n\n  コード領域が容量オーバーです。";
inline constexpr std::u16string_view kParameterTrailing = u"%5d: \n\n  パラメーターの行末の書式が不正です。";
inline constexpr std::u16string_view kSlotRange = u"%5d: [%s]\n\n  <パラメーター型>: 範囲外の値です。";
inline constexpr std::u16string_view kMacroWideString = u"%5d: [%s]\n\n  マクロ内で文字列 (Unicode) は使用できません。";
inline constexpr std::u16string_view kMacroString = u"%5d: [%s]\n\n  マクロ内で文字列は使用できません。";
inline constexpr std::u16string_view kRegisterRange = u"%5d: [%s]\n\n  <レジスタ型>: 範囲外の値です。";
inline constexpr std::u16string_view kParameterKind = u"%5d: [%s]\n\n  パラメーターの型が間違っています。";
inline constexpr std::u16string_view kMacroText = u"%5d: [%s]\n\n  マクロ内でテキストは使用できません。";

// Macro modules (no line number).
inline constexpr std::u16string_view kMacroFileSize = u"\n\n  マクロ ファイル: [%s]\n  ファイル サイズ (%d bytes) が不正です。";
inline constexpr std::u16string_view kMacroFileOpen = u"\n\n  マクロ ファイル: [%s]\n  ファイルが開けませんでした。";
inline constexpr std::u16string_view kMacroFileCount = u"\n\n  マクロ ファイル: [%s]\n  マクロ登録数 (%d) が上限 (%d) を超えました。";

// Guards this compiler adds where the limits alone would lose data or read out of bounds; worded
// like the neighbouring messages.
inline constexpr std::u16string_view kDataFull = u"%5d: [%s]\n\n  データ領域が容量オーバーです。";
inline constexpr std::u16string_view kStringTableFull = u"%5d: [%s]\n\n  文字列テーブルが容量オーバーです。";
inline constexpr std::u16string_view kMacroUnclosed = u"%5d: #macro\n\n  マクロが閉じられていません。";
inline constexpr std::u16string_view kMacroFileDamaged = u"\n\n  マクロ ファイル: [%s]\n  マクロ [%s] の定義が不正です。";
inline constexpr std::u16string_view kDivisionByZero = kOperatorFormat;
}  // namespace msg

}  // namespace tesmo::script
