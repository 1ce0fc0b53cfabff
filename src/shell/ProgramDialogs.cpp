#include "shell/ProgramDialogs.h"

#include "corpus/ui/LangConfig.h"
#include "engine/ui/CollocateOptionsForm.h"
#include "engine/ui/CommonDialogs.h"
#include "engine/ui/CountOptionsForm.h"
#include "engine/ui/FEOptForm.h"
#include "engine/ui/Fonts.h"
#include "engine/ui/StopView.h"
#include "patterns/ui/ConstrainOptionsForm.h"
#include "patterns/ui/ExtractDialog.h"
#include "patterns/ui/TagCfgForm.h"
#include "patterns/ui/WordTagsCfg.h"
#include "platform/Errors.h"
#include "platform/Messages.h"
#include "shell/MainForm.h"

namespace quenterra {

namespace {

// The platform's font dialog on a settings font.
bool ChooseFontRequest(QWidget* parent, TFontChoice& desc) {
  QFont font = FontFromChoice(desc);
  if (!CommonDialogs().chooseFont(parent, font)) return false;
  desc = ChoiceFromFont(font, desc);
  return true;
}

}  // namespace

TSessionDialogs ProgramDialogs(TMainForm& form) {
  TDesktopSession& session = form.Session();
  TProgramSettings& settings = session.Settings();
  auto files = [&session] { return session.Corpus().FileCount(); };
  auto stopList = [&settings, &form] { ViewStopList(settings, &form); };
  // The extract dialog's "&Options..." is the Constraints command, rebuild included; what that
  // raises is reported here, where the dialog waits.
  auto constraints = [&session] {
    try {
      session.ConstraintsCommand();
    } catch (const EQuenterra& error) {
      MsgError(error.what());
    }
  };

  TSessionDialogs dialogs;
  dialogs.extract = [&settings, &form, constraints](bool batch, TSearchKind kind) {
    return ExecuteExtractDialog(settings, batch, kind, constraints, &form);
  };
  dialogs.fullExtractOptions = [&settings, &form](bool ngramForm) {
    return RunFEOptions(ngramForm, settings.fullExtract, settings.config, &form);
  };
  dialogs.collocateOptions = [&settings, &form](TCollocateOptions& options) {
    return RunCollocateOptions(settings.config, options, &form);
  };
  dialogs.countOptions = [&settings, &form] { return RunCountOptions(settings.config, &form); };
  dialogs.constrainOptions = [&settings, &form, files, stopList] {
    return RunConstrainOptions(settings, files(), stopList, &form);
  };
  dialogs.normalTags = [&settings, &form, files] {
    return RunNormalTags(settings, files(), &form);
  };
  dialogs.wordTags = [&settings, &form, files] { return RunWordTags(settings, files(), &form); };
  dialogs.language = [&settings, &form] {
    return ChooseLanguage(settings.global, ChooseFontRequest, &form);
  };
  return dialogs;
}

}  // namespace quenterra
