// The state of one compilation, shared by the line driver, the preprocessor and the code
// generator. Built fresh for every source.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "tools/script/defines.h"
#include "tools/script/instructions.h"
#include "tools/script/messages.h"
#include "tools/script/module.h"
#include "tools/script/source.h"

namespace tesmo::script {

inline constexpr size_t kCodeCapacity = 4 << 20;
inline constexpr size_t kDataCapacity = 4 << 20;
inline constexpr size_t kStringCapacity = 262144;
inline constexpr size_t kLabelNameMax = 31;
inline constexpr size_t kIncludePathMax = 255;
inline constexpr size_t kMacroNameMax = 31;
inline constexpr size_t kMacroFileMax = 204800;

enum class Conditional { None, Ifdef, Ifndef, Else };

// A macro module kept for its bodies: every included module stays loaded, so the macro numbers of
// the instruction table always index the module that defined them.
struct MacroModule {
  std::vector<uint8_t> code;
  std::vector<MacroRecord> macros;
};

struct Label {
  std::string name;
  uint32_t offset = 0;
};

struct LabelReference {
  std::string name;
  size_t position = 0;  // of the 4-byte value to patch
  int line = 0;         // 1-based, of the parameter line
};

struct Compiler {
  SourceText source;
  std::u16string base_dir;    // with a trailing separator
  std::u16string source_dir;  // the source's folder relative to base_dir, with a trailing separator or empty
  Diagnostics diag;

  std::vector<uint8_t> code;
  std::vector<uint8_t> data;
  std::vector<uint32_t> strings;  // data-area offsets
  InstructionTable instructions;
  DefineTable defines;
  std::vector<Label> labels;
  std::unordered_multimap<uint32_t, size_t> label_index;
  std::vector<LabelReference> references;

  // Preprocessor.
  Conditional conditional = Conditional::None;
  bool skipping = false;
  int conditional_line = 0;
  bool block_comment = false;
  bool definitions_included = false;

  // Macro definition.
  bool in_macro = false;
  bool macro_defined = false;
  int macro_line = 0;
  MacroRecord macro;          // the record being defined; its kinds and count come from "#type"
  size_t macro_record_at = 0;  // data-area offset reserved for it
  int macro_slot_references = 0;

  // Code generation.
  bool expect_parameters = false;
  int current = -1;  // the instruction whose parameter line comes next
  bool instruction_compiled = false;
  bool in_message = false;   // from the "msg" line to the text line ending with "@P"
  bool message_started = false;
  int message_line = 0;      // the first text line
  std::vector<MacroModule> macro_modules;
  std::vector<std::pair<size_t, size_t>> macro_sources;  // by macro number: module, record
  std::map<std::string, uint32_t> pool_ansi;  // string numbers of macro-call arguments
  std::map<std::u16string, uint32_t> pool_wide;

  bool error_at(int line, std::u16string_view pattern, std::initializer_list<std::u16string_view> args = {}) {
    return diag.error_at(line, pattern, args);
  }
};

enum class Preprocessed { Handled, NotPreprocessor, Error };

// A line beginning with '#': the directive's effect on the tables and the conditional state.
Preprocessed preprocess_line(Compiler& c, std::u16string_view text, int line);
// A label line (first column, ending with ':'): records the current code length. False on error.
bool label_line(Compiler& c, std::u16string_view text, int line);
// An instruction line, a parameter line or a text line of "msg". False on error.
bool code_line(Compiler& c, std::u16string_view text, int line);
// Includes the macro module at `path`: its macros become instructions 64 on. False on error.
bool macro_module_load(Compiler& c, const std::u16string& path);
// "#macro" (`rest` after the keyword) starts or ends a macro definition; "#type" declares its kinds.
bool macro_directive(Compiler& c, std::u16string_view rest, int line);
bool type_directive(Compiler& c, std::u16string_view rest, int line);
// The register or slot number after 'r' or 'p' (leading blanks skipped): decimal, or hexadecimal after "0x"/"0X"; no
// digits read as 0; a sign or a value above 15 gives -1.
int small_number(std::string_view text);
// `text` without leading blanks; whether it is empty or only a "//" comment.
std::u16string_view skip_blanks(std::u16string_view text);
bool blank_or_comment(std::u16string_view text);
// A double-quoted text at the start of `text` (after blanks), without a tab inside, of at most
// `limit` CP932 bytes; `rest` is what follows the closing quote.
enum class Quoted { Ok, Missing, NotQuoted, TooLong };
Quoted take_quoted(const Compiler& c, std::u16string_view text, size_t limit, std::u16string_view& inner,
                   std::u16string_view& rest);
// Patches every label reference with its label's code offset (NA stays 0).
bool labels_resolve(Compiler& c);

}  // namespace tesmo::script
