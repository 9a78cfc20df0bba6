// Translation of Jet SQL texts into SQLite's dialect, and the cache of translated texts.
//
// Design note. The application writes its statements in the Jet dialect and builds them by
// concatenation, so the translator must keep their meaning without ever rewriting text by search
// and replace (a value inside a literal must never be touched). It works in three steps:
//   1. the lexer (jet_lexer.cpp) turns the text into tokens and nests them by parentheses;
//   2. each parenthesis level is read as a sequence of "units" (operands: primaries joined by
//      arithmetic operators and Jet's `&`) separated by everything else (keywords, comparison
//      operators, commas);
//   3. the units and the separators between them are written out again, rewriting what SQLite
//      reads differently: #date# literals become day serials, `&` chains become `||` over
//      jet_text() (Null reads as empty text, and `&` binds looser than arithmetic), Jet functions
//      become our registered jet_* functions, `col = TRUE` becomes `(col <> 0)` since any
//      non-zero value is True, string literals compared with something get COLLATE NOCASE because
//      Jet compares text without regard to case, an aggregate over a bare sub-select gets the
//      parentheses SQLite needs, and SUM over a sub-select that answers for a whole group stands
//      once per group.
// Identifiers are written bare when SQLite reads them as names, else in [brackets] (never in
// double quotes, which SQLite may read as a string). Translations are cached by text in two
// generations: a lookup that hits the older generation moves the entry to the newer one, and when
// the newer one is full the older is dropped, which approximates least-recently-used cheaply.
#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <unordered_map>
#include <unordered_set>

#include "platform/db/jet.h"
#include "platform/db/jet_lexer.h"
#include "platform/db/sqlite_support.h"
#include "platform/text/text.h"
#include "platform/vb/conversions.h"

namespace db {
namespace {

using jet::Node;
using jet::Token;
using jet::TokenKind;
using Seq = std::span<const Node>;

using text::lower_ascii;
using text::upper_ascii;

// Words that structure a statement rather than name something. NULL, TRUE and FALSE are values
// and are not listed.
const std::unordered_set<std::string>& keywords() {
  static const std::unordered_set<std::string> words = {
      "SELECT", "DISTINCT", "DISTINCTROW", "ALL",    "TOP",    "FROM",    "WHERE",  "AND",
      "OR",     "NOT",      "IN",          "IS",     "LIKE",   "BETWEEN", "EXISTS", "ON",
      "JOIN",   "INNER",    "LEFT",        "RIGHT",  "OUTER",  "FULL",    "CROSS",  "AS",
      "ORDER",  "GROUP",    "BY",          "HAVING", "UNION",  "ASC",     "DESC",   "INSERT",
      "INTO",   "VALUES",   "UPDATE",      "SET",    "DELETE", "ESCAPE",  "MOD",    "INDEXED"};
  return words;
}

bool is_token(const Node& node, TokenKind kind) {
  return !node.is_group() && node.token->kind == kind;
}

bool is_word(const Node& node, std::string_view upper_word) {
  return is_token(node, TokenKind::Word) && upper_ascii(node.token->text) == upper_word;
}

bool is_keyword(const Node& node) {
  return is_token(node, TokenKind::Word) && keywords().count(upper_ascii(node.token->text)) > 0;
}

bool is_operator(const Node& node, std::string_view op) {
  return is_token(node, TokenKind::Operator) && node.token->text == op;
}

bool is_comparison(const Node& node) {
  if (!is_token(node, TokenKind::Operator)) return false;
  const std::string& op = node.token->text;
  return op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=";
}

bool starts_with_select(const Node& group) {
  return group.is_group() && !group.children.empty() && is_word(group.children.front(), "SELECT");
}

// Jet functions that have a registered counterpart (all take one argument).
const std::unordered_map<std::string, std::string>& function_names() {
  static const std::unordered_map<std::string, std::string> names = {
      {"trim", "jet_trim"},    {"trim$", "jet_trim"},   {"ltrim", "jet_ltrim"},
      {"ltrim$", "jet_ltrim"}, {"rtrim", "jet_rtrim"},  {"rtrim$", "jet_rtrim"},
      {"ucase", "jet_ucase"},  {"ucase$", "jet_ucase"}, {"lcase", "jet_lcase"},
      {"lcase$", "jet_lcase"}, {"clng", "jet_clng"},    {"datevalue", "jet_datevalue"},
      {"str", "jet_str"},      {"str$", "jet_str"}};
  return names;
}

ColumnKind kind_of_function(const std::string& lower_name) {
  if (lower_name == "datevalue") return ColumnKind::Date;
  if (lower_name == "clng" || lower_name == "count") return ColumnKind::Integer;
  if (lower_name == "isnull") return ColumnKind::YesNo;
  auto found = function_names().find(lower_name);
  if (found != function_names().end()) return ColumnKind::Text;  // the text functions
  return ColumnKind::Auto;
}

bool is_plain_identifier(std::string_view name) {
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
  for (char c : name) {
    const bool ok =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  return sqlite3_keyword_check(name.data(), static_cast<int>(name.size())) == 0;
}

std::string identifier(std::string_view name) {
  if (is_plain_identifier(name)) return std::string(name);
  if (name.find(']') == std::string_view::npos) return "[" + std::string(name) + "]";
  return quote_identifier(name);
}

std::string string_literal(std::string_view text) {
  // A NUL would end the statement text early; such values are written as bytes instead.
  if (text.find('\0') != std::string_view::npos) {
    static const char* hex = "0123456789ABCDEF";
    std::string out = "CAST(X'";
    for (unsigned char c : text) {
      out += hex[c >> 4];
      out += hex[c & 15];
    }
    return out + "' AS TEXT)";
  }
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

std::string serial_text(double serial) {
  std::array<char, 64> buffer{};
  auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), serial);
  std::string text(buffer.data(), result.ptr);
  return serial < 0 ? "(" + text + ")" : text;
}

std::string date_literal(const Token& token) {
  const std::string inner = vb::Trim(token.text);
  auto date = vb::parse_date_text(inner);
  if (!date) throw query_error("Syntax error in date in query expression '#" + token.text + "#'.");
  return serial_text(date->serial);
}

// One operand: primaries joined by arithmetic operators and '&', each element a node range.
struct Element {
  enum Kind { Unary, Binary, Primary } kind;
  std::size_t begin, end;
};

struct Unit {
  std::vector<Element> elements;
  std::size_t begin = 0, end = 0;
  bool collate = false;

