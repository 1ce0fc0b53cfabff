// Readable forms of the engine's syntax trees and programs, for tests and debugging.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "regexp/RegExpProg.h"

namespace quenterra {

namespace {

const char* NodeName(const TReNode& node) {
  switch (node.kind) {
    case TReNodeKind::kEmpty:
      return "empty";
    case TReNodeKind::kLiteral:
      return "lit";
    case TReNodeKind::kAnyChar:
      return "any";
    case TReNodeKind::kSet:
      return "set";
    case TReNodeKind::kRawSet:
      return "rawset";
    case TReNodeKind::kAssertion:
      return ReOpName(static_cast<TReOp>(node.value));
    case TReNodeKind::kBackRef:
      return "ref";
    case TReNodeKind::kConcat:
      return "cat";
    case TReNodeKind::kAlternate:
      return "alt";
    case TReNodeKind::kGroup:
      return "grp";
    case TReNodeKind::kRepeat:
      return "rep";
  }
  RaiseInternalRegExpError();
}

// The node's name and its own arguments, without its children.
std::string NodeHead(const TReSyntaxTree& tree, const TReNode& node) {
  std::string head = NodeName(node);
  switch (node.kind) {
    case TReNodeKind::kLiteral:
      return head + "(" + DescribeChar(static_cast<TChar>(node.value)) + ")";
    case TReNodeKind::kSet:
    case TReNodeKind::kRawSet:
      return head + DescribeSet(tree.sets[static_cast<size_t>(node.value)]);
    case TReNodeKind::kBackRef:
    case TReNodeKind::kGroup:
      return head + std::to_string(node.value);
    case TReNodeKind::kRepeat:
      return head + "{" + std::to_string(node.min) + "," +
             (node.max == kReInfinite ? std::string("inf") : std::to_string(node.max)) + "}";
    default:
      return head;
  }
}

}  // namespace

std::string DescribeChar(TChar c) {
  static const char kHex[] = "0123456789abcdef";
  if (c > ' ' && c < 0x7F && c != '\\') return std::string(1, static_cast<char>(c));
  if (c < 256) return std::string("\\x") + kHex[c >> 4] + kHex[c & 15];
  char text[16];
  std::snprintf(text, sizeof text, "\\u{%X}", static_cast<unsigned>(c));
  return text;
}

namespace {

// The characters below 256 that `in` says are members, as ranges; the complement when most are.
std::string DescribeLow(const std::function<bool(TChar)>& in) {
  int members = 0;
  for (TChar b = 0; b < 256; ++b) members += in(b);
  bool negate = members > 128;
  std::string out = negate ? "[^" : "[";
  for (TChar b = 0; b < 256;) {
    if (in(b) == negate) {
      ++b;
      continue;
    }
    TChar last = b;
    while (last < 255 && in(last + 1) != negate) ++last;
    out += DescribeChar(b);
    if (last > b) out += (last > b + 1 ? "-" : "") + DescribeChar(last);
    b = last + 1;
  }
  return out + "]";
}

// What a UTF-8 set keeps beyond its listed characters, e.g. "{wide \u{4E00}-\u{9FFF} classes 2}".
std::string DescribeTests(const TReSet& set) {
  std::string out;
  for (TChar c : set.chars.Wide()) out += " " + DescribeChar(c);
  for (const auto& [first, last] : set.ranges)
    out += " " + DescribeChar(first) + "-" + DescribeChar(last);
  if (set.classes != 0) out += " classes " + std::to_string(set.classes);
  if (set.wordBits != 0) out += " word " + std::to_string(set.wordBits);
  if (set.negated) out += " negated";
  return out.empty() ? out : "{" + out.substr(1) + "}";
}

}  // namespace

std::string DescribeSet(const TReSet& set) {
  return DescribeLow([&](TChar b) { return set.chars.Contains(b); }) + DescribeTests(set);
}

std::string DescribeFirstChars(const TReFirstChars& first) {
  return DescribeLow([&](TChar b) { return first.low[b]; }) + (first.high ? "{wide}" : "");
}

// Written with a work list of pending text and nodes, so that deep nesting needs no recursion.
std::string TReSyntaxTree::Dump() const {
  struct TWork {
    int32_t node;  // -1: append text
    const char* text;
  };
  std::string out;
  std::vector<TWork> work{{root, nullptr}};
  while (!work.empty()) {
    TWork item = work.back();
    work.pop_back();
    if (item.node < 0) {
      out += item.text;
      continue;
    }
    const TReNode& node = nodes[static_cast<size_t>(item.node)];
    out += NodeHead(*this, node);
    if (node.childCount == 0) continue;
    out += "(";
    work.push_back({-1, ")"});
    const int32_t* kids = Children(node);
    for (int32_t i = node.childCount - 1; i >= 0; --i) {
      work.push_back({kids[i], nullptr});
      if (i > 0) work.push_back({-1, ","});
    }
  }
  return out;
}

const char* ReOpName(TReOp op) {
  switch (op) {
    case TReOp::kMatch:
      return "match";
    case TReOp::kChar:
      return "char";
    case TReOp::kAnyChar:
      return "any";
    case TReOp::kSet:
      return "set";
    case TReOp::kRawSet:
      return "rawset";
    case TReOp::kRepeat:
      return "repeat";
    case TReOp::kSplit:
      return "split";
    case TReOp::kLoop:
      return "loop";
    case TReOp::kJump:
      return "jump";
    case TReOp::kSave:
      return "save";
    case TReOp::kBackRef:
      return "backref";
    case TReOp::kMark:
      return "mark";
    case TReOp::kProgress:
      return "progress";
    case TReOp::kBol:
      return "bol";
    case TReOp::kEol:
      return "eol";
    case TReOp::kTextStart:
      return "textstart";
    case TReOp::kTextEnd:
      return "textend";
    case TReOp::kWordBoundary:
      return "wordbound";
    case TReOp::kNotWordBoundary:
      return "notwordbound";
    case TReOp::kWordStart:
      return "wordstart";
    case TReOp::kWordEnd:
      return "wordend";
  }
  RaiseInternalRegExpError();
}

namespace {

// The argument of a one-byte test as Dump shows it.
std::string TestArgument(const TReProg& prog, TReOp test, int32_t arg) {
  switch (test) {
    case TReOp::kChar:
      return " " + DescribeChar(static_cast<TChar>(arg));
    case TReOp::kSet:
    case TReOp::kRawSet:
      return " " + DescribeSet(prog.sets[static_cast<size_t>(arg)]);
    default:
      return "";
  }
}

}  // namespace

std::string TReProg::Dump() const {
  std::string out;
  for (size_t pc = 0; pc < inst.size(); ++pc) {
    const TReInst& in = inst[pc];
    out += std::to_string(pc) + ": " + ReOpName(in.op);
    switch (in.op) {
      case TReOp::kChar:
      case TReOp::kSet:
      case TReOp::kRawSet:
        out += TestArgument(*this, in.op, in.arg);
        break;
      case TReOp::kRepeat:
        out += " " + std::string(ReOpName(in.test)) + TestArgument(*this, in.test, in.arg) + " {" +
               std::to_string(in.min) + "," +
               (in.max == kReInfinite ? std::string("inf") : std::to_string(in.max)) + "}";
        if (in.follow >= 0)
          out += " then " + DescribeFirstChars(follows[static_cast<size_t>(in.follow)]);
        break;
      case TReOp::kSplit:
      case TReOp::kLoop:
      case TReOp::kJump:
      case TReOp::kSave:
      case TReOp::kBackRef:
      case TReOp::kMark:
      case TReOp::kProgress:
        out += " " + std::to_string(in.arg);
        break;
      default:
        break;
    }
    out += "\n";
  }
  return out;
}

}  // namespace quenterra
