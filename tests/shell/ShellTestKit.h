#pragma once
// Fakes of the shell's window and dialogs, and small test projects, for the
// game-flow tests: every dialog is answered from a script, every window
// operation is recorded, and the board runs on fake timers and idle passes
// that the test moves by hand.

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/DragSolver.h"
#include "TestProject.h"
#include "support/FakeBoardHost.h"
#include "project/ByteStream.h"
#include "project/ProjectRecords.h"
#include "shell/GameFlow.h"
#include "shell/MainView.h"
#include "shell/ShellServices.h"

namespace duduri::test {

// ---- Fakes -------------------------------------------------------------------

class TFakePlayArea : public IPlayArea {
 public:
  TFakePlayArea(int width, int height) : width_(width), height_(height) {}
  int ClientWidth() const override { return width_; }
  int ClientHeight() const override { return height_; }
  void PaintFrame(const TBitmap32& frame) override;
  void PublishFrame(const TBitmap32& frame) override;
  void Fill(TColor32 color) override;
  void DetachFrame() override { ++detaches; }
  void ForgetFrame() override { ++forgets; }
  void CopyImage(TBitmap32& target) const override { target.Assign(picture); }

  // Pointer moves and releases as the widget delivers them.
  void MouseMove(TShiftState shift, int x, int y);
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

  int paints = 0;
  int publishes = 0;
  int detaches = 0;
  int forgets = 0;
  std::vector<TColor32> fills;
  TBitmap32 picture;

 private:
  int width_;
  int height_;
};

class TFakeView : public IMainView {
 public:
  TFakeView(int width, int height) : area(width, height) {}

  IPlayArea& PlayArea() override { return area; }
  void SetStatusText(int panel, const std::string& text) override { status[panel] = text; }
  void SetTitle(const std::string& text) override { title = text; }
  void SetIcon(TByteSpan) override { ++icons; }
  void ShowWindow() override { visible = true; }
  void HideWindow() override { visible = false; }
  void BringToFront() override {}
  void CloseWindow() override;
  void Terminate() override { terminated = true; }
  void ProcessPendingInput() override { ++pumps; }
  void LayoutWorkArea() override { ++layouts; }
  void SetBannerStripVisible(bool v) override { bannerStrip = v; }
  void BuildToolbar(const TMenuModel* model) override { toolbar = model; }
  void BuildPopup(const TMenuModel* model) override { popup = model; }
  void SetMenuItemChecked(const void* sender, bool value) override { checked[sender] = value; }
  bool ToolbarVisible() const override { return toolbarVisible; }
  void SetToolbarVisible(bool v) override;
  void ShowPopup(int x, int y) override { popups.push_back({x, y}); }
  void ShowSolution(const TBitmap32& s) override {
    solutionVisible = true, solutionWidth = s.Width();
  }
  void HideSolution() override { solutionVisible = false; }
  bool SolutionVisible() const override { return solutionVisible; }
  TColor32 WorkspaceColor() const override { return 0xFF808080; }
  TColor32 ButtonFaceColor() const override { return 0xFFF0F0F0; }
  TRect WindowBounds() const override { return bounds; }

  TGameFlow* flow = nullptr;  // CloseWindow asks it
  TFakePlayArea area;
  TRect bounds{100, 50, 740, 530};
  std::string status[4];
  std::string title;
  bool visible = false;
  bool closed = false;
  int closeRequests = 0;
  bool terminated = false;
  bool toolbarVisible = true;
  bool bannerStrip = true;
  bool solutionVisible = false;
  int solutionWidth = 0;
  int icons = 0;
  int pumps = 0;
  int layouts = 0;
  const TMenuModel* toolbar = nullptr;
  const TMenuModel* popup = nullptr;
  std::map<const void*, bool> checked;
  std::vector<TBoardPoint> popups;
};

class TFakeServices : public IShellServices {
 public:
  TModalResult MessageBox(const std::string& text, TMsgKind kind, TMsgButtons buttons) override;
  void ShowResult(const TResultDialogText& text) override {
    results.push_back(text);
    dialog("result");
  }
  TModalResult PlayAgain() override {
    dialog("play again");
    return next(playAgain, TModalResult::mrCancel, "play again");
  }
  TModalResult NextPicture() override {
    dialog("next picture");
    return next(nextPicture, TModalResult::mrCancel, "next picture");
  }
  int ChoosePicture(const TJigsawProject2&) override {
    ++chooseCalls;
    dialog("choose picture");
    return chosenPicture;
  }
  void ShowHighScores(const THighScore&, int level, float) override {
    dialog("high scores");
    tables.push_back(level);
  }
  std::string NameEntry() override {
    ++nameEntries;
    dialog("name entry");
    return name;
  }
  void ShowAbout(const TAboutRequest& r) override {
    dialog("about");
    abouts.push_back(r.Picture != nullptr);
    lastAbout = r;
  }
  // File dialogs answer from their queues (cancelled when empty) and keep
  // what they were asked.
  TFileDialogResult OpenFile(const TFileDialogRequest& r) override;
  TFileDialogResult SaveFile(const TFileDialogRequest& r) override;
  std::optional<int> SelectSkin(const TJigsawProject2&, int current) override {
    dialog("select skin");
    skinAsked = current;
    return chosenSkin;
  }
  std::optional<TPieceRange> ChangeDifficulty(TPieceRange current) override {
    dialog("change difficulty");
    difficultyAsked = current;
    return chosenRange;
  }
  void ShowSplash(const TBitmap32&) override { splashUp = true, ++splashes; }
  void HideSplash() override { splashUp = false; }
  void BeginProgress() override { ++progressShown, progressUp = true; }
  void Progress(int position, int maximum) override { lastProgress = {position, maximum}; }
  void EndProgress() override { progressUp = false; }

