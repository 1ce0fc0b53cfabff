// The third stage of the regular-expression engine: the backtracking matcher, which runs a
// compiled program (RegExpProg.h) over a text. Alternatives are tried in order and the first
// path that reaches kMatch is the match (no search for a longer one); repetitions are greedy and
// give back one iteration at a time.
//
// The text is characters (TRegExp decodes it), and positions count characters.
//
// Bounds: at most kReMaxFailurePoints failure points (and kReMaxBacktrackEntries entries in
// all) on the backtracking stack, and a budget of steps per search of kReStepBudget plus
// kReStepsPerByte for every character from the start position to the end. An attempt that would
// exceed either ends the whole search with kReFailure, which callers take as no match.
#pragma once

#include <cstdint>
#include <string_view>  // std::u32string_view

#include "regexp/RegExpProg.h"

namespace quenterra {

inline constexpr int32_t kReNoMatch = -1;
inline constexpr int32_t kReFailure = -2;  // a limit was reached

// re_match: the end of the first match of prog that begins at `start` in text, kReNoMatch or
// kReFailure. The text's own start and end are what \` \' ^ $ \b see.
int32_t MatchRegExpAt(const TReProg& prog, std::u32string_view text, int32_t start);

// re_search: the first position from `start` to the end of text at which a match begins (its
// end in matchEnd), kReNoMatch or kReFailure. A start outside 0..size is no match. Positions
// where the fastmap shows that no match can begin are skipped.
int32_t SearchRegExp(const TReProg& prog, std::u32string_view text, int32_t start,
                     int32_t& matchEnd);

}  // namespace quenterra
