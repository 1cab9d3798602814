#include "script_parser.h"

#include "script_lexer.h"

#include <algorithm>
#include <set>

namespace qm::swf {
namespace {

const std::set<std::string> kReserved = {"var",    "function",  "if",       "else",   "while",     "for",
                                         "return", "break",     "continue", "new",    "true",      "false",
                                         "null",   "undefined", "this",     "typeof", "instanceof"};

// Nesting deeper than this is refused rather than risked on the stack.
constexpr int kMaxNesting = 200;

class Parser {
 public:
  Parser(std::vector<Token> tokens, std::string file) : tokens_(std::move(tokens)), file_(std::move(file)) {}

  NodePtr Program() {
    auto block = Make(NodeKind::Block);
    while (Peek().kind != TokenKind::End) block->kids.push_back(Statement(true));
    return block;
  }

 private:
  const Token& Peek(std::size_t ahead = 0) const { return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)]; }
  bool IsPunct(const char* p, std::size_t ahead = 0) const {
    return Peek(ahead).kind == TokenKind::Punct && Peek(ahead).text == p;
  }
  bool IsWord(const char* w) const { return Peek().kind == TokenKind::Name && Peek().text == w; }
  bool Accept(const char* p) {
    if (!IsPunct(p)) return false;
    ++pos_;
    return true;
  }
  bool AcceptWord(const char* w) {
    if (!IsWord(w)) return false;
    ++pos_;
    return true;
  }
  [[noreturn]] void Fail(const std::string& what) const {
    const Token& t = Peek();
    const std::string near = t.kind == TokenKind::End ? "end of file" : "'" + t.text + "'";
    throw SourceError({file_, t.line}, what + " (at " + near + ")");
  }
  void Expect(const char* p) {
    if (!Accept(p)) Fail(std::string("expected '") + p + "'");
  }
  std::string ExpectName() {
    if (Peek().kind != TokenKind::Name || kReserved.count(Peek().text)) Fail("expected a name");
    return tokens_[pos_++].text;
  }
  NodePtr Make(NodeKind kind) {
    auto node = std::make_unique<Node>();
    node->kind = kind;
    node->place = {file_, Peek().line};
    return node;
  }

  // Counts one level of nesting for as long as it lives.
  class Nest {
   public:
    explicit Nest(Parser& parser) : parser_(parser) {
      if (++parser_.depth_ > kMaxNesting) parser_.Fail("nested more than " + std::to_string(kMaxNesting) + " deep");
    }
    ~Nest() { --parser_.depth_; }
    Nest(const Nest&) = delete;
    Nest& operator=(const Nest&) = delete;

   private:
    Parser& parser_;
  };

  NodePtr Statement(bool topLevel) {
    Nest nest(*this);
    if (IsPunct("{")) return Block();
    if (IsWord("function") && Peek(1).kind == TokenKind::Name) {
      if (!topLevel) Fail("named functions are declared at the top level only");
      auto node = Make(NodeKind::FunctionDecl);
      ++pos_;
      node->text = ExpectName();
      FunctionRest(*node);
      return node;
    }
    if (IsWord("var")) {
      auto node = Make(NodeKind::VarDecl);
      ++pos_;
      node->text = ExpectName();
      node->kids.push_back(Accept("=") ? Expression() : nullptr);
      Expect(";");
      return node;
    }
    if (AcceptWord("if")) {
      auto node = Make(NodeKind::If);
      Expect("(");
      node->kids.push_back(Expression());
      Expect(")");
      node->kids.push_back(Statement(false));
      node->kids.push_back(AcceptWord("else") ? Statement(false) : nullptr);
      return node;
    }
    if (AcceptWord("while")) {
      auto node = Make(NodeKind::While);
      Expect("(");
      node->kids.push_back(Expression());
      Expect(")");
      node->kids.push_back(Statement(false));
      return node;
    }
    if (AcceptWord("for")) {
      auto node = Make(NodeKind::For);
      Expect("(");
      if (IsWord("var")) {
        node->kids.push_back(Statement(false));  // takes its own ';'
      } else {
        node->kids.push_back(IsPunct(";") ? nullptr : ExpressionStatementBody());
        Expect(";");
      }
      node->kids.push_back(IsPunct(";") ? nullptr : Expression());
      Expect(";");
      node->kids.push_back(IsPunct(")") ? nullptr : ExpressionStatementBody());
      Expect(")");
      node->kids.push_back(Statement(false));
      return node;
    }
    if (AcceptWord("return")) {
      auto node = Make(NodeKind::Return);
      node->kids.push_back(IsPunct(";") ? nullptr : Expression());
      Expect(";");
      return node;
    }
    if (AcceptWord("break")) {
      Expect(";");
      return Make(NodeKind::Break);
    }
    if (AcceptWord("continue")) {
      Expect(";");
      return Make(NodeKind::Continue);
    }
    auto node = ExpressionStatementBody();
    Expect(";");
    return node;
  }

