#pragma once
// Where the game flow shows HTML pages. Every method does nothing here; the
// player's page window overrides them, tests record them.
//
// One page window serves every page the project opens (command 13); the
// high-score entry page is a window of its own, made for one entry and freed
// afterwards. Pages only ever load files under their base directory.

#include <filesystem>
#include <optional>
#include <string>

#include "shell/ShellServices.h"

namespace duduri {

class THighScore;

enum class TPageMode { pmModeless, pmModal };

// A page to show in the page window.
struct TPageRequest {
  // The page's file, as resolved against the base directory (it may not
  // exist, or lie outside the base: the window then shows its error page).
  std::filesystem::path Page;
  // The only folder the page and everything it references may load from.
  std::filesystem::path BaseDirectory;
  // The window's size before it fits itself to the document, not yet
  // bounded by the screen. Without one the window keeps the size it has
  // (600 x 400 when it is first made).
  bool HasSize = false;
  int Width = 600;
  int Height = 400;
  TPageMode Mode = TPageMode::pmModeless;
  // The tables whose places the page's placeholders show (nullptr: no
  // substitution), and which of them.
  const THighScore* HighScore = nullptr;
  int Level = 0;
};

class TPageSeam {
 public:
  virtual ~TPageSeam() = default;

  virtual bool PageVisible() const { return false; }
  virtual void HidePage() {}
  // Closes a page shown modally with OK; a modeless page stays.
  virtual void ClosePageOk() {}

  // Navigates the page window to the page and shows it. A modal page
  // returns when the window closes: mrOk when a command closed it
  // (ClosePageOk), mrCancel for any other way. A modeless page returns at
  // once with mrNone. Commands the page gives reach the process-wide command
  // handler while it is shown.
  virtual TModalResult ShowPage(const TPageRequest& /*request*/) { return TModalResult::mrNone; }

  // The high-score entry page, in a window of its own, modal. Only the
  // entry form's submit closes it with OK; the result is then the text of
  // the input "HIGHSCORE_ENTRY_NAME" ("" without one). Nothing when the
  // window was closed any other way. Mode, HighScore and Level are ignored.
  virtual std::optional<std::string> ShowEntryPage(const TPageRequest& /*request*/) {
    return std::nullopt;
  }

  // Gives a visible page the keyboard focus (after a message shown over it).
  virtual void FocusPage() {}
};

}  // namespace duduri
