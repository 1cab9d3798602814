#include "script_compiler.h"

#include "action_buffer.h"
#include "script_parser.h"

#include <map>
#include <set>

namespace qm::swf {
namespace {

constexpr int kThisRegister = 1;
constexpr int kMaxRegisters = 255;
// DefineFunction2 flags: preload `this` (into r1), suppress `arguments` and `super`.
constexpr unsigned kFunctionFlags = 0x0029;

// Names of the player's own that a script may use without declaring them.
const std::set<std::string> kPlayerGlobals = {
    "_root",  "_global",  "_level0",     "Math",          "String",     "Number",   "Boolean", "Array",
    "Object", "Date",     "TextFormat",  "TextField",     "MovieClip",  "Stage",    "System",  "Key",
    "Mouse",  "isFinite", "isNaN",       "parseInt",      "parseFloat", "Infinity", "NaN",     "flash",
    "escape", "unescape", "setInterval", "clearInterval", "getTimer",   "trace",    "_level1", "loadMovieNum"};

struct Loop {
  int continueLabel;
  int breakLabel;
};

struct FunctionScope {
  bool topLevel = false;
  std::map<std::string, int> registers;
  int nextRegister = 2;
  std::vector<Loop> loops;
};

class Compiler {
 public:
  std::vector<std::uint8_t> Program(const std::vector<const Node*>& programs) {
    for (const Node* program : programs) DeclareTopLevel(*program);
    ActionBuffer top(pool_);
    FunctionScope scope;
    scope.topLevel = true;
    scopes_.push_back(&scope);
    // Named functions are defined before any other statement runs, so that
    // code may call a function declared further down.
    for (const Node* program : programs) {
      for (const auto& statement : program->kids) {
        if (statement->kind == NodeKind::FunctionDecl) FunctionRecord(top, *statement, statement->text);
      }
    }
    for (const Node* program : programs) {
      for (const auto& statement : program->kids) {
        if (statement->kind != NodeKind::FunctionDecl) Statement(top, *statement);
      }
    }
    top.Op(op::kEnd);
    scopes_.pop_back();
    std::vector<std::uint8_t> out = pool_.Record();
    const std::vector<std::uint8_t> code = top.Finish();
    out.insert(out.end(), code.begin(), code.end());
    return out;
  }

 private:
  FunctionScope& Scope() { return *scopes_.back(); }

  // Top-level `var` names and named functions: the variables every function may read.
  void DeclareTopLevel(const Node& node) {
    if (node.kind == NodeKind::Function) return;
    if (node.kind == NodeKind::VarDecl || node.kind == NodeKind::FunctionDecl) topLevelNames_.insert(node.text);
    if (node.kind == NodeKind::FunctionDecl) return;
    for (const auto& kid : node.kids) {
      if (kid) DeclareTopLevel(*kid);
    }
  }

  // The register holding a local of the current function, or 0 for a
  // variable. A variable must be declared at the top level or be one of the
  // player's: a misspelt name is a fault here, not an undefined at run time.
  int RegisterOf(const Node& name) {
    auto found = Scope().registers.find(name.text);
    if (found != Scope().registers.end()) return found->second;
    for (std::size_t i = 0; i + 1 < scopes_.size(); ++i) {
      if (scopes_[i]->registers.count(name.text))
        throw SourceError(name.place, "'" + name.text + "' belongs to an enclosing function; functions do not capture");
    }
    if (!topLevelNames_.count(name.text) && !kPlayerGlobals.count(name.text))
      throw SourceError(name.place, "unknown name '" + name.text +
                                        "': neither a local, a top-level var or function, nor the player's");
    return 0;
  }

  void DeclareLocals(const Node& node, FunctionScope& scope) {
    if (node.kind == NodeKind::Function || node.kind == NodeKind::FunctionDecl) return;
    if (node.kind == NodeKind::VarDecl && !scope.registers.count(node.text)) {
      if (scope.nextRegister >= kMaxRegisters) throw SourceError(node.place, "more than 253 locals");
      scope.registers[node.text] = scope.nextRegister++;
    }
    for (const auto& kid : node.kids) {
      if (kid) DeclareLocals(*kid, scope);
    }
  }