  // Scripted answers: a message text gets its answer; texts not listed get
  // Yes (Yes/No boxes) or OK.
  std::map<std::string, TModalResult> answers;
  std::deque<TModalResult> playAgain;
  std::deque<TModalResult> nextPicture;
  int chosenPicture = 0;
  std::string name = "Tester";
  std::deque<TFileDialogResult> openFiles;
  std::deque<TFileDialogResult> saveFiles;
  std::optional<int> chosenSkin;
  std::optional<TPieceRange> chosenRange;
  // Called as every modal dialog or message box opens, with its name or text
  // (the result dialog: "result", once it is in `results`), before its
  // answer is taken, so a handler may still set the answer.
  std::function<void(const std::string&)> onDialog;

  std::vector<std::string> messages;
  std::vector<TResultDialogText> results;
  std::vector<int> tables;
  std::vector<bool> abouts;
  TAboutRequest lastAbout;
  std::vector<TFileDialogRequest> fileRequests;
  int skinAsked = -1;
  TPieceRange difficultyAsked{-2, -2};
  int nameEntries = 0;
  int chooseCalls = 0;
  int splashes = 0;
  bool splashUp = false;
  int progressShown = 0;
  bool progressUp = false;
  TBoardPoint lastProgress;

 private:
  TModalResult next(std::deque<TModalResult>& queue, TModalResult fallback, const char* what);
  void dialog(const std::string& what) {
    if (onDialog) onDialog(what);
  }
};

// Records the sound seam's calls.
class TRecordingSound : public TSoundSeam {
 public:
  void PlayEvent(const TJigsawProject2&, int event) override { events.push_back(event); }
  void StartBackgroundMusic(const TJigsawProject2&, bool play) override {
    ++musicStarts;
    log.push_back(play ? "music" : "music silent");
  }
  void StopBackgroundMusic() override {
    ++musicStops;
    log.push_back("stop music");
  }
  void StopSystemSound() override { log.push_back("stop system sound"); }
  std::vector<int> events;
  int musicStarts = 0;
  int musicStops = 0;
  std::vector<std::string> log;
};

// Records the style seam's layouts.
class TRecordingStyle : public TStyleSeam {
 public:
  bool LayoutStyle(const TJigsawProject2&, std::uint16_t kind, int skinId) override {
    layouts.push_back({kind, skinId});
    return false;
  }
  std::vector<std::pair<int, int>> layouts;  // (skin kind, skin id)
};

// Records what was handed to the desktop.
class TRecordingDesktop : public TDesktopSeam {
 public:
  bool OpenHelp(const std::filesystem::path& file) override {
    help.push_back(file);
    return true;
  }
  bool Open(const std::string& target, TShowMode mode) override {
    opened.push_back({target, mode});
    return true;
  }
  std::vector<std::filesystem::path> help;
  std::vector<std::pair<std::string, TShowMode>> opened;
};

// The seams of a flow on fakes: sounds, layouts and the desktop recorded,
// pages doing nothing unless a test sets its own.
class TRecordingSeams : public TShellSeams {
 public:
  TRecordingSeams() {
    SetSound(&sound);
    SetStyle(&style);
    SetDesktop(&desktop);
  }
  TRecordingSound sound;
  TRecordingStyle style;
  TRecordingDesktop desktop;
};

// The fake board platform, with a look at the board when it asks its
// question.
class TRigPlatform : public TFakeBoardPlatform {
 public:
  bool AskYesNo(const std::string& question) override {
    if (onAsk) onAsk();
    return TFakeBoardPlatform::AskYesNo(question);
  }
  std::function<void()> onAsk;
};

class TFlowRig;

// Pointer gestures on the rig's play area, as the window delivers them.
class TRigPointer : public IPointer {
 public:
  explicit TRigPointer(TFlowRig& rig) : rig_(rig) {}
  TBoardPoint Press(int x, int y, TMouseButton button) override;
  void Move(int x, int y) override;
  void Release(int x, int y, TMouseButton button) override;

 private:
  TFlowRig& rig_;
};

// A flow on fakes, with a package as the executable's own project.
class TFlowRig {
 public:
  explicit TFlowRig(TBytes package, std::vector<std::string> args = {}, int width = 640,
                    int height = 480);
  explicit TFlowRig(TShellEnvironment env, int width = 640, int height = 480);
  ~TFlowRig();

  void Create() { flow->FormCreate(); }
  // Plays the current game to the end (or `maxDrops` drops) by pointer
  // gestures; returns drops.
  int SolveByDrags(int maxDrops = 1 << 30);
  // Clicks piece (row, col) where it can be grabbed, so that the one-piece
  // solver takes it next.
  void ClickPiece(int row, int col);
  // The board of the game being played when the call was made, nullptr once
  // another game has replaced it.
  std::function<TSpriteDraw*()> CurrentGame();
  // Ticks the clock `n` times (while a board exists).
  void TickClock(int n);
  // Ticks the solver animation until it stops.
  int RunAnimation(int maxTicks = 100000);

  TRigPlatform platform;
  TFakeView view;
  TFakeServices services;
  TRecordingSeams seams;
  std::unique_ptr<TGameFlow> flow;
  std::filesystem::path folder;  // a fresh folder for high scores and files
};

// The test package of `options`, with the master templates, as `edit`
// leaves it.
TBytes EditedPackage(const TTestProjectOptions& options,
                     const std::function<void(TJigsawProject2&)>& edit);
// A command's parameter: one text, or one 4-byte number.
TScriptParameter TextParameter(const std::string& text);
TScriptParameter NumberParameter(std::int32_t value);

}  // namespace duduri::test
