#include "script_lexer.h"

#include "source_place.h"

#include <cctype>
#include <cstdlib>

namespace qm::swf {
namespace {

void AppendUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

class Lexer {
 public:
  Lexer(const std::string& text, const std::string& file) : text_(text), file_(file) {}

  std::vector<Token> Run() {
    std::vector<Token> tokens;
    for (;;) {
      SkipBlanks();
      Token token;
      token.line = line_;
      if (pos_ >= text_.size()) {
        tokens.push_back(token);
        return tokens;
      }
      const char c = text_[pos_];
      if (IsNameStart(c)) {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && IsNamePart(text_[pos_])) ++pos_;
        token.kind = TokenKind::Name;
        token.text = text_.substr(start, pos_ - start);
      } else if (std::isdigit(static_cast<unsigned char>(c))) {
        token.kind = TokenKind::Number;
        token.number = ReadNumber();
      } else if (c == '"' || c == '\'') {
        token.kind = TokenKind::String;
        token.text = ReadString(c);
      } else {
        token.kind = TokenKind::Punct;
        token.text = ReadPunct();
      }
      tokens.push_back(token);
    }
  }

 private:
  static bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }
  static bool IsNamePart(char c) { return IsNameStart(c) || std::isdigit(static_cast<unsigned char>(c)); }

  [[noreturn]] void Fail(const std::string& what) const { throw SourceError({file_, line_}, what); }

  void SkipBlanks() {
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
      } else if (text_.compare(pos_, 2, "//") == 0) {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else if (text_.compare(pos_, 2, "/*") == 0) {
        const std::size_t end = text_.find("*/", pos_ + 2);
        if (end == std::string::npos) Fail("comment not closed");
        for (std::size_t i = pos_; i < end; ++i) line_ += text_[i] == '\n';
        pos_ = end + 2;
      } else {
        return;
      }
    }
  }

  double ReadNumber() {
    const char* begin = text_.c_str() + pos_;
    char* end = nullptr;
    double value = 0;
    if (text_.compare(pos_, 2, "0x") == 0 || text_.compare(pos_, 2, "0X") == 0) {
      value = static_cast<double>(std::strtoull(begin + 2, &end, 16));
      if (end == begin + 2) Fail("hexadecimal number without digits");
    } else {
      value = std::strtod(begin, &end);
    }
    pos_ += static_cast<std::size_t>(end - begin);
    if (pos_ < text_.size() && IsNameStart(text_[pos_])) Fail("letter straight after a number");
    return value;
  }

  std::string ReadString(char quote) {
    std::string out;
    ++pos_;
    for (;;) {
      if (pos_ >= text_.size() || text_[pos_] == '\n') Fail("string not closed on its line");
      const char c = text_[pos_++];
      if (c == quote) return out;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) Fail("string not closed");
      const char e = text_[pos_++];
      switch (e) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '\\':
        case '"':
        case '\'': out += e; break;
        case 'u': {
          if (pos_ + 4 > text_.size()) Fail("\\u needs four hexadecimal digits");
          const std::string digits = text_.substr(pos_, 4);
          char* end = nullptr;
          const unsigned long code = std::strtoul(digits.c_str(), &end, 16);
          if (end != digits.c_str() + 4) Fail("\\u needs four hexadecimal digits");
          if (code >= 0xD800 && code < 0xE000) Fail("\\u of a surrogate: write the character itself");
          AppendUtf8(out, static_cast<unsigned>(code));
          pos_ += 4;
          break;
        }
        default: Fail(std::string("unknown escape \\") + e);
      }
    }
  }

  std::string ReadPunct() {
    static const char* kLong[] = {"===", "!==", "==", "!=", "<=", ">=", "&&", "||",
                                  "++",  "--",  "+=", "-=", "*=", "/=", "<<", ">>"};
    for (const char* p : kLong) {
      if (text_.compare(pos_, std::char_traits<char>::length(p), p) == 0) {
        pos_ += std::char_traits<char>::length(p);
        return p;
      }
    }
    const char c = text_[pos_];
    if (std::string("{}()[];,.?:=+-*/%<>!&|^~").find(c) == std::string::npos)
      Fail(std::string("unexpected character '") + c + "'");
    ++pos_;
    return std::string(1, c);
  }

  const std::string& text_;
  std::string file_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace

std::vector<Token> ReadTokens(const std::string& text, const std::string& fileName) {
  return Lexer(text, fileName).Run();
}

}  // namespace qm::swf