  void FunctionRecord(ActionBuffer& out, const Node& function, const std::string& name) {
    FunctionScope scope;
    for (const auto& parameter : function.names) {
      if (scope.registers.count(parameter)) throw SourceError(function.place, "parameter '" + parameter + "' twice");
      scope.registers[parameter] = scope.nextRegister++;
    }
    DeclareLocals(*function.kids[0], scope);
    scopes_.push_back(&scope);
    ActionBuffer body(pool_);
    Statement(body, *function.kids[0]);
    scopes_.pop_back();
    const std::vector<std::uint8_t> code = body.Finish();
    if (code.size() > 0xFFFF) throw SourceError(function.place, "function body longer than 65535 bytes");

    std::vector<std::uint8_t> record;
    AppendString(record, name);
    AppendU16(record, static_cast<unsigned>(function.names.size()));
    record.push_back(static_cast<std::uint8_t>(scope.nextRegister));  // registers 0 .. highest used
    AppendU16(record, kFunctionFlags);
    for (const auto& parameter : function.names) {
      record.push_back(static_cast<std::uint8_t>(scope.registers[parameter]));
      AppendString(record, parameter);
    }
    AppendU16(record, static_cast<unsigned>(code.size()));
    out.OpWith(op::kDefineFunction2, record);
    out.Raw(code);
  }

  void Statement(ActionBuffer& out, const Node& node) {
    switch (node.kind) {
      case NodeKind::Block:
        for (const auto& kid : node.kids) Statement(out, *kid);
        return;
      case NodeKind::VarDecl:
        if (!node.kids[0]) return;
        if (Scope().topLevel) {
          out.PushString(node.text);
          Value(out, *node.kids[0]);
          out.Op(op::kSetVariable);
        } else {
          Value(out, *node.kids[0]);
          out.StoreRegister(Scope().registers.at(node.text));
          out.Op(op::kPop);
        }
        return;
      case NodeKind::ExprStatement: Effect(out, *node.kids[0]); return;
      case NodeKind::If: {
        const int otherwise = out.NewLabel(), end = out.NewLabel();
        Value(out, *node.kids[0]);
        out.Op(op::kNot);
        out.If(otherwise);
        Statement(out, *node.kids[1]);
        if (node.kids[2]) out.Jump(end);
        out.Bind(otherwise);
        if (node.kids[2]) Statement(out, *node.kids[2]);
        out.Bind(end);
        return;
      }
      case NodeKind::While:
      case NodeKind::For: {
        const bool isFor = node.kind == NodeKind::For;
        const Node* condition = isFor ? node.kids[1].get() : node.kids[0].get();
        const Node* body = isFor ? node.kids[3].get() : node.kids[1].get();
        if (isFor && node.kids[0]) Statement(out, *node.kids[0]);
        const int top = out.NewLabel(), next = out.NewLabel(), end = out.NewLabel();
        out.Bind(top);
        if (condition) {
          Value(out, *condition);
          out.Op(op::kNot);
          out.If(end);
        }
        Scope().loops.push_back({next, end});
        Statement(out, *body);
        Scope().loops.pop_back();
        out.Bind(next);
        if (isFor && node.kids[2]) Statement(out, *node.kids[2]);
        out.Jump(top);
        out.Bind(end);
        return;
      }
      case NodeKind::Return:
        if (Scope().topLevel) throw SourceError(node.place, "return outside a function");
        if (node.kids[0]) {
          Value(out, *node.kids[0]);
        } else {
          out.PushUndefined();
        }
        out.Op(op::kReturn);
        return;
      case NodeKind::Break:
      case NodeKind::Continue:
        if (Scope().loops.empty()) throw SourceError(node.place, "break or continue outside a loop");
        out.Jump(node.kind == NodeKind::Break ? Scope().loops.back().breakLabel : Scope().loops.back().continueLabel);
        return;
      case NodeKind::FunctionDecl: throw SourceError(node.place, "named functions are declared at the top level only");
      default: throw SourceError(node.place, "not a statement");
    }
  }

