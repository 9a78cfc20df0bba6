// The tokens of a Jet SQL text and the parenthesis tree built from them: the reading half of the
// Jet translation (jet_translate.cpp does the writing).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace db::jet {

enum class TokenKind {
  Word,       // identifier or keyword; may hold '$' (trim$) and '#' (INVOICE_COMMENT#1)
  Name,       // [bracketed] or `quoted` name, text without the delimiters
  String,     // '...' or "..." literal, text unescaped
  Number,     // as written
  Date,       // #...# literal, text between the signs
  Operator,   // = <> < > <= >= + - * / &
  Open,       // (
  Close,      // )
  Comma,      // ,
  Dot,        // .
  Semicolon,  // ;
};

struct Token {
  TokenKind kind;
  std::string text;
  std::size_t offset;  // in the Jet text, for messages
};

// Splits a Jet text into tokens. Raises a provider error (-2147217900) for text that cannot be
// read: an unterminated string, date or name, or a character outside the dialect.
std::vector<Token> tokenize(std::string_view sql);

// A token, or a parenthesised group of nodes (token == nullptr).
struct Node {
  const Token* token = nullptr;
  std::vector<Node> children;
  bool is_group() const { return token == nullptr; }
};

// Nests the tokens by parentheses. Unbalanced parentheses raise a provider error. The nodes point
// into `tokens`, which must outlive them.
std::vector<Node> build_tree(const std::vector<Token>& tokens);

}  // namespace db::jet
