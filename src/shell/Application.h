// The program's application object: installs the message box, the input dialog and the progress
// window as the core's seams, and is the error handler of the event loop (the memory handler):
// running out of memory and internal errors show a system message box; the program's own errors
// show their message.
#pragma once

#include <QApplication>
#include <vector>

namespace quenterra {

inline constexpr char kNotEnoughMemory[] =
    "Not enough memory to complete the requested operation. Please quit some applications and try "
    "again.";
inline constexpr char kInternalError[] =
    "Internal error has occurred. Please save your work and restart the program.";

class TApplication : public QApplication {
  Q_OBJECT

 public:
  TApplication(int& argc, char** argv);
  ~TApplication() override;

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  void ReportMemory(const char* text);
  std::vector<char> memoryReserve_;  // released when memory runs out, so the box can show
};

}  // namespace quenterra
