// Association scores of a collocate: how much more often a word occurs in the window around a
// node than chance would have it. Every score comes from four frequencies and the window size:
//
//   O    the collocate's occurrences in the windows (its total over every distance)
//   f_n  the node's frequency (the number of its concordance lines)
//   f_c  the collocate's corpus frequency (with its tag, when collocates carry tags)
//   N    the corpus size: the occurrences of every token of the run's kind set
//   W    the window size: the positions left plus right of the node
//
// The windows hold W * f_n positions, so the count expected by chance is
//   E = W * f_n * f_c / N
// (Evert 2008, surface co-occurrence: the node's frequency scaled by the window). With W = 1 (a
// window of R1 alone) E is the expectation of the bigram, and MI, T-score and Log-likelihood are
// the collocation list's bigram scores.
//
//   MI        log2(O / E)                            Church & Hanks 1990
//   MI3       log2(O^3 / E)                          Daille 1994; Oakes 1998
//   T-score   (O - E) / sqrt(O)                      Church, Gale, Hanks & Hindle 1991
//   z-score   (O - E) / sqrt(E)                      Berry-Rogghe 1973; Evert 2008
//   LL        G2 = 2 * sum over the 2x2 table of O_ij * ln(O_ij / E_ij), with a term of
//             O_ij = 0 taken as 0                    Dunning 1993
//             table: O11 = O, O12 = W*f_n - O, O21 = f_c - O, O22 = N - W*f_n - f_c + O;
//             E_ij = row total * column total / N
//   Dice      2 * O / (f_n + f_c)                    Smadja, McKeown & Hatzivassiloglou 1996
//   logDice   14 + log2(2 * O / (f_n + f_c))         Rychly 2008
//
// A score that is undefined (O = 0, E = 0, a table cell below 0 when windows overlap in a tiny
// corpus) is NaN, shown "N/A".
//
// References: K. W. Church, P. Hanks (1990), Word association norms, mutual information, and
// lexicography, Computational Linguistics 16(1). K. W. Church, W. Gale, P. Hanks, D. Hindle
// (1991), Using statistics in lexical analysis, in U. Zernik (ed.), Lexical Acquisition. B.
// Daille (1994), Approche mixte pour l'extraction automatique de terminologie, PhD thesis, Paris
// 7. M. P. Oakes (1998), Statistics for Corpus Linguistics. G. Berry-Rogghe (1973), The
// computation of collocations and their relevance in lexical studies, in A. J. Aitken et al.
// (eds.), The Computer and Literary Studies. T. Dunning (1993), Accurate methods for the
// statistics of surprise and coincidence, Computational Linguistics 19(1). F. Smadja, K.
// McKeown, V. Hatzivassiloglou (1996), Translating collocations for bilingual lexicons,
// Computational Linguistics 22(1). P. Rychly (2008), A lexicographer-friendly association score,
// RASLAN 2008. S. Evert (2008), Corpora and collocations, in A. Ludeling, M. Kyto (eds.), Corpus
// Linguistics: An International Handbook, article 58.
#pragma once

#include <cstdint>
#include <string>

namespace quenterra {

enum class TCollocateScore : uint8_t {
  kMutualInfo,
  kMI3,
  kTScore,
  kZScore,
  kLogLikelihood,
  kDice,
  kLogDice
};
inline constexpr int kCollocateScoreCount = 7;

// Column titles ("MI", "MI3", "T-Score", "z-Score", "LL", "Dice", "logDice") and the names of the
// command line and of TSV and JSON ("mi", "mi3", "t", "z", "ll", "dice", "logdice").
const char* CollocateScoreTitle(TCollocateScore score);
const char* CollocateScoreName(TCollocateScore score);

// The four frequencies and the window size of one collocate.
struct TCollocateCounts {
  double observed = 0;       // O
  double nodeFrequency = 0;  // f_n
  double collocateFreq = 0;  // f_c
  double corpusWords = 0;    // N
  double windowSize = 1;     // W
};

// The score under a method (NaN when undefined, see above).
double CollocateScore(TCollocateScore score, const TCollocateCounts& counts);

}  // namespace quenterra
