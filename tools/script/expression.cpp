// The constant-expression evaluator. Parentheses are reduced innermost-last-first; inside a span
// the three operator passes run left to right, each operator joining the nearest operands still
// standing on either side.
#include "tools/script/expression.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "base/text.h"
#include "tools/script/source.h"

namespace tesmo::script {
namespace {

enum class Op : uint8_t { None, Open, Close, Mul, Div, Mod, And, Or, Xor, Shl, Shr, Add, Sub };

struct Token {
  Op op = Op::None;  // None: an operand
  int32_t value = 0;
  bool alive = true;
};

struct Evaluator {
  std::string_view text;
  DefineTable& defines;
  int line;
  Diagnostics& diag;
  std::vector<Token> tokens;

  bool fail(std::u16string_view pattern, std::string_view shown) {
    return diag.error_at(line, pattern, {ansi_display(shown)});
  }
};

constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }
constexpr bool is_hex_digit(char c) { return is_digit(c) || (c >= 'A' && c <= 'F'); }  // upper case only

// The operator that starts at text[i] and its length; '+' and '-' only before a blank.
Op operator_at(std::string_view text, size_t i, size_t& length) {
  length = 1;
  const char next = i + 1 < text.size() ? text[i + 1] : '\0';
  switch (text[i]) {
    case '(': return Op::Open;
    case ')': return Op::Close;
    case '*': return Op::Mul;
    case '/': return Op::Div;
    case '%': return Op::Mod;
    case '&': return Op::And;
    case '|': return Op::Or;
    case '^': return Op::Xor;
    case '+': return next == ' ' || next == '\t' ? Op::Add : Op::None;
    case '-': return next == ' ' || next == '\t' ? Op::Sub : Op::None;
    case '<': length = 2; return next == '<' ? Op::Shl : Op::None;
    case '>': length = 2; return next == '>' ? Op::Shr : Op::None;
    default: return Op::None;
  }
}

// A number: optional sign, then decimal digits without a leading zero, or "0x" and upper-case
// hexadecimal digits. Decimal saturates at the signed limits, hexadecimal at 0xFFFFFFFF before
// the sign is applied.
bool read_number(Evaluator& ev, std::string_view operand, int32_t& value) {
  const bool negative = operand[0] == '-';
  std::string_view digits = operand.substr(operand[0] == '-' || operand[0] == '+' ? 1 : 0);
  const bool hex = digits.starts_with("0x");
  if (hex) digits.remove_prefix(2);
  if (digits.empty()) return ev.fail(msg::kNumberFormat, operand);
  uint64_t magnitude = 0;
  for (char c : digits) {
    if (hex ? !is_hex_digit(c) : !is_digit(c)) return ev.fail(msg::kNumberFormat, operand);
    uint64_t d = is_digit(c) ? c - '0' : c - 'A' + 10;
    magnitude = std::min<uint64_t>(magnitude * (hex ? 16 : 10) + d, 0x100000000ull);
  }
  if (!hex && digits.size() > 1 && digits[0] == '0') return ev.fail(msg::kNumberLeadingZero, operand);
  if (hex) {
    uint32_t v = static_cast<uint32_t>(std::min<uint64_t>(magnitude, 0xFFFFFFFFu));
    value = static_cast<int32_t>(negative ? 0u - v : v);
  } else {
    int64_t v = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    value = static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  }
  return true;
}

bool read_operand(Evaluator& ev, std::string_view operand, int32_t& value) {
  if (is_digit(operand[0]) || operand[0] == '+' || operand[0] == '-') return read_number(ev, operand, value);
  DefineRecord* d = ev.defines.find(operand);
  if (!d || !d->has_value) return ev.fail(msg::kUndefinedConstant, operand);
  d->used = true;
  value = d->value;
  return true;
}

// Operators and operands; an operand runs to a blank or to the start of an operator.
bool tokenize(Evaluator& ev) {
  const std::string_view t = ev.text;
  size_t i = 0;
  while (i < t.size()) {
    if (t[i] == ' ' || t[i] == '\t') {
      ++i;
      continue;
    }
    if (ev.tokens.size() == kExpressionTokens) return ev.fail(msg::kImmediateTooManyTokens, t);
    size_t length;
    Op op = operator_at(t, i, length);
    if (op != Op::None) {
      ev.tokens.push_back({op});
      i += length;
      continue;
    }
    size_t start = i;
    i += is_cp932_lead_byte(static_cast<uint8_t>(t[i])) && i + 1 < t.size() ? 2 : 1;
    while (i < t.size() && t[i] != ' ' && t[i] != '\t' && operator_at(t, i, length) == Op::None) {
      i += is_cp932_lead_byte(static_cast<uint8_t>(t[i])) && i + 1 < t.size() ? 2 : 1;
    }
    Token operand;
    if (!read_operand(ev, t.substr(start, i - start), operand.value)) return false;
    ev.tokens.push_back(operand);
  }
  return true;
}

constexpr int pass_of(Op op) {
  switch (op) {
    case Op::And: case Op::Or: case Op::Xor: case Op::Shl: case Op::Shr: return 0;
    case Op::Mul: case Op::Div: case Op::Mod: return 1;
    case Op::Add: case Op::Sub: return 2;
    default: return -1;
  }
}

bool apply(Evaluator& ev, Op op, int32_t a, int32_t b, int32_t& out) {
  const uint32_t ua = static_cast<uint32_t>(a), ub = static_cast<uint32_t>(b);
  switch (op) {
    case Op::And: out = static_cast<int32_t>(ua & ub); break;
    case Op::Or: out = static_cast<int32_t>(ua | ub); break;
    case Op::Xor: out = static_cast<int32_t>(ua ^ ub); break;
    case Op::Shl: out = static_cast<int32_t>(ua << (ub & 31)); break;
    case Op::Shr: out = a >> (ub & 31); break;
    case Op::Add: out = static_cast<int32_t>(ua + ub); break;
    case Op::Sub: out = static_cast<int32_t>(ua - ub); break;
    case Op::Mul: out = static_cast<int32_t>(ua * ub); break;
    case Op::Div:
    case Op::Mod:
      if (b == 0) return ev.fail(msg::kDivisionByZero, ev.text);
      if (a == INT32_MIN && b == -1) out = op == Op::Div ? INT32_MIN : 0;  // wraps as the hardware would
      else out = op == Op::Div ? a / b : a % b;
      break;
    default: return ev.fail(msg::kOperatorFormat, ev.text);
  }
  return true;
}

// Index of the nearest live operand from `i` stepping by `step` within [begin, end), or -1.
long nearest_operand(const Evaluator& ev, long i, long step, size_t begin, size_t end) {
  for (i += step; i >= static_cast<long>(begin) && i < static_cast<long>(end); i += step) {
    const Token& t = ev.tokens[i];
    if (t.alive && t.op == Op::None) return i;
  }
  return -1;
}

// Evaluates tokens[begin, end) (no parentheses left inside) into the first live operand.
bool eval_span(Evaluator& ev, size_t begin, size_t end, int32_t& value) {
  for (int pass = 0; pass < 3; ++pass) {
    for (size_t i = begin; i < end; ++i) {
      Token& t = ev.tokens[i];
      if (!t.alive || pass_of(t.op) != pass) continue;
      long left = nearest_operand(ev, static_cast<long>(i), -1, begin, end);
      long right = nearest_operand(ev, static_cast<long>(i), 1, begin, end);
      if (left < 0 || right < 0) return ev.fail(msg::kOperatorFormat, ev.text);
      if (!apply(ev, t.op, ev.tokens[left].value, ev.tokens[right].value, ev.tokens[left].value)) return false;
      t.alive = false;
      ev.tokens[right].alive = false;
    }
  }
  long first = nearest_operand(ev, static_cast<long>(begin) - 1, 1, begin, end);
  if (first < 0) return ev.fail(msg::kNoValue, ev.text);
  value = ev.tokens[first].value;
  for (size_t i = begin; i < end; ++i) ev.tokens[i].alive = false;
  return true;
}

long find_live(const Evaluator& ev, Op op, size_t from, bool last) {
  long found = -1;
  for (size_t i = from; i < ev.tokens.size(); ++i) {
    if (!ev.tokens[i].alive || ev.tokens[i].op != op) continue;
    found = static_cast<long>(i);
    if (!last) break;
  }
  return found;
}

// Replaces each innermost "( ... )" by its value, taking the last '(' first.
bool reduce_parentheses(Evaluator& ev) {
  for (long open; (open = find_live(ev, Op::Open, 0, true)) >= 0;) {
    long close = find_live(ev, Op::Close, static_cast<size_t>(open) + 1, false);
    if (close < 0) return ev.fail(msg::kUnclosedParen, ev.text);
    int32_t value;
    if (!eval_span(ev, static_cast<size_t>(open) + 1, static_cast<size_t>(close), value)) return false;
    ev.tokens[open] = Token{Op::None, value, true};
    ev.tokens[close].alive = false;
  }
  if (find_live(ev, Op::Close, 0, false) >= 0) return ev.fail(msg::kUnopenedParen, ev.text);
  return true;
}

}  // namespace

std::optional<int32_t> expression_eval(std::string_view text, DefineTable& defines, int line, Diagnostics& diag) {
  Evaluator ev{text, defines, line, diag, {}};
  if (text.size() > kExpressionMax) {
    diag.error_at(line, msg::kImmediateTooLong, {ansi_display(ansi_prefix(text, kExpressionMax))});
    return std::nullopt;
  }
  int32_t value;
  if (!tokenize(ev) || !reduce_parentheses(ev) || !eval_span(ev, 0, ev.tokens.size(), value)) return std::nullopt;
  return value;
}

}  // namespace tesmo::script