  // An assignment, ++/-- or a call whose result is dropped.
  void Effect(ActionBuffer& out, const Node& node) {
    if (node.kind == NodeKind::Call) {
      Value(out, node);
      out.Op(op::kPop);
      return;
    }
    const Node& target = *node.kids[0];
    const bool plain = node.kind == NodeKind::Assign && node.text == "=";
    auto newValue = [&] {
      if (plain) {
        Value(out, *node.kids[1]);
        return;
      }
      Value(out, target);
      if (node.kind == NodeKind::Update) {
        out.Op(node.text == "++" ? op::kIncrement : op::kDecrement);
        return;
      }
      Value(out, *node.kids[1]);
      static const std::map<std::string, std::uint8_t> kCompound = {
          {"+=", op::kAdd2}, {"-=", op::kSubtract}, {"*=", op::kMultiply}, {"/=", op::kDivide}};
      out.Op(kCompound.at(node.text));
    };
    if (target.kind == NodeKind::Name) {
      const int reg = RegisterOf(target);
      if (reg) {
        newValue();
        out.StoreRegister(reg);
        out.Op(op::kPop);
      } else {
        out.PushString(target.text);
        newValue();
        out.Op(op::kSetVariable);
      }
      return;
    }
    // Member or index: a compound update reads the object a second time, so
    // it must be an expression without effects of its own.
    if (!plain && !IsPure(*target.kids[0])) throw SourceError(node.place, "updating a member of a computed object");
    Value(out, *target.kids[0]);
    Key(out, target);
    newValue();
    out.Op(op::kSetMember);
  }

  static bool IsPure(const Node& node) {
    if (node.kind == NodeKind::Name || node.kind == NodeKind::This) return true;
    if (node.kind == NodeKind::Member) return IsPure(*node.kids[0]);
    if (node.kind == NodeKind::Index)
      return IsPure(*node.kids[0]) && (node.kids[1]->kind == NodeKind::Number ||
                                       node.kids[1]->kind == NodeKind::String || IsPure(*node.kids[1]));
    return false;
  }

  void Key(ActionBuffer& out, const Node& target) {
    if (target.kind == NodeKind::Member) {
      out.PushString(target.text);
    } else {
      Value(out, *target.kids[1]);
    }
  }

  void Arguments(ActionBuffer& out, const Node& call, std::size_t first) {
    for (std::size_t i = call.kids.size(); i-- > first;) Value(out, *call.kids[i]);
    out.PushNumber(static_cast<double>(call.kids.size() - first));
  }

