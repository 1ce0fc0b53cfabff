// TFullTextForm, the corpus text window: the text of one corpus file in a TStringsView, its lines
// counted in the background by a TFileStrings while the first ones already show, with the
// "Corpus &Text" menu that the main window merges into its own while the window is active (word
// wrap, the three display switches, the font, printing, Hide All). The window owns its reader and
// its line list; the file's stream belongs to the corpus, which closes the window before the
// stream goes.
#pragma once

#include <QTimer>
#include <QWidget>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "config/ProgramSettings.h"
#include "corpus/BStream.h"
#include "corpus/FileStrings.h"
#include "desktop/ItemLocation.h"
#include "desktop/TextWindowRules.h"

class QAction;
class QMenu;

namespace quenterra {

class TStringsView;
class TFullTextLines;

class TFullTextForm : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 432;
  static constexpr int kHeight = 284;

  // settings (CorpusFont, HiliteFont, the tables that decode the text) must outlive the window.
  explicit TFullTextForm(TProgramSettings& settings, QWidget* parent = nullptr);
  // Stops the count before anything it reports to goes.
  ~TFullTextForm() override;

  // Shows the file in the window: its caption, a reader and a line list over stream, which must
  // outlive the window. Throws EFileError when the line table cannot be made.
  void OpenFile(const std::string& fileName, TSynchroStream& stream);
  const std::string& FileName() const { return fileName_; }
  bool Opened() const { return lineList_ != nullptr; }
  bool CountingDone() const { return countingDone_; }
  // The lines counted so far.
  int64_t LineCount() const;
  TSynchroStream* Stream() const { return stream_; }

  // Shows the line that holds the first of these bytes at the top (once the count reaches it),
  // with the bytes drawn in HiliteFont.
  void ShowBytes(const std::vector<TByteSpan>& spans);

  QMenu* Menu() const { return menu_; }
  TStringsView* TextWindow() const { return view_; }
  const TSuppressSwitches& Switches() const { return switches_; }

  // The menu's commands.
  void ToggleWrap();
  void ToggleSuppress(TSuppress which);
  // The font dialog from CorpusFont; on OK the font becomes CorpusFont and this window's font.
  bool ChangeFont();
  // The tag settings changed: the display switches read the text with the new ones.
  void ConfigureTags();
  // Keeps the window open while its text prints.
  void SetPrinting(bool on) { printing_ = on; }

 signals:
  void PrintRequested();
  void HideAllRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenu();
  QAction* AddItem(QMenu* menu, const char* name, const char* caption, const char* hint);
  void NewLines();
  void CountingEnded();
  void RefreshWhileCounting();
  void TryJump();

  TProgramSettings& settings_;
  std::string fileName_;
  TSynchroStream* stream_ = nullptr;
  TStringsView* view_;
  QMenu* menu_ = nullptr;
  QAction* wrapItem_ = nullptr;
  QAction* suppressItems_[3] = {};
  TSuppressSwitches switches_;
  std::unique_ptr<TBufStream> reader_;
  std::unique_ptr<TFileStrings> lineList_;  // reads through reader_; destroyed first
  std::unique_ptr<TFullTextLines> lines_;
  int64_t linesSeen_ = -1;
  bool countingDone_ = false;
  bool printing_ = false;
  int64_t jumpTo_ = -1;  // the file offset to show once counted; -1 for none
  // Set by the counting thread: a refresh is queued, or the view is full and a timer refreshes.
  std::atomic<bool> refreshQueued_{false};
  std::atomic<bool> viewFull_{false};
  QTimer countTimer_;
};

}  // namespace quenterra
