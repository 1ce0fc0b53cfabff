// The second stage of the regular-expression engine: the compiler, which turns a syntax tree
// into a flat instruction array (RegExpProg.h) and computes its fastmap.
//
// Shapes of the code (C is the body's code, s its length):
//   a|b|c      split L2; a; jump E; L2: split L3; b; jump E; L3: c; E:
//   (x)        save start; x; save end        only for groups that a back reference names
//   x{m,n}     C m times, then n-m times: split E; C               (E: after the last copy)
//   x{m,}      C m times, then L: split E; C; jump L; E:
//              or, when x cannot match the empty string and m >= 1: C m-1 times, L: C; loop L
//   x*, x+, x? are x{0,}, x{1,}, x{0,1}
// A repetition of a one-character test (a literal, '.', a bracket expression or \w-like escape)
// becomes one kRepeat instruction. A loop whose body can match the empty string brackets the
// body with mark/progress, so that an iteration beyond the minimum that consumes nothing fails
// instead of looping for ever.
#pragma once

#include "regexp/RegExpProg.h"

namespace quenterra {

// Compiles tree (built against tables) into a program with its fastmap. Throws ERegExp
// "Regular expression too big" when the program would exceed kReMaxInstructions.
TReProg CompileRegExp(const TReSyntaxTree& tree, const TReTables& tables);

}  // namespace quenterra
