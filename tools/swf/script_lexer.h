#pragma once
// Splits the movie's script into tokens: names (reserved words among them),
// numbers, strings with their escapes resolved to UTF-8, and punctuation.
// Comments and blanks are skipped; every token keeps its line.
#include <string>
#include <vector>

namespace qm::swf {

enum class TokenKind { End, Name, Number, String, Punct };

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;
  double number = 0;
  int line = 0;
};

// The tokens of one source file, ending with an End token. Throws
// SourceError at the first fault.
std::vector<Token> ReadTokens(const std::string& text, const std::string& fileName);

}  // namespace qm::swf