  // Leaves exactly one value on the stack.
  void Value(ActionBuffer& out, const Node& node) {
    switch (node.kind) {
      case NodeKind::Number: out.PushNumber(node.number); return;
      case NodeKind::String: out.PushString(node.text); return;
      case NodeKind::True: out.PushBool(true); return;
      case NodeKind::False: out.PushBool(false); return;
      case NodeKind::Null: out.PushNull(); return;
      case NodeKind::Undefined: out.PushUndefined(); return;
      case NodeKind::This:
        if (Scope().topLevel) {
          out.PushString("this");
          out.Op(op::kGetVariable);
        } else {
          out.PushRegister(kThisRegister);
        }
        return;
      case NodeKind::Name: {
        const int reg = RegisterOf(node);
        if (reg) {
          out.PushRegister(reg);
        } else {
          out.PushString(node.text);
          out.Op(op::kGetVariable);
        }
        return;
      }
      case NodeKind::Member:
      case NodeKind::Index:
        Value(out, *node.kids[0]);
        Key(out, node);
        out.Op(op::kGetMember);
        return;
      case NodeKind::Call: {
        const Node& callee = *node.kids[0];
        if (callee.kind == NodeKind::Name && callee.text == "trace" && !RegisterOf(callee)) {
          // trace is an action of its own, not a function.
          if (node.kids.size() != 2) throw SourceError(node.place, "trace takes one argument");
          Value(out, *node.kids[1]);
          out.Op(op::kTrace);
          out.PushUndefined();
          return;
        }
        if (callee.kind == NodeKind::Name && callee.text == "loadMovieNum" && !RegisterOf(callee)) {
          // loadMovieNum(url, level) is GetURL2 to the target "_level" + level, not a function.
          if (node.kids.size() != 3) throw SourceError(node.place, "loadMovieNum takes a URL and a level");
          Value(out, *node.kids[1]);
          out.PushString("_level");
          Value(out, *node.kids[2]);
          out.Op(op::kAdd2);
          out.OpWith(op::kGetUrl2, {0x00});
          out.PushUndefined();
          return;
        }
        Arguments(out, node, 1);
        if (callee.kind == NodeKind::Member || callee.kind == NodeKind::Index) {
          Value(out, *callee.kids[0]);
          Key(out, callee);
          out.Op(op::kCallMethod);
        } else if (callee.kind == NodeKind::Name && !RegisterOf(callee)) {
          out.PushString(callee.text);
          out.Op(op::kCallFunction);
        } else {
          // A function value: CallMethod with an undefined name calls the object itself.
          Value(out, callee);
          out.PushUndefined();
          out.Op(op::kCallMethod);
        }
        return;
      }
      case NodeKind::New: {
        Arguments(out, node, 1);
        const Node& callee = *node.kids[0];
        if (callee.kind == NodeKind::Member) {
          Value(out, *callee.kids[0]);
          out.PushString(callee.text);
          out.Op(op::kNewMethod);
        } else {
          RegisterOf(callee);  // only for its check: constructors are variables
          out.PushString(callee.text);
          out.Op(op::kNewObject);
        }
        return;
      }
      case NodeKind::ArrayLiteral:
        for (std::size_t i = node.kids.size(); i-- > 0;) Value(out, *node.kids[i]);
        out.PushNumber(static_cast<double>(node.kids.size()));
        out.Op(op::kInitArray);
        return;
      case NodeKind::ObjectLiteral:
        for (std::size_t i = node.kids.size(); i-- > 0;) {
          out.PushString(node.names[i]);
          Value(out, *node.kids[i]);
        }
        out.PushNumber(static_cast<double>(node.kids.size()));
        out.Op(op::kInitObject);
        return;
      case NodeKind::Function: FunctionRecord(out, node, ""); return;
      case NodeKind::Unary:
        if (node.text == "-" && node.kids[0]->kind == NodeKind::Number) {
          out.PushNumber(-node.kids[0]->number);
        } else if (node.text == "-") {
          out.PushNumber(0);
          Value(out, *node.kids[0]);
          out.Op(op::kSubtract);
        } else if (node.text == "~") {
          Value(out, *node.kids[0]);
          out.PushNumber(-1);
          out.Op(op::kBitXor);
        } else {
          Value(out, *node.kids[0]);
          out.Op(node.text == "!" ? op::kNot : op::kTypeOf);
        }
        return;
      case NodeKind::Binary: {
        Value(out, *node.kids[0]);
        Value(out, *node.kids[1]);
        static const std::map<std::string, std::vector<std::uint8_t>> kOps = {
            {"+", {op::kAdd2}},
            {"-", {op::kSubtract}},
            {"*", {op::kMultiply}},
            {"/", {op::kDivide}},
            {"%", {op::kModulo}},
            {"==", {op::kEquals2}},
            {"!=", {op::kEquals2, op::kNot}},
            {"===", {op::kStrictEquals}},
            {"!==", {op::kStrictEquals, op::kNot}},
            {"<", {op::kLess2}},
            {">", {op::kGreater}},
            {"<=", {op::kGreater, op::kNot}},
            {">=", {op::kLess2, op::kNot}},
            {"&", {op::kBitAnd}},
            {"|", {op::kBitOr}},
            {"^", {op::kBitXor}},
            {"<<", {op::kBitLShift}},
            {">>", {op::kBitRShift}},
            {"instanceof", {op::kInstanceOf}},
        };
        for (std::uint8_t code : kOps.at(node.text)) out.Op(code);
        return;
      }
      case NodeKind::Logical: {
        // a && b: a when a is false, else b.   a || b: a when a is true, else b.
        const int end = out.NewLabel();
        Value(out, *node.kids[0]);
        out.Op(op::kPushDuplicate);
        if (node.text == "&&") out.Op(op::kNot);
        out.If(end);
        out.Op(op::kPop);
        Value(out, *node.kids[1]);
        out.Bind(end);
        return;
      }
      case NodeKind::Conditional: {
        const int yes = out.NewLabel(), end = out.NewLabel();
        Value(out, *node.kids[0]);
        out.If(yes);
        Value(out, *node.kids[2]);
        out.Jump(end);
        out.Bind(yes);
        Value(out, *node.kids[1]);
        out.Bind(end);
        return;
      }
      case NodeKind::Assign:
      case NodeKind::Update: throw SourceError(node.place, "assignments and ++/-- are statements here, not values");
      default: throw SourceError(node.place, "not an expression");
    }
  }

  ConstantPool pool_;
  std::vector<FunctionScope*> scopes_;
  std::set<std::string> topLevelNames_;
};

}  // namespace

std::vector<std::uint8_t> CompileScript(const std::vector<const Node*>& programs) {
  return Compiler().Program(programs);
}

}  // namespace qm::swf
