#pragma once
// IShellServices over real Qt dialogs: message boxes, the player's dialogs,
// file dialogs, the splash and the progress window. Modal dialogs are made,
// run and freed in each call; they are centred on the screen.

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "shell/ShellServices.h"

namespace duduri {

class TfrmAbout;
class TfrmProgressInfo;

class TQtShellServices : public IShellServices {
 public:
  TQtShellServices();
  ~TQtShellServices() override;

  TModalResult MessageBox(const std::string& text, TMsgKind kind, TMsgButtons buttons) override;
  void ShowResult(const TResultDialogText& text) override;
  TModalResult PlayAgain() override;
  TModalResult NextPicture() override;
  int ChoosePicture(const TJigsawProject2& project) override;
  void ShowHighScores(const THighScore& scores, int level, float scale) override;
  std::string NameEntry() override;
  void ShowAbout(const TAboutRequest& request) override;
  TFileDialogResult OpenFile(const TFileDialogRequest& request) override;
  TFileDialogResult SaveFile(const TFileDialogRequest& request) override;
  std::optional<int> SelectSkin(const TJigsawProject2& project, int currentSkinId) override;
  std::optional<TPieceRange> ChangeDifficulty(TPieceRange current) override;
  void ShowSplash(const TBitmap32& picture) override;
  void HideSplash() override;
  void BeginProgress() override;
  void Progress(int position, int maximum) override;
  void EndProgress() override;

  // The dialog titles' application name.
  void SetTitle(const QString& title) { title_ = title; }

 private:
  QString title_;
  std::unique_ptr<TfrmAbout> splash_;
  std::unique_ptr<TfrmProgressInfo> progress_;
  QElapsedTimer progressClock_;
  static constexpr int kProgressDelay = 250;  // milliseconds before it shows
};

// "Caption|*.ext|Caption|*.ext" as a Qt filter list ("Caption (*.ext);;...").
QString QtFilterOf(const std::string& filter);

}  // namespace duduri
