#include "shell/Application.h"

#include <QMessageBox>
#include <new>

#include "platform/Errors.h"
#include "platform/Messages.h"
#include "platform/Progress.h"
#include "shell/About.h"
#include "shell/MessageForm.h"
#include "shell/ProgressForm.h"

namespace quenterra {

namespace {
constexpr size_t kMemoryReserveSize = 2048;
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Quenterra");
  setWindowIcon(CubeIcon());
  memoryReserve_.resize(kMemoryReserveSize);
  InstallMessageHandler(std::make_unique<TGuiMessages>());
  InstallGuiProgress();
}

TApplication::~TApplication() {
  InstallProgressFactory({});
  InstallMessageHandler(nullptr);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::bad_alloc&) {
    ReportMemory(kNotEnoughMemory);
  } catch (const EQuenterra& error) {
    MsgError(error.what());
  } catch (const std::exception&) {
    ReportMemory(kInternalError);
  }
  return false;
}

void TApplication::ReportMemory(const char* text) {
  const bool reserved = !memoryReserve_.empty();
  memoryReserve_.clear();
  memoryReserve_.shrink_to_fit();
  if (reserved) {
    QMessageBox box(QMessageBox::Critical, "Error", text);
    box.exec();
  }
  try {
    memoryReserve_.resize(kMemoryReserveSize);
  } catch (const std::bad_alloc&) {
    // Without a reserve the next errors are discarded.
  }
}

}  // namespace quenterra
