#include "shell/CorpusWatcher.h"

#include <QCoreApplication>
#include <QPointer>

#include "shell/FullText.h"
#include "shell/GuiThread.h"
#include "shell/MainForm.h"

namespace quenterra {

void TCorpusWatcher::FileShown(int fileNumber) {
  RunOnGuiThread([this, fileNumber] { form_.ShowFile(fileNumber); });
}

void TCorpusWatcher::FileRemoving(int fileNumber) {
  RunOnGuiThread([this, fileNumber] { form_.CloseTextWindowOf(fileNumber); });
}

void TCorpusWatcher::Unloading() {
  RunOnGuiThread([this] { form_.CloseChildWindows(); });
}

void TCorpusWatcher::IndexRebuilding() {
  RunOnGuiThread([this] {
    form_.CloseListWindows();
    // A rebuild follows a change of the tag settings, which the text windows read by too.
    for (TFullTextForm* window : form_.TextWindows()) window->ConfigureTags();
  });
}

void TCorpusWatcher::Idle() {
  if (OnGuiThread()) QCoreApplication::processEvents();
}

void TCorpusWatcher::CorpusInfoChanged(const std::string& text) {
  if (OnGuiThread()) {
    form_.SetCorpusInfo(text);
    return;
  }
  PostToGuiThread([form = QPointer<TMainForm>(&form_), text] {
    if (!form.isNull()) form->SetCorpusInfo(text);
  });
}

}  // namespace quenterra
