// Everything the settings file holds, as one value, with the language tables built from it: what
// a front end keeps as its current settings and hands down (the configuration object to the
// corpus and the runs, the histories to the extract dialog, the tables wherever text is split,
// folded or shown). A workspace carries the same sections.
#pragma once

#include <cstdint>

#include "corpus/LangTables.h"
#include "engine/RunSettings.h"
#include "engine/StopList.h"
#include "settings/ExtractHistory.h"
#include "settings/Settings.h"

namespace quenterra {

struct TProgramSettings {
  ZuzadovUdirev config;
  TFullExtractOptions fullExtract;
  TGlobalSettings global;  // with the language
  TExtractHistory history;
  TStopList stopList;
  TLangTables tables;  // of global.Language and config, as RebuildTables last made them

  // The defaults, in the user's default language (from the locale variables) and UTF-8, with
  // their tables.
  static TProgramSettings Defaults();

  // Builds the tables again from the language, the encoding and the configuration object: after
  // any of them changed, before the next split, search or display.
  void RebuildTables() { tables = TLangTables(global.Language, global.Encoding, config); }

  // The settings an extraction run reads. The references live as long as this object.
  TRunSettings Run() const { return TRunSettings{config, stopList, tables}; }
};

}  // namespace quenterra