  bool single_primary() const {
    return elements.size() == 1 && elements[0].kind == Element::Primary;
  }
};

// An item of a sequence: a unit, a separator node, or text that replaced items.
struct Item {
  enum Kind { UnitItem, Separator, Text } kind;
  Unit unit;
  std::size_t node = 0;
  std::string text;
};

class Writer {
 public:
  std::string statement(Seq seq);
  std::string sequence(Seq seq, std::size_t assign_begin = 0, std::size_t assign_end = 0);
  std::map<std::string, ColumnKind> column_kinds(Seq seq);
  std::optional<SingleTable> single_table(Seq seq);
  std::string count_statement(Seq seq, const std::string& sql);
  // Notes the tables of the statement's GROUP BY, before the statement is written.
  void note_group_tables(Seq seq);

 private:
  bool starts_primary(Seq seq, std::size_t i) const;
  std::size_t primary_end(Seq seq, std::size_t i) const;
  Unit parse_unit(Seq seq, std::size_t i) const;
  bool is_call(Seq seq, const Element& element) const {
    return element.end - element.begin == 2 && seq[element.begin + 1].is_group() &&
           is_token(seq[element.begin], TokenKind::Word);
  }
  std::vector<Item> items_of(Seq seq) const;
  std::string unit_text(Seq seq, const Unit& unit);
  std::string elements_text(Seq seq, const std::vector<Element>& elements, std::size_t from,
                            std::size_t to);
  std::string primary_text(Seq seq, const Element& element);
  std::string call_text(const Token& name, const Node& group);
  std::string sum_of_sub_select(Seq seq);
  std::unordered_set<std::string> group_tables_;
  ColumnKind classify(Seq seq);
  bool is_bool_literal(Seq seq, const Unit& unit, bool& value) const;
  bool is_text_unit(Seq seq, const Unit& unit) const;
};

bool Writer::starts_primary(Seq seq, std::size_t i) const {
  const Node& node = seq[i];
  if (node.is_group()) return true;
  switch (node.token->kind) {
    case TokenKind::Name:
    case TokenKind::String:
    case TokenKind::Number:
    case TokenKind::Date:
      return true;
    case TokenKind::Word:
      return !is_keyword(node);
    case TokenKind::Operator:
      return node.token->text == "*";  // SELECT *, COUNT(*): only where an operand starts
    default:
      return false;
  }
}

std::size_t Writer::primary_end(Seq seq, std::size_t i) const {
  const Node& node = seq[i];
  if (node.is_group()) return i + 1;
  const TokenKind kind = node.token->kind;
  if (kind != TokenKind::Word && kind != TokenKind::Name) return i + 1;
  std::size_t j = i + 1;
  while (j + 1 < seq.size() && is_token(seq[j], TokenKind::Dot) &&
         (is_token(seq[j + 1], TokenKind::Word) || is_token(seq[j + 1], TokenKind::Name) ||
          is_operator(seq[j + 1], "*")))
    j += 2;
  // A word directly before a group is a function call, except a table name after INTO.
  const bool after_into = i > 0 && is_word(seq[i - 1], "INTO");
  if (j == i + 1 && kind == TokenKind::Word && j < seq.size() && seq[j].is_group() && !after_into)
    return j + 1;
  return j;
}

Unit Writer::parse_unit(Seq seq, std::size_t i) const {
  Unit unit;
  unit.begin = i;
  while (i < seq.size()) {
    while (i < seq.size() && (is_operator(seq[i], "-") || is_operator(seq[i], "+"))) {
      unit.elements.push_back({Element::Unary, i, i + 1});
      ++i;
    }
    if (i >= seq.size() || !starts_primary(seq, i)) break;
    const std::size_t end = primary_end(seq, i);
    unit.elements.push_back({Element::Primary, i, end});
    i = end;
    if (i < seq.size() && is_token(seq[i], TokenKind::Operator) && !is_comparison(seq[i])) {
      unit.elements.push_back({Element::Binary, i, i + 1});
      ++i;
      continue;
    }
    break;
  }
  unit.end = i;
  return unit;
}

std::vector<Item> Writer::items_of(Seq seq) const {
  std::vector<Item> items;
  std::size_t i = 0;
  while (i < seq.size()) {
    if (is_token(seq[i], TokenKind::Semicolon))
      throw query_error("Characters found after end of SQL statement.");
    const bool unit_start =
        starts_primary(seq, i) || is_operator(seq[i], "-") || is_operator(seq[i], "+");
    if (unit_start) {
      Unit unit = parse_unit(seq, i);
      if (unit.end > i) {
        i = unit.end;
        items.push_back({Item::UnitItem, std::move(unit), 0, {}});
        continue;
      }
    }
    items.push_back({Item::Separator, {}, i, {}});
    ++i;
  }
  return items;
}

bool Writer::is_bool_literal(Seq seq, const Unit& unit, bool& value) const {
  if (!unit.single_primary()) return false;
  const Element& e = unit.elements[0];
  if (e.end - e.begin != 1) return false;
  if (is_word(seq[e.begin], "TRUE")) {
    value = true;
    return true;
  }
  if (is_word(seq[e.begin], "FALSE")) {
    value = false;
    return true;
  }
  return false;
}

// A string literal, or a concatenation (whose result is text).
bool Writer::is_text_unit(Seq seq, const Unit& unit) const {
  if (unit.single_primary() && unit.elements[0].end - unit.elements[0].begin == 1 &&
      is_token(seq[unit.elements[0].begin], TokenKind::String))
    return true;
  for (const Element& e : unit.elements)
    if (e.kind == Element::Binary && is_operator(seq[e.begin], "&")) return true;
  return false;
}

std::string Writer::sequence(Seq seq, std::size_t assign_begin, std::size_t assign_end) {
  std::vector<Item> items = items_of(seq);
  std::vector<Item> out;
  out.reserve(items.size());
  for (std::size_t k = 0; k < items.size(); ++k) {
    Item& item = items[k];
    const bool operands_around = !out.empty() && out.back().kind == Item::UnitItem &&
                                 k + 1 < items.size() && items[k + 1].kind == Item::UnitItem;
    if (item.kind != Item::Separator || !operands_around) {
      out.push_back(std::move(item));
      continue;
    }
    const Node& node = seq[item.node];
    Unit& left = out.back().unit;
    Unit& right = items[k + 1].unit;
    const bool assignment = item.node >= assign_begin && item.node < assign_end;
    if (is_comparison(node) && !assignment) {
      bool value = false;
      const std::string& op = node.token->text;
      const bool left_bool = is_bool_literal(seq, left, value);
      const bool right_bool = !left_bool && is_bool_literal(seq, right, value);
      if ((left_bool || right_bool) && (op == "=" || op == "<>")) {
        // Any non-zero value is True; Null matches neither test.
        const std::string other = left_bool ? unit_text(seq, right) : unit_text(seq, left);
        const bool nonzero = (op == "=") == value;
        out.back() = Item{Item::Text, {}, 0, "(" + other + (nonzero ? " <> 0)" : " = 0)")};
        ++k;  // the right operand is consumed
        continue;
      }
      if (is_text_unit(seq, left)) left.collate = true;
      if (is_text_unit(seq, right)) right.collate = true;
    } else if (is_word(node, "LIKE")) {
      if (is_text_unit(seq, right)) right.collate = true;
    }
    out.push_back(std::move(item));
  }
  // x IN ('a', ...) and x BETWEEN 'a' AND 'b': the left operand's collation decides.
  for (std::size_t k = 1; k + 1 < out.size(); ++k) {
    if (out[k].kind != Item::Separator) continue;
    const Node& node = seq[out[k].node];
    const bool in = is_word(node, "IN"), between = is_word(node, "BETWEEN");
    if (!in && !between) continue;
    std::size_t left = k - 1;
    if (out[left].kind == Item::Separator && is_word(seq[out[left].node], "NOT") && left > 0)
      --left;
    if (out[left].kind != Item::UnitItem || out[k + 1].kind != Item::UnitItem) continue;
    const Unit& right = out[k + 1].unit;
    bool text = is_text_unit(seq, right);
    if (in && right.single_primary() && seq[right.elements[0].begin].is_group()) {
      for (const Node& child : seq[right.elements[0].begin].children)
        if (is_token(child, TokenKind::String)) text = true;
    }
    if (text) out[left].unit.collate = true;
  }

  std::string sql;
  for (const Item& item : out) {
    std::string piece;
    switch (item.kind) {
      case Item::UnitItem:
        piece = unit_text(seq, item.unit);
        break;
      case Item::Text:
        piece = item.text;
        break;
      case Item::Separator: {
        const Node& node = seq[item.node];
        if (node.is_group()) {
          piece = "(" + sequence(node.children) + ")";
        } else if (is_word(node, "DISTINCTROW")) {
          piece = "DISTINCT";
        } else if (is_word(node, "MOD")) {
          piece = "%";
        } else {
          piece = node.token->text;
        }
        break;
      }
    }
    if (!sql.empty() && piece != ",") sql += ' ';
    sql += piece;
  }
  return sql;
}

std::string Writer::unit_text(Seq seq, const Unit& unit) {
  // Split at '&': it binds looser than arithmetic, so each part is an arithmetic operand.
  std::vector<std::pair<std::size_t, std::size_t>> parts;
  std::size_t start = 0;
  for (std::size_t k = 0; k < unit.elements.size(); ++k) {
    const Element& e = unit.elements[k];
    if (e.kind == Element::Binary && is_operator(seq[e.begin], "&")) {
      parts.emplace_back(start, k);
      start = k + 1;
    }
  }
  std::string text;
  if (parts.empty()) {
    text = elements_text(seq, unit.elements, 0, unit.elements.size());
  } else {
    parts.emplace_back(start, unit.elements.size());
    text = "(";
    for (std::size_t p = 0; p < parts.size(); ++p) {
      const auto [from, to] = parts[p];
      if (p > 0) text += " || ";
      if (from == to) throw query_error("Syntax error in query expression: '&' needs an operand.");
      const Element& first = unit.elements[from];
      const bool literal = to - from == 1 && first.kind == Element::Primary &&
                           first.end - first.begin == 1 &&
                           is_token(seq[first.begin], TokenKind::String);
      if (literal)
        text += elements_text(seq, unit.elements, from, to);
      else
        text += "jet_text(" + elements_text(seq, unit.elements, from, to) + ")";
    }
    text += ")";
  }
  if (unit.collate) text += " COLLATE NOCASE";
  return text;
}

std::string Writer::elements_text(Seq seq, const std::vector<Element>& elements, std::size_t from,
                                  std::size_t to) {
  std::string text;
  for (std::size_t k = from; k < to; ++k) {
    const Element& e = elements[k];
    if (!text.empty()) text += ' ';
    if (e.kind == Element::Primary)
      text += primary_text(seq, e);
    else
      text += seq[e.begin].token->text;  // operators stay apart, so "- -1" never reads "--"
  }
  return text;
}

std::string Writer::primary_text(Seq seq, const Element& element) {
  const Node& node = seq[element.begin];
  if (node.is_group()) {
    if (starts_with_select(node)) return "(" + statement(node.children) + ")";
    return "(" + sequence(node.children) + ")";
  }
  if (is_call(seq, element)) return call_text(*node.token, seq[element.begin + 1]);
  const Token& token = *node.token;
  switch (token.kind) {
    case TokenKind::String:
      return string_literal(token.text);
    case TokenKind::Number:
      return token.text;
    case TokenKind::Date:
      return date_literal(token);
    case TokenKind::Operator:
      return token.text;  // the '*' of SELECT * and COUNT(*)
    default:
      break;
  }
  if (element.end - element.begin == 1 && token.kind == TokenKind::Word) {
    const std::string word = upper_ascii(token.text);
    if (word == "TRUE") return "-1";
    if (word == "FALSE") return "0";
    if (word == "NULL") return "NULL";
  }
  std::string text;
  for (std::size_t k = element.begin; k < element.end; ++k) {
    const Token& part = *seq[k].token;
    if (part.kind == TokenKind::Dot)
      text += '.';
    else if (part.kind == TokenKind::Operator)
      text += part.text;
    else
      text += identifier(part.text);
  }
  return text;
}

std::string Writer::call_text(const Token& name, const Node& group) {
  const std::string lower = lower_ascii(name.text);
  std::size_t arguments = group.children.empty() ? 0 : 1;
  for (const Node& child : group.children)
    if (is_token(child, TokenKind::Comma)) ++arguments;
  const bool sub_select = starts_with_select(group);
  if (sub_select && lower == "sum") return sum_of_sub_select(group.children);
  const std::string inner =
      sub_select ? "(" + statement(group.children) + ")" : sequence(group.children);
  const bool isnull = lower == "isnull";
  auto mapped = function_names().find(lower);
  if ((isnull || mapped != function_names().end()) && arguments != 1)
    throw query_error("Wrong number of arguments used with function in query expression '" +
                      name.text + "'.");
  if (isnull) return "(" + inner + " IS NULL)";
  if (mapped != function_names().end()) return mapped->second + "(" + inner + ")";
  if (!is_plain_identifier(name.text) && name.text.find_first_of("$#") != std::string::npos)
    throw query_error("Undefined function '" + name.text + "' in expression.");
  return name.text + "(" + inner + ")";
}

// Table names a part of a statement qualifies columns with (X.col), and those it defines itself
// (after FROM, JOIN or AS, or first in a parenthesised join).
void collect_tables(Seq seq, std::unordered_set<std::string>& referenced,
                    std::unordered_set<std::string>& defined, bool after_from = false) {
  for (std::size_t k = 0; k < seq.size(); ++k) {
    const Node& node = seq[k];
    const bool opens_table = k > 0 && (is_word(seq[k - 1], "FROM") || is_word(seq[k - 1], "JOIN"));
    if (node.is_group()) {
      collect_tables(node.children, referenced, defined, opens_table);
      continue;
    }
    const bool name = is_token(node, TokenKind::Word) || is_token(node, TokenKind::Name);
    if (!name) continue;
    if (k + 1 < seq.size() && is_token(seq[k + 1], TokenKind::Dot)) {
      referenced.insert(upper_ascii(node.token->text));
    }
    if (opens_table || (k == 0 && after_from) || (k > 0 && is_word(seq[k - 1], "AS"))) {
      defined.insert(upper_ascii(node.token->text));
    }
  }
}

// SUM over a sub-select. When the sub-select reads nothing of the outer row but the group's key
// (as the summary report's sub-selects do), it already answers for the whole group, and summing
// it over the group's rows would multiply it by their number: it stands once per group instead,
// and a sub-select of plain values (SELECT 1 FROM ...) is summed over its own rows. A sub-select
// correlated with the outer row is summed over the rows, as written.
std::string Writer::sum_of_sub_select(Seq seq) {
  std::unordered_set<std::string> referenced, defined;
  collect_tables(seq, referenced, defined);
  bool per_group = true;
  for (const std::string& table : referenced) {
    if (!defined.count(table) && !group_tables_.count(table)) per_group = false;
  }
  if (!per_group) return "SUM((" + statement(seq) + "))";
  // Nested groups are nodes of their own, so the first FROM at this level is the sub-select's.
  std::size_t from = 1;
  while (from < seq.size() && !is_word(seq[from], "FROM")) ++from;
  const Seq select_list = seq.subspan(1, from - 1);
  static const std::unordered_set<std::string> aggregates = {"COUNT", "SUM", "AVG", "MIN", "MAX"};
  const bool aggregate = select_list.size() >= 2 && is_token(select_list[0], TokenKind::Word) &&
                         aggregates.count(upper_ascii(select_list[0].token->text)) &&
                         select_list[1].is_group();
  // MAX over the group's rows of a value the same for all of them is that value, and the query
  // stays an aggregate one (no rows: Null, as the sum would be).
  if (aggregate || from >= seq.size()) return "MAX((" + statement(seq) + "))";
  return "MAX((SELECT SUM(" + sequence(select_list) + ") " + sequence(seq.subspan(from)) + "))";
}

// The tables whose columns group the statement (GROUP BY T.col, ...), at its top level.
void Writer::note_group_tables(Seq seq) {
  for (std::size_t k = 0; k + 1 < seq.size(); ++k) {
    if (!is_word(seq[k], "GROUP") || !is_word(seq[k + 1], "BY")) continue;
    for (std::size_t j = k + 2; j < seq.size(); ++j) {
      if (is_word(seq[j], "ORDER") || is_word(seq[j], "HAVING") || is_word(seq[j], "UNION")) break;
      if (j + 1 < seq.size() && is_token(seq[j + 1], TokenKind::Dot) && !seq[j].is_group()) {
        group_tables_.insert(upper_ascii(seq[j].token->text));
      }
    }
  }
}

std::string Writer::statement(Seq seq) {
  if (seq.empty()) throw query_error("The query text is empty.");
  if (is_word(seq[0], "DELETE")) {
    // Jet allows DELETE * FROM and DELETE T.* FROM; SQLite wants DELETE FROM.
    std::size_t from = 1;
    while (from < seq.size() && !is_word(seq[from], "FROM")) ++from;
    if (from == seq.size()) throw query_error("Syntax error in DELETE statement.");
    return "DELETE " + sequence(seq.subspan(from));
  }
  if (is_word(seq[0], "UPDATE")) {
    std::size_t set = 0, where = seq.size();
    for (std::size_t k = 1; k < seq.size(); ++k) {
      if (set == 0 && is_word(seq[k], "SET")) set = k;
      if (set != 0 && is_word(seq[k], "WHERE")) {
        where = k;
        break;
      }
    }
    if (set != 0) return sequence(seq, set + 1, where);
  }
  return sequence(seq);
}

ColumnKind Writer::classify(Seq seq) {
  if (seq.size() == 1 && seq[0].is_group()) {
    if (starts_with_select(seq[0])) return ColumnKind::Auto;
    return classify(seq[0].children);
  }
  if (seq.empty() || !starts_primary(seq, 0)) return ColumnKind::Auto;
  const Unit unit = parse_unit(seq, 0);
  if (unit.end != seq.size()) return ColumnKind::Auto;
  if (is_text_unit(seq, unit)) return ColumnKind::Text;
  if (!unit.single_primary()) return ColumnKind::Auto;
  const Element& e = unit.elements[0];
  if (is_call(seq, e)) return kind_of_function(lower_ascii(seq[e.begin].token->text));
  if (is_token(seq[e.begin], TokenKind::Date)) return ColumnKind::Date;
  return ColumnKind::Auto;
}

std::map<std::string, ColumnKind> Writer::column_kinds(Seq seq) {
  std::map<std::string, ColumnKind> kinds;
  if (seq.empty() || !is_word(seq[0], "SELECT")) return kinds;
  std::size_t i = 1;
  while (i < seq.size() &&
         (is_word(seq[i], "DISTINCT") || is_word(seq[i], "DISTINCTROW") || is_word(seq[i], "ALL")))
    ++i;
  std::size_t end = i;
  while (end < seq.size() && !is_word(seq[end], "FROM") && !is_word(seq[end], "UNION")) ++end;
  while (i < end) {
    std::size_t stop = i;
    while (stop < end && !is_token(seq[stop], TokenKind::Comma)) ++stop;
    std::size_t expression_end = stop;
    std::string name;
    if (stop - i >= 3 && is_word(seq[stop - 2], "AS") &&
        (is_token(seq[stop - 1], TokenKind::Word) || is_token(seq[stop - 1], TokenKind::Name))) {
      expression_end = stop - 2;
      name = lower_ascii(seq[stop - 1].token->text);
    }
    const Seq expression = seq.subspan(i, expression_end - i);
    const ColumnKind kind = classify(expression);
    if (kind != ColumnKind::Auto) {
      // Without an alias SQLite names the column by its text.
      if (name.empty()) name = lower_ascii(sequence(expression));
      kinds[name] = kind;
    }
    i = stop + 1;
  }
  return kinds;
}

std::optional<SingleTable> Writer::single_table(Seq seq) {
  if (seq.empty() || !is_word(seq[0], "SELECT")) return std::nullopt;
  std::size_t from = 0;
  for (std::size_t k = 1; k < seq.size(); ++k) {
    for (const char* word : {"UNION", "GROUP", "HAVING", "DISTINCT", "DISTINCTROW", "JOIN", "TOP"})
      if (is_word(seq[k], word)) return std::nullopt;
    if (from == 0 && is_word(seq[k], "FROM")) from = k;
  }
  if (from < 2 || from + 1 >= seq.size()) return std::nullopt;
  const Node& table = seq[from + 1];
  const bool named =
      (is_token(table, TokenKind::Word) && !is_keyword(table)) || is_token(table, TokenKind::Name);
  if (!named) return std::nullopt;
  SingleTable result;
  result.name = table.token->text;
  result.table = identifier(table.token->text);
  result.qualifier = result.table;
  result.from = result.table;
  std::size_t k = from + 2;
  const auto alias_at = [&](std::size_t at) {
    return at < seq.size() && ((is_token(seq[at], TokenKind::Word) && !is_keyword(seq[at])) ||
                               is_token(seq[at], TokenKind::Name));
  };
  if (k < seq.size() && is_word(seq[k], "AS") && alias_at(k + 1)) {
    result.qualifier = identifier(seq[k + 1].token->text);
    k += 2;
  } else if (alias_at(k)) {
    result.qualifier = identifier(seq[k].token->text);
    k += 1;
  }
  if (result.qualifier != result.table) result.from += " AS " + result.qualifier;
  if (k < seq.size() && !is_word(seq[k], "WHERE") && !is_word(seq[k], "ORDER")) return std::nullopt;
  result.columns = sequence(seq.subspan(1, from - 1));
  if (k < seq.size()) result.tail = sequence(seq.subspan(k));
  return result;
}

// Whether a select list holds an aggregate of its own (one in a sub-select does not count).
bool has_aggregate(Seq seq) {
  static const std::unordered_set<std::string> aggregates = {
      "COUNT", "SUM", "AVG", "MIN", "MAX", "FIRST", "LAST", "STDEV", "STDEVP", "VAR", "VARP"};
  for (std::size_t k = 0; k < seq.size(); ++k) {
    if (seq[k].is_group()) {
      if (!starts_with_select(seq[k]) && has_aggregate(seq[k].children)) return true;
      continue;
    }
    if (k + 1 < seq.size() && seq[k + 1].is_group() && is_token(seq[k], TokenKind::Word) &&
        aggregates.count(upper_ascii(seq[k].token->text)))
      return true;
  }
  return false;
}

// The rows of a plain SELECT do not depend on its columns: counting "SELECT 1" lets the engine
// leave out the outer joins nothing else reads. LIMIT -1 keeps the sub-select from being merged
// into the count, where SQLite would keep every join. Anything else is counted as it is.
std::string Writer::count_statement(Seq seq, const std::string& sql) {
  const std::string whole = "SELECT count(*) FROM (" + sql + ")";
  if (seq.empty() || !is_word(seq[0], "SELECT")) return whole;
  std::size_t from = 0, order = seq.size();
  for (std::size_t k = 1; k < seq.size(); ++k) {
    for (const char* word : {"UNION", "GROUP", "HAVING", "DISTINCT", "DISTINCTROW", "TOP"})
      if (is_word(seq[k], word)) return whole;
    if (from == 0 && is_word(seq[k], "FROM")) from = k;
    if (from != 0 && is_word(seq[k], "ORDER")) order = std::min(order, k);
  }
  if (from < 2 || has_aggregate(seq.subspan(1, from - 1))) return whole;
  return "SELECT count(*) FROM (SELECT 1 " + sequence(seq.subspan(from, order - from)) +
         " LIMIT -1)";
}

// Whether a translated text calls one of the engine's functions whose value moves with the clock
// or by chance, so that the same rows may count differently a moment later.
bool reads_clock(std::string_view sql) {
  static constexpr std::string_view kMoving[] = {
      "date",   "time",       "datetime",          "julianday", "strftime",     "unixepoch",
      "random", "randomblob", "last_insert_rowid", "changes",   "total_changes"};
  const std::string lower = vb::LCase(sql);
  for (std::size_t open = lower.find('('); open != std::string::npos;
       open = lower.find('(', open + 1)) {
    std::size_t end = open;
    while (end > 0 && lower[end - 1] == ' ') --end;
    std::size_t begin = end;
    while (begin > 0 && text::is_name_char(lower[begin - 1])) --begin;
    const std::string_view name = std::string_view(lower).substr(begin, end - begin);
    for (std::string_view moving : kMoving)
      if (name == moving) return true;
  }
  return false;
}

Translation translate_text(std::string_view jet_sql) {
  const std::vector<Token> tokens = jet::tokenize(jet_sql);
  std::vector<Node> tree = jet::build_tree(tokens);
  // One statement: a final ';' is dropped, anything after it refused.
  for (std::size_t k = 0; k < tree.size(); ++k) {
    if (!is_token(tree[k], TokenKind::Semicolon)) continue;
    for (std::size_t rest = k + 1; rest < tree.size(); ++rest)
      if (!is_token(tree[rest], TokenKind::Semicolon))
        throw query_error("Characters found after end of SQL statement.");
    tree.resize(k);
    break;
  }
  const bool known = !tree.empty() && (is_word(tree[0], "SELECT") || is_word(tree[0], "INSERT") ||
                                       is_word(tree[0], "UPDATE") || is_word(tree[0], "DELETE") ||
                                       starts_with_select(tree[0]));
  if (!known)
    throw query_error(
        "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or "
        "'UPDATE'.");
  Writer writer;
  writer.note_group_tables(tree);
  Translation translation;
  translation.sql = writer.statement(tree);
  translation.column_kinds = writer.column_kinds(tree);
  translation.single_table = writer.single_table(tree);
  translation.count_sql = writer.count_statement(tree, translation.sql);
  translation.count_is_steady = !reads_clock(translation.count_sql);
  return translation;
}

struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const {
    return std::hash<std::string_view>{}(text);
  }
};

class TranslationCache {
 public:
  std::shared_ptr<const Translation> find(std::string_view text) {
    std::lock_guard lock(mutex_);
    if (auto hit = current_.find(text); hit != current_.end()) return hit->second;
    auto old = previous_.find(text);
    if (old == previous_.end()) return nullptr;
    auto entry = old->second;
    store(std::string(text), entry);
    return entry;
  }

  void insert(std::string_view text, std::shared_ptr<const Translation> translation) {
    std::lock_guard lock(mutex_);
    store(std::string(text), std::move(translation));
  }

 private:
  static constexpr std::size_t kGeneration = 512;

  void store(std::string text, std::shared_ptr<const Translation> translation) {
    if (current_.size() >= kGeneration) {
      previous_ = std::move(current_);
      current_.clear();
    }
    current_.insert_or_assign(std::move(text), std::move(translation));
  }

  std::mutex mutex_;
  std::unordered_map<std::string, std::shared_ptr<const Translation>, TextHash, std::equal_to<>>
      current_, previous_;
};

TranslationCache& cache() {
  static TranslationCache instance;
  return instance;
}

}  // namespace

std::shared_ptr<const Translation> translate_shared(std::string_view jet_sql) {
  if (auto hit = cache().find(jet_sql)) return hit;
  auto translation = std::make_shared<const Translation>(translate_text(jet_sql));
  cache().insert(jet_sql, translation);
  return translation;
}

}  // namespace db
