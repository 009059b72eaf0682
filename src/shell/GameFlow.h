#pragma once
// TGameFlow: the main window's game logic (TfrmMain without its widgets). It
// owns the project, the current board, the high-score tables and the play
// list, runs the start-up sequence, chooses and builds games, answers the
// board's events, runs the win and lose flows, carries out commands, and
// decides whether the window may close.
//
// Everything it shows goes through IMainView (the window), IShellServices
// (modal dialogs and message boxes) and TShellSeams (styles, sounds, pages);
// the board's timers and idle hook come from an IBoardPlatform. The Qt
// window wires real widgets in; tests wire fakes and play whole games.
//
// The implementation is split by concern: GameFlow.cpp (start-up, project,
// play list, new game, close and destruction), WindowInput.cpp (keys, presses
// and menu clicks from the window), GameBuild.cpp (building a
// game and wiring its board), GameEnd.cpp (win and lose), Commands.cpp (the
// dispatcher and the board commands), DialogScope.cpp (pausing around
// dialogs) and the command files named below.
//
// Errors: a command or board event that fails with an error nobody handles
// on the way shows that error's message in an error box and the program
// goes on (ActionDispatch, the board's events, the window's key and mouse
// handlers and the close query all stop errors there), so no error reaches
// the window system's event loop.
//
// Termination: a fatal start-up condition (no project, no pictures, invalid
// data, a start script that exits) calls IMainView::Terminate and sets
// Terminated(); every entry point does nothing afterwards except
// FormDestroy, which still runs so that "-T" and the high scores are honoured.

#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "board/BoardHost.h"
#include "board/SpriteDraw.h"
#include "project/ByteStream.h"
#include "project/HighScore.h"
#include "project/Project.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"
#include "shell/Commands.h"
#include "shell/MainView.h"
#include "shell/MenuModel.h"
#include "shell/ShellSeams.h"
#include "shell/ShellServices.h"

namespace duduri {

class TJigsawFile;
class TJigsawSpriteCreator;

// The data appended to the running executable.
struct TOwnOverlay {
  std::optional<TBytes> Package;  // nothing: the executable carries no project
  TBytes ExtraImages;             // the extra-images block, empty when absent
};

// Where the program runs: its command line, its own file and folder.
struct TShellEnvironment {
  std::vector<std::string> Args;  // the parameters, without the program name
  std::filesystem::path ExePath;
  std::filesystem::path ExeDir;
  std::function<TOwnOverlay()> ReadOwnOverlay;
  // Where the high scores are kept (empty: "highscorefile.dat" in ExeDir).
  std::filesystem::path HighScorePath;
  // A fixed seed for every layout (tests and screenshots); none: the clock.
  std::optional<std::uint64_t> Seed;
  // Threads for making sprites (0 = one per processor).
  int SpriteThreads = 0;
  // Decodes the pictures the core has no reader for (PNG, GIF, WebP); the
  // window's toolkit supplies it. Without one only JPEG and BMP files play.
  std::function<TPicture(std::span<const std::byte>)> DecodeOtherPicture;
};

// The environment of the running program: its own path and overlay, the
// high-score file beside it (or in the user's data folder when that folder
// is not writable).
TShellEnvironment RunningEnvironment(int argc, const char* const* argv);

// The overlay of an executable file: its package and extra-images block.
TOwnOverlay ReadOverlayOf(const std::filesystem::path& executable);

// Virtual key codes the window reacts to.
inline constexpr int kVkEscape = 27;
inline constexpr int kVkF11 = 122;

class TGameFlow {
 public:
  TGameFlow(IMainView& view, IShellServices& services, IBoardPlatform& platform, TShellSeams& seams,
            TShellEnvironment environment);
  ~TGameFlow();
  TGameFlow(const TGameFlow&) = delete;
  TGameFlow& operator=(const TGameFlow&) = delete;

  // ---- The window's published handlers ----
  // The start-up sequence: high scores, project, splash, first game, start
  // script. Installs the process-wide command handler.
  void FormCreate();
  // Exit script, high scores saved, "-T" honoured; removes the command
  // handler. Runs once; later calls do nothing.
  void FormDestroy();
  // The close query: true when the window may close.
  bool FormCloseQuery();
  void FormKeyDown(int key, TShiftState shift);
  void Image321KeyDown(int key);
  // A press on the play area; (screenX, screenY) is where the popup opens.
  // Returns (column, row) of the piece hit, (-1, -1) for none.
  TBoardPoint Image321MouseDown(TMouseButton button, TShiftState shift, int x, int y, int screenX,
                                int screenY);
  void TBXToolbar1VisibleChanged(bool visible);
  // A click on a toolbar or popup item.
  void MenuClick(const TMenuNode& node);