  NodePtr Block() {
    auto node = Make(NodeKind::Block);
    Expect("{");
    while (!Accept("}")) {
      if (Peek().kind == TokenKind::End) Fail("block not closed");
      node->kids.push_back(Statement(false));
    }
    return node;
  }

  // An expression used for its effect: an assignment, ++/-- or a call.
  NodePtr ExpressionStatementBody() {
    auto statement = Make(NodeKind::ExprStatement);
    auto target = Unary();
    NodePtr effect;
    if (IsPunct("=") || IsPunct("+=") || IsPunct("-=") || IsPunct("*=") || IsPunct("/=")) {
      auto node = Make(NodeKind::Assign);
      node->text = tokens_[pos_++].text;
      CheckTarget(*target);
      node->kids.push_back(std::move(target));
      node->kids.push_back(Expression());
      effect = std::move(node);
    } else if (IsPunct("++") || IsPunct("--")) {
      auto node = Make(NodeKind::Update);
      node->text = tokens_[pos_++].text;
      CheckTarget(*target);
      node->kids.push_back(std::move(target));
      effect = std::move(node);
    } else if (target->kind == NodeKind::Call) {
      effect = std::move(target);
    } else {
      Fail("a statement must assign, count up or down, or call");
    }
    statement->kids.push_back(std::move(effect));
    return statement;
  }

  void CheckTarget(const Node& target) const {
    if (target.kind != NodeKind::Name && target.kind != NodeKind::Member && target.kind != NodeKind::Index)
      throw SourceError(target.place, "cannot assign to this");
  }

  void FunctionRest(Node& node) {
    Expect("(");
    if (!Accept(")")) {
      do node.names.push_back(ExpectName());
      while (Accept(","));
      Expect(")");
    }
    node.kids.push_back(Block());
  }

  NodePtr Expression() {
    Nest nest(*this);
    return Conditional();
  }

  NodePtr Conditional() {
    auto condition = Binary(0);
    if (!IsPunct("?")) return condition;
    auto node = Make(NodeKind::Conditional);
    ++pos_;
    node->kids.push_back(std::move(condition));
    node->kids.push_back(Expression());
    Expect(":");
    node->kids.push_back(Expression());
    return node;
  }

  // Binary operators by precedence level, loosest first.
  NodePtr Binary(int level) {
    static const std::vector<std::vector<std::string>> kLevels = {
        {"||"},
        {"&&"},
        {"|"},
        {"^"},
        {"&"},
        {"==", "!=", "===", "!=="},
        {"<", ">", "<=", ">=", "instanceof"},
        {"<<", ">>"},
        {"+", "-"},
        {"*", "/", "%"},
    };
    if (level == static_cast<int>(kLevels.size())) return Unary();
    auto left = Binary(level + 1);
    for (;;) {
      const Token& t = Peek();
      bool matched = false;
      for (const auto& op : kLevels[level]) {
        if ((t.kind == TokenKind::Punct || (t.kind == TokenKind::Name && op == "instanceof")) && t.text == op) {
          matched = true;
        }
      }
      if (!matched) return left;
      auto node = Make(level <= 1 ? NodeKind::Logical : NodeKind::Binary);
      node->text = tokens_[pos_++].text;
      node->kids.push_back(std::move(left));
      node->kids.push_back(Binary(level + 1));
      left = std::move(node);
    }
  }

