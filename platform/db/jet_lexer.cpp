// Reading a Jet SQL text into tokens and a parenthesis tree.
#include "platform/db/jet_lexer.h"

#include "platform/db/sqlite_support.h"

namespace db::jet {
namespace {

bool is_word_start(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
bool is_word_char(unsigned char c) {
  return is_word_start(c) || (c >= '0' && c <= '9');
}
bool is_digit(unsigned char c) {
  return c >= '0' && c <= '9';
}

[[noreturn]] void syntax_error(std::string message) {
  throw query_error(std::move(message));
}

// Reads a delimited literal starting at sql[i] (the opening delimiter); a doubled closing
// delimiter stands for itself when `doubling` is set. Returns the text and moves i past the end.
bool read_delimited(std::string_view sql, std::size_t& i, char close, bool doubling,
                    std::string& text) {
  ++i;
  while (i < sql.size()) {
    char c = sql[i];
    if (c == close) {
      if (doubling && i + 1 < sql.size() && sql[i + 1] == close) {
        text += close;
        i += 2;
        continue;
      }
      ++i;
      return true;
    }
    text += c;
    ++i;
  }
  return false;
}

bool token_ends_operand(const std::vector<Token>& tokens) {
  if (tokens.empty()) return false;
  switch (tokens.back().kind) {
    case TokenKind::Word:
    case TokenKind::Name:
    case TokenKind::Close:
    case TokenKind::Number:
    case TokenKind::String:
    case TokenKind::Date:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::vector<Token> tokenize(std::string_view sql) {
  std::vector<Token> tokens;
  tokens.reserve(sql.size() / 4 + 4);
  std::size_t i = 0;
  while (i < sql.size()) {
    const unsigned char c = static_cast<unsigned char>(sql[i]);
    const std::size_t start = i;
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
      ++i;
      continue;
    }
    if (is_word_start(c)) {
      while (i < sql.size()) {
        const unsigned char d = static_cast<unsigned char>(sql[i]);
        // '#' belongs to a name only between name characters; elsewhere it opens a date.
        if (is_word_char(d) || d == '$' ||
            (d == '#' && i + 1 < sql.size() &&
             is_word_char(static_cast<unsigned char>(sql[i + 1]))))
          ++i;
        else
          break;
      }
      tokens.push_back({TokenKind::Word, std::string(sql.substr(start, i - start)), start});
      continue;
    }
    const bool leading_point = c == '.' && i + 1 < sql.size() &&
                               is_digit(static_cast<unsigned char>(sql[i + 1])) &&
                               !token_ends_operand(tokens);
    if (is_digit(c) || leading_point) {
      while (i < sql.size() && is_digit(static_cast<unsigned char>(sql[i]))) ++i;
      if (i < sql.size() && sql[i] == '.') {
        ++i;
        while (i < sql.size() && is_digit(static_cast<unsigned char>(sql[i]))) ++i;
      }
      if (i < sql.size() && (sql[i] == 'e' || sql[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < sql.size() && (sql[j] == '+' || sql[j] == '-')) ++j;
        if (j < sql.size() && is_digit(static_cast<unsigned char>(sql[j]))) {
          i = j;
          while (i < sql.size() && is_digit(static_cast<unsigned char>(sql[i]))) ++i;
        }
      }
      tokens.push_back({TokenKind::Number, std::string(sql.substr(start, i - start)), start});
      continue;
    }
    std::string text;
    switch (c) {
      case '\'':
      case '"':
        if (!read_delimited(sql, i, static_cast<char>(c), true, text))
          syntax_error("Syntax error in string in query expression.");
        tokens.push_back({TokenKind::String, std::move(text), start});
        continue;
      case '[':
      case '`':
        if (!read_delimited(sql, i, c == '[' ? ']' : '`', false, text) || text.empty())
          syntax_error("Invalid bracketing of name in query expression.");
        tokens.push_back({TokenKind::Name, std::move(text), start});
        continue;
      case '#':
        if (!read_delimited(sql, i, '#', false, text))
          syntax_error("Syntax error in date in query expression.");
        tokens.push_back({TokenKind::Date, std::move(text), start});
        continue;
      case '(':
        tokens.push_back({TokenKind::Open, "(", start});
        ++i;
        continue;
      case ')':
        tokens.push_back({TokenKind::Close, ")", start});
        ++i;
        continue;
      case ',':
        tokens.push_back({TokenKind::Comma, ",", start});
        ++i;
        continue;
      case '.':
        tokens.push_back({TokenKind::Dot, ".", start});
        ++i;
        continue;
      case ';':
        tokens.push_back({TokenKind::Semicolon, ";", start});
        ++i;
        continue;
      case '<':
        if (i + 1 < sql.size() && (sql[i + 1] == '>' || sql[i + 1] == '=')) {
          tokens.push_back({TokenKind::Operator, std::string(sql.substr(i, 2)), start});
          i += 2;
        } else {
          tokens.push_back({TokenKind::Operator, "<", start});
          ++i;
        }
        continue;
      case '>':
        if (i + 1 < sql.size() && sql[i + 1] == '=') {
          tokens.push_back({TokenKind::Operator, ">=", start});
          i += 2;
        } else {
          tokens.push_back({TokenKind::Operator, ">", start});
          ++i;
        }
        continue;
      case '=':
      case '+':
      case '-':
      case '*':
      case '/':
      case '&':
        tokens.push_back({TokenKind::Operator, std::string(1, static_cast<char>(c)), start});
        ++i;
        continue;
      default:
        break;
    }
    if (c < 0x20 || c == 0x7f)
      syntax_error("Invalid character in query expression at position " +
                   std::to_string(start + 1) + ".");
    syntax_error("Syntax error: unexpected character '" + std::string(1, static_cast<char>(c)) +
                 "' in query expression at position " + std::to_string(start + 1) + ".");
  }
  return tokens;
}

namespace {

// Deeper nesting than any real statement; the limit keeps hostile input off the stack's end.
constexpr int kMaxDepth = 100;

std::size_t fill_group(const std::vector<Token>& tokens, std::size_t i, std::vector<Node>& out,
                       int depth) {
  const bool nested = depth > 0;
  while (i < tokens.size()) {
    const Token& token = tokens[i];
    if (token.kind == TokenKind::Open) {
      if (depth >= kMaxDepth) syntax_error("Query is too complex.");
      Node group;
      i = fill_group(tokens, i + 1, group.children, depth + 1);
      out.push_back(std::move(group));
      continue;
    }
    if (token.kind == TokenKind::Close) {
      if (!nested) syntax_error("Syntax error: extra ) in query expression.");
      return i + 1;
    }
    out.push_back(Node{&token, {}});
    ++i;
  }
  if (nested) syntax_error("Syntax error: missing ) in query expression.");
  return i;
}

}  // namespace

std::vector<Node> build_tree(const std::vector<Token>& tokens) {
  std::vector<Node> top;
  fill_group(tokens, 0, top, 0);
  return top;
}

}  // namespace db::jet