  // ---- Commands ----
  // Carries out one command with the script item's parameter (unknown codes
  // do nothing). The command table is Commands.cpp; the commands live by
  // concern in FileCommands.cpp (saved games, pictures, executables),
  // DialogCommands.cpp (skins, difficulty, high scores, play picture),
  // DesktopCommands.cpp (help, documents, sound on/off) and
  // PageCommands.cpp (HTML pages).
  void ActionDispatch(void* sender, std::int32_t code, const TScriptParameter& parameter);
  void tbxOpenFromProjectClick(void* sender);                         // 1
  void tbxSaveClick(void* sender);                                    // 2
  void tbxHelpContentClick(void* sender);                             // 4
  void tbxSoundClick(void* sender);                                   // 8
  void SelectSkin();                                                  // 9
  void RunHidden(const TScriptParameter& parameter);                  // 11
  void ShowHighScoreTable();                                          // 12
  void ShowHtmlPage(const TScriptParameter& parameter);               // 13
  void PlayPicture(const TScriptParameter& parameter);                // 14
  void OpenDocument(const TScriptParameter& parameter);               // 17
  void SavePicture();                                                 // 21
  void MakeExecutable();                                              // 22
  void ChangeDifficulty();                                            // 23
  void tbxExitClick(void* sender);
  void ExitApplicationNoConfirm(void* sender);
  void tbxAboutClick(void* sender);
  void TBXShowClick(void* sender);
  void tbxAutoSolveClick(void* sender);
  void tbxAutoSolveNoConfirmClick(void* sender);
  void tbxOnePieceSolveClick(void* sender);
  void NewGame();
  void ToggleClock(void* sender);
  void TogglePause(void* sender);
  void SelectAllPieces();
  void DeselectAllPieces();

  // ---- Files opened for play (OpenForPlay.cpp) ----
  // Plays a project file, a puzzle executable or a picture dropped on the
  // window or chosen from the recent files: asks first when a game is in
  // progress; a file that cannot be played is reported and the current game
  // goes on. Only the bare player opens files (one that carries its own
  // project plays only that). Returns whether the file's game is now played.
  bool OpenFileForPlay(const std::filesystem::path& file);
  // The file the current project came from (named on the command line or
  // opened since), absolute; empty for an own project and for the sample.
  const std::filesystem::path& OpenedFile() const { return openedFile_; }
  bool ProjectFromOwnExecutable() const { return projectFromOwnExecutable_; }
  // The program's exit status: 1 when it ended because what it was asked to
  // play could not be played, else 0.
  int ExitStatus() const { return startFailed_ ? 1 : 0; }

  // ---- State, for the window and for tests ----
  TJigsawProject2* Project() { return project_.get(); }
  TSpriteDraw* Board() { return board_.get(); }
  const THighScore& HighScores() const { return highScores_; }
  THighScore& HighScores() { return highScores_; }
  const std::vector<const TBMPData*>& PlayList() const { return playList_; }
  int PlayPosition() const { return playPosition_; }
  int CurrentPictureIndex() const { return currentPictureIndex_; }
  std::int32_t CurrentPictureId() const { return currentPictureId_; }
  int ScoreLevel() const { return scoreLevel_; }
  float PieceScaleFactor() const { return pieceScaleFactor_; }
  int CheatCount() const { return cheatCount_; }
  int ClockStart() const { return clockStart_; }
  bool TimeTrial() const { return timeTrial_; }
  bool SoundOn() const { return soundOn_; }
  bool WinHandled() const { return winHandled_; }
  bool InStartup() const { return inStartup_; }
  bool CloseWithoutAsking() const { return closeWithoutAsking_; }
  bool ExitRequested() const { return exitRequested_; }
  bool Terminated() const { return terminated_; }
  bool OldFormatGame() const { return oldFormatGame_; }
  bool PopupHasItems() const { return popup_ && !popup_->Empty(); }
  const TMenuModel* Toolbar() const { return toolbar_.get(); }
  const TMenuModel* Popup() const { return popup_.get(); }
  const TBitmap32& CurrentPicture() const { return currentPicture_; }
  const TShellEnvironment& Environment() const { return environment_; }
  // The games built so far (each new board counts).
  int GamesBuilt() const { return gamesBuilt_; }
  int SkinId() const { return skinId_; }
  bool CloseHtmlPage() const { return closeHtmlPage_; }
  // The scale the current game's pieces were cut at (what a saved game
  // stores, so that it is cut the same way again).
  float GameScale() const { return gameScale_; }

  // What the sprite creator of the last game was given besides the
  // picture and its grid (read back from the creator).
  struct TCreatorOptions {
    std::vector<std::int32_t> PieceValues;
    bool FlatPiece = false;
    TColor32 SpriteOptionA = 0;
    bool NoPieceRotation = false;
    bool NoPieceShadow = false;
  };
  const TCreatorOptions& LastCreatorOptions() const { return lastCreatorOptions_; }

 private:
  // The project of a player without one of its own: the first argument's
  // file, or the sample when there is none (OpenForPlay.cpp). Returns false
  // when there is nothing to play; throws what opening the file throws.
  bool loadBareProject(std::unique_ptr<TJigsawProject2>& project);

