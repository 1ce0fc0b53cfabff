// The question the option dialogs ask before a change of settings that alters how the corpus
// splits into tokens, which forces the whole text index to be rebuilt.
#pragma once

namespace quenterra {

inline constexpr char kRebuildQuestion[] =
    "The text index will be rebuild. Do you want to continue?";

// Yes at once when the corpus holds no file; otherwise asks kRebuildQuestion (Yes / No).
bool ConfirmRebuild(int corpusFileCount);

}  // namespace quenterra
