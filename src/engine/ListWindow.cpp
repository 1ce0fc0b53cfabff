#include "engine/ListWindow.h"

namespace quenterra {

namespace {

bool IsPositionKey(TCollocSortKey key) {
  return key == TCollocSortKey::kPosition || key == TCollocSortKey::kRevPos;
}

std::vector<TSortCommand> MakeSortCommands() {
  std::vector<TSortCommand> commands;
  for (int first = 1; first <= 6; ++first) {
    for (int second = 0; second <= 6; ++second) {
      const auto key1 = static_cast<TCollocSortKey>(first);
      const auto key2 = static_cast<TCollocSortKey>(second);
      if (second == first || (IsPositionKey(key1) && IsPositionKey(key2))) continue;
      commands.emplace_back(key1, key2);
    }
  }
  return commands;
}

}  // namespace

const std::vector<TSortCommand>& SortCommands() {
  static const std::vector<TSortCommand> commands = MakeSortCommands();
  return commands;
}

bool SortKeyAvailable(TCollocSortKey key, const TListWindowFacts& facts) {
  switch (key) {
    case TCollocSortKey::kPosition:
    case TCollocSortKey::kRevPos:
      return !facts.isNGramList;
    case TCollocSortKey::kPOSTag:
      return facts.tagged;
    case TCollocSortKey::kScore:
      return facts.view.scoreMethod != TScoreMethod::kNone;
    default:
      return true;
  }
}

bool SortCommandAvailable(const TSortCommand& command, const TListWindowFacts& facts) {
  return command.first != TCollocSortKey::kNone && SortKeyAvailable(command.first, facts) &&
         SortKeyAvailable(command.second, facts);
}

bool ScoreMethodOffered(TScoreMethod method, int wordCount) {
  if (method == TScoreMethod::kMutualInfo) return true;
  return (method == TScoreMethod::kTScore || method == TScoreMethod::kLogLikelihood) &&
         wordCount == 2;
}

bool ToggleScoreMethod(TCollocationList& list, TListView& view, TScoreMethod method,
                       int64_t corpusWords) {
  const TScoreMethod old = view.scoreMethod;
  TScoreMethod shown = method == old ? TScoreMethod::kNone : method;
  if (shown != TScoreMethod::kNone && shown != list.ScoreMethod()) {
    list.ComputeScores(shown, corpusWords);
    shown = list.ScoreMethod();
  }
  view.scoreMethod = shown;
  return shown != old;
}

std::string PrintTitle(const TListView& view) {
  if (view.scoreMethod != TScoreMethod::kNone)
    return std::string("Score method: ") + ScoreLongName(view.scoreMethod);
  if (view.showFrequency) return "Score method: Frequency";
  return "Collocations";
}

}  // namespace quenterra
