#pragma once
// The page seam of the player: one TfrmHTML serves every page the game
// opens, made with its browser when the first page opens (so a project
// without pages never loads the browser); the high-score entry page gets a
// window of its own for each entry.

#include <memory>

#include "shell/PageSeam.h"

namespace duduri {

class IShellServices;
class TfrmHTML;

class TQtPageSeam : public TPageSeam {
 public:
  // `services` reports a browser that cannot be loaded, and takes the name
  // when the entry page cannot be shown.
  explicit TQtPageSeam(IShellServices& services);
  ~TQtPageSeam() override;

  bool PageVisible() const override;
  void HidePage() override;
  void ClosePageOk() override;
  void FocusPage() override;
  TModalResult ShowPage(const TPageRequest& request) override;
  std::optional<std::string> ShowEntryPage(const TPageRequest& request) override;

  // The page window, once a page has been opened (tests look at it).
  TfrmHTML* Window() const { return window_.get(); }
  // The entry page window while it is shown.
  TfrmHTML* EntryWindow() const { return entry_; }

 private:
  IShellServices& services_;
  std::unique_ptr<TfrmHTML> window_;
  TfrmHTML* entry_ = nullptr;
};

}  // namespace duduri
