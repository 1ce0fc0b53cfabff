// The settings that the extraction runs (extraction, n-grams, full extract) read once at their
// start, as the front end passes them in: its current configuration object, stop list and
// language tables.
#pragma once

#include "corpus/LangTables.h"
#include "engine/StopList.h"
#include "settings/Settings.h"

namespace quenterra {

// Not owned: each must outlive the call it is passed to.
struct TRunSettings {
  const ZuzadovUdirev& config;
  const TStopList& stopList;
  const TLangTables& tables;
};

}  // namespace quenterra