  // For the length of a modal dialog: a running board paused silently and,
  // when asked, the background music stopped; both are undone when the
  // scope ends, however the command ends. A board that has been replaced
  // meanwhile is left alone, and KeepPaused leaves the board as it is.
  class TDialogScope {
   public:
    enum TMusic { kMusicPlays, kMusicStops };
    TDialogScope(TGameFlow& flow, TMusic music);
    ~TDialogScope();
    TDialogScope(const TDialogScope&) = delete;
    TDialogScope& operator=(const TDialogScope&) = delete;
    void KeepPaused() { resume_ = false; }
    bool BoardRan() const { return ran_; }

   private:
    TGameFlow& flow_;
    bool music_;
    bool ran_;
    bool resume_ = true;
    int game_;
  };

  void runCommand(void* sender, std::int32_t code, const TScriptParameter& parameter);
  // Runs a command or a board event; an error that escapes it is shown.
  void guarded(const std::function<void()>& body);
  void showError(const std::exception& error);

  // Saved games, pictures, executables (FileCommands.cpp).
  void openSavedGame(TDialogScope& scope);
  void savePictureAs(const TBitmap32& image, const TFileDialogResult& chosen);

  // Start-up and project (GameFlow.cpp).
  void loadHighScores();
  void loadProject();
  void rebuildPlayList();
  void stopCurrentGame();
  void chooseBitmap();
  int pictureIndexOfPlayEntry(int position) const;
  void startGame();
  void runStartScript();
  void terminate();
  void clearPlayArea();
  void freeBoard();

  // Building a game (GameBuild.cpp).
  void buildGame(TJigsawFile* savedGame);
  void buildGameSteps(TJigsawFile* savedGame);
  // Broken project data: the play area cleared, the message, the end.
  void fatalBuildError();
  // The board's backdrop as the project selects it; the stream points into
  // the project.
  TSpriteDrawParam backgroundParam() const;
  void applyPieceCountRule(TJigsawSpriteCreator& creator, TJigsawFile* savedGame);
  void makeSprites(TJigsawSpriteCreator& creator);
  void wireBoard(TJigsawSpriteCreator& creator, const TSpriteDrawParam& param,
                 TJigsawFile* savedGame);
  void onPiecesInRightPlace();
  void onTicks(int ticks);
  void updatePieceStatus();
  void rebuildMenus();

  // Win and lose (GameEnd.cpp).
  void winFlow();
  void loseFlow();
  void highScoreEntry(int ticks);
  std::optional<int> wonGameScoreLevel() const;
  void playAgainQuestion(const char* question);
  // HTML pages (PageCommands.cpp): the folder page names are relative to,
  // and the high-score entry page (the name entered, or nothing).
  std::filesystem::path htmlBaseDirectory() const;
  std::optional<std::string> htmlEntryPage();
  void stopAndClose();
  bool hasWinScript() const;

  // Sounds through the seams.
  void playEvent(int event);
  void startBackgroundMusic();
  void stopBackgroundMusic();

  // Pauses a running board silently; returns whether it ran.
  bool pauseSilently();
  void resumeIfRan(bool ran);

  IMainView& view_;
  IShellServices& services_;
  IBoardPlatform& platform_;
  TShellSeams& seams_;
  TShellEnvironment environment_;

  std::unique_ptr<TJigsawProject2> project_;
  std::unique_ptr<TSpriteDraw> board_;
  TBitmap32 currentPicture_;
  int currentPictureIndex_ = 0;
  std::vector<const TBMPData*> playList_;
  int playPosition_ = 0;
  std::int32_t currentPictureId_ = 0;
  int scoreLevel_ = 0;
  float pieceScaleFactor_ = 3.0f;
  int cheatCount_ = 0;
  bool timeTrial_ = false;
  int clockStart_ = 0;
  bool soundOn_ = true;
  bool hasSounds_ = false;
  int skinId_ = 0;
  bool piecesVisibleNext_ = true;
  bool closeWithoutAsking_ = false;
  bool exitRequested_ = false;
  bool runningStartScript_ = false;
  bool winHandled_ = false;
  bool inStartup_ = true;
  bool projectFromOwnExecutable_ = false;
  bool oldFormatGame_ = false;
  bool closeHtmlPage_ = false;
  std::uint8_t snapDistance_ = 0;
  TColor32 spriteOptionA_ = 0xFFFFFF;
  std::string title_ = "Morvenhal Duduri";
  THighScore highScores_;
  std::unique_ptr<TMenuModel> toolbar_;
  std::unique_ptr<TMenuModel> popup_;

  bool created_ = false;
  bool destroyed_ = false;
  bool terminated_ = false;
  bool splashShown_ = false;
  bool building_ = false;  // a game is being built: commands and presses wait
  bool gameOver_ = false;  // the board reported its win or loss
  int gamesBuilt_ = 0;
  std::filesystem::path openedFile_;
  bool startFailed_ = false;  // ended because the project could not be played
  float gameScale_ = 0;
  TCreatorOptions lastCreatorOptions_;
  bool showingError_ = false;
};

}  // namespace duduri
