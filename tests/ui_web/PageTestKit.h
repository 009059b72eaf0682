#pragma once
// What the page tests share: a folder of pages made per test, a way to wait
// for a page window's document, to look into it and to click in it as a
// person would, and a command handler that records what pages asked for.
//
// Waiting is on signals and event loops, never on Qt Test's sleeping waits,
// which starve the browser.

#include <QDir>
#include <QPoint>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "project/Scripts.h"

class QWebEngineView;

namespace duduri {
class TfrmHTML;
}

namespace duduri::test {

// A fresh folder: "game/" is the pages' base directory, "outside/" lies next
// to it.
class TPageFolder {
 public:
  TPageFolder();
  QString Base() const { return dir_.path() + "/game"; }
  QString Outside() const { return dir_.path() + "/outside"; }
  // Writes `text` to `relative` under the base (folders made as needed).
  QString Write(const QString& relative, const QByteArray& text) const;
  QString WriteOutside(const QString& relative, const QByteArray& text) const;
  // A small PNG picture.
  QString WritePicture(const QString& path) const;

 private:
  QTemporaryDir dir_;
};

QWebEngineView* ViewOf(TfrmHTML& window);
// Waits until the window has set up `count` documents in all.
bool WaitCompleted(TfrmHTML& window, int count, int timeoutMs = 20000);
// Runs `script` in the browser's own world and returns its value.
QVariant Evaluate(TfrmHTML& window, const QString& script);
// The text of an element ("" when there is none).
QString TextOf(TfrmHTML& window, const QString& selector);
// A left click on the middle of the element, sent to the browser's widget as
// the mouse would send it.
bool ClickOn(TfrmHTML& window, const QString& selector);
// Runs the event loop until `done` holds or the time is up.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 20000);
// Runs the event loop for a while, for what must not happen.
void Settle(int ms);

struct TRecordedCommand {
  std::int32_t Code = 0;
  TScriptParameter Parameter;
};

// Installs itself as the process-wide command handler for its lifetime.
class TCommandRecorder {
 public:
  TCommandRecorder();
  ~TCommandRecorder();
  std::vector<TRecordedCommand> Commands;
};

std::int32_t IntegerOf(const TScriptParam& parameter);

}  // namespace duduri::test

#include "shell/ShellServices.h"

namespace duduri::test {

// Dialogs that answer at once: Yes or OK to every message (recorded), the
// result and table dialogs closed, the name dialog with `Name`.
class TQuietServices : public IShellServices {
 public:
  TModalResult MessageBox(const std::string& text, TMsgKind, TMsgButtons buttons) override {
    Messages.push_back(text);
    return buttons == TMsgButtons::mbYesNo ? TModalResult::mrYes : TModalResult::mrOk;
  }
  void ShowResult(const TResultDialogText& text) override { Results.push_back(text.LargeText); }
  TModalResult PlayAgain() override { return TModalResult::mrOk; }
  TModalResult NextPicture() override { return TModalResult::mrYes; }
  int ChoosePicture(const TJigsawProject2&) override { return 0; }
  void ShowHighScores(const THighScore&, int level, float) override { Tables.push_back(level); }
  std::string NameEntry() override {
    ++NameEntries;
    return Name;
  }
  void ShowAbout(const TAboutRequest&) override { ++Abouts; }
  TFileDialogResult OpenFile(const TFileDialogRequest&) override { return {}; }
  TFileDialogResult SaveFile(const TFileDialogRequest&) override { return {}; }
  void ShowSplash(const TBitmap32&) override {}
  void HideSplash() override {}
  void BeginProgress() override {}
  void Progress(int, int) override {}
  void EndProgress() override {}

  std::string Name = "Dialog";
  std::vector<std::string> Messages;
  std::vector<std::string> Results;
  std::vector<int> Tables;
  int NameEntries = 0;
  int Abouts = 0;
};

}  // namespace duduri::test
