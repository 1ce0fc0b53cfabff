#include "shell/HelpWindow.h"

#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include "platform/Files.h"
#include "platform/Messages.h"

namespace quenterra {

QString HelpFilePath() { return QString::fromStdString(ProgramDirectory()) + kHelpFileName; }

void ShowHelp(QWidget* parent) {
  static QPointer<QTextBrowser> window;
  const QString path = HelpFilePath();
  if (!QFileInfo::exists(path)) {
    MsgError("Unable to open file: " + path.toStdString() + ".");
    return;
  }
  if (window.isNull()) {
    window = new QTextBrowser(parent);
    window->setObjectName("HelpWindow");
    window->setWindowFlag(Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle("Quenterra Help");
    window->setOpenExternalLinks(true);
    window->resize(760, 620);
  }
  window->setSource(QUrl::fromLocalFile(path), QTextDocument::HtmlResource);
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace quenterra
