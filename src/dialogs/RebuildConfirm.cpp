#include "dialogs/RebuildConfirm.h"

#include "platform/Messages.h"

namespace quenterra {

bool ConfirmRebuild(int corpusFileCount) {
  return corpusFileCount <= 0 || MsgAsk(kRebuildQuestion);
}

}  // namespace quenterra
