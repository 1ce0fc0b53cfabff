// The first stage of the regular-expression engine: the parser, which turns a pattern into a
// syntax tree (RegExpProg.h) under the program's one dialect, the GNU syntax bits
// RE_SYNTAX_POSIX_EXTENDED | RE_NO_POSIX_BACKTRACKING:
//
// - ( ) | { } + ? * are operators without a backslash; a backslash makes any of them ordinary.
//   An unmatched ')' is ordinary; an interval that is not well formed ('a{', 'a{2,1}', 'a{x}',
//   a bound above 32767) is ordinary text from its '{' on.
// - Anchors and repetition operators mean the same everywhere. A repetition with nothing before
//   it to repeat (at the start of the pattern, a group or an alternative) is ignored. A run of
//   repetition characters collapses into one ('a+?' is 'a*'); a later interval applies to what
//   is already repeated ('a*{2}'). Anchors and the other zero-width escapes do not end the item
//   that a following repetition applies to ('a^*' repeats 'a^').
// - Bracket expressions with ranges over character values (an empty range is an error) and the
//   twelve named classes, tested against the character-type table. A backslash in a bracket is
//   an ordinary character.
// - Escapes: \1..\9 back references (a reference to a group that is still open is the digit
//   itself), \w \W \s \S \d \D (the word table, untranslated characters), \b \B \< \> \` \',
//   and a backslash before any other character makes it ordinary.
// - Every ordinary character and every member of a bracket expression is stored as translated
//   through the folding map; the syntax itself is read from the untranslated pattern.
// - In UTF-8 the pattern's characters are code points. What a bracket expression cannot list
//   (ranges wider than kReMaxListedRange, named classes, the complement) and the \w-like escapes
//   are kept in the set as tests (TReSet); with letter case ignored, [:upper:] and [:lower:]
//   both take every cased letter, as their folded members do in a code page.
#pragma once

#include <string_view>

#include "regexp/RegExpProg.h"

namespace quenterra {

// Parses pattern (all its bytes, decoded as the tables say) against tables. Throws ERegExp with
// the engine's message when the pattern is not valid.
TReSyntaxTree ParseRegExp(std::string_view pattern, const TReTables& tables);

}  // namespace quenterra