  NodePtr Unary() {
    Nest nest(*this);
    if (IsPunct("!") || IsPunct("-") || IsPunct("~") || IsWord("typeof")) {
      auto node = Make(NodeKind::Unary);
      node->text = tokens_[pos_++].text;
      node->kids.push_back(Unary());
      return node;
    }
    return Postfix(Primary());
  }

  NodePtr Postfix(NodePtr node) {
    for (;;) {
      if (Accept(".")) {
        auto member = Make(NodeKind::Member);
        member->text = Peek().kind == TokenKind::Name ? tokens_[pos_++].text : (Fail("expected a member name"), "");
        member->kids.push_back(std::move(node));
        node = std::move(member);
      } else if (Accept("[")) {
        auto index = Make(NodeKind::Index);
        index->kids.push_back(std::move(node));
        index->kids.push_back(Expression());
        Expect("]");
        node = std::move(index);
      } else if (IsPunct("(")) {
        auto call = Make(NodeKind::Call);
        call->kids.push_back(std::move(node));
        Arguments(*call);
        node = std::move(call);
      } else {
        return node;
      }
    }
  }

  void Arguments(Node& call) {
    Expect("(");
    if (Accept(")")) return;
    do call.kids.push_back(Expression());
    while (Accept(","));
    Expect(")");
  }

  NodePtr Primary() {
    const Token& t = Peek();
    if (t.kind == TokenKind::Number) {
      auto node = Make(NodeKind::Number);
      node->number = tokens_[pos_++].number;
      return node;
    }
    if (t.kind == TokenKind::String) {
      auto node = Make(NodeKind::String);
      node->text = tokens_[pos_++].text;
      return node;
    }
    if (Accept("(")) {
      auto inner = Expression();
      Expect(")");
      return inner;
    }
    if (Accept("[")) {
      auto node = Make(NodeKind::ArrayLiteral);
      if (!Accept("]")) {
        do node->kids.push_back(Expression());
        while (Accept(","));
        Expect("]");
      }
      return node;
    }
    if (Accept("{")) {
      auto node = Make(NodeKind::ObjectLiteral);
      if (!Accept("}")) {
        do {
          if (Peek().kind == TokenKind::Name || Peek().kind == TokenKind::String) {
            node->names.push_back(tokens_[pos_++].text);
          } else {
            Fail("expected a property name");
          }
          Expect(":");
          node->kids.push_back(Expression());
        } while (Accept(","));
        Expect("}");
      }
      return node;
    }
    if (t.kind != TokenKind::Name) Fail("expected an expression");
    static const std::pair<const char*, NodeKind> kWords[] = {
        {"true", NodeKind::True},           {"false", NodeKind::False}, {"null", NodeKind::Null},
        {"undefined", NodeKind::Undefined}, {"this", NodeKind::This},
    };
    for (const auto& [word, kind] : kWords) {
      if (AcceptWord(word)) return Make(kind);
    }
    if (AcceptWord("function")) {
      auto node = Make(NodeKind::Function);
      FunctionRest(*node);
      return node;
    }
    if (AcceptWord("new")) {
      auto node = Make(NodeKind::New);
      NodePtr callee = Make(NodeKind::Name);
      callee->text = ExpectName();
      while (Accept(".")) {
        auto member = Make(NodeKind::Member);
        member->text = ExpectName();
        member->kids.push_back(std::move(callee));
        callee = std::move(member);
      }
      node->kids.push_back(std::move(callee));
      if (IsPunct("(")) Arguments(*node);
      return node;
    }
    auto node = Make(NodeKind::Name);
    node->text = ExpectName();
    return node;
  }

  std::vector<Token> tokens_;
  std::string file_;
  std::size_t pos_ = 0;
  int depth_ = 0;
};

}  // namespace

NodePtr ParseScript(const std::string& text, const std::string& fileName) {
  return Parser(ReadTokens(text, fileName), fileName).Program();
}

}  // namespace qm::swf
