#pragma once
// Where the game flow shows HTML pages. Every method does nothing here; the
// player's page window overrides them, tests record them.

namespace duduri {

class TPageSeam {
 public:
  virtual ~TPageSeam() = default;

  virtual bool PageVisible() const { return false; }
  virtual void HidePage() {}
  // Closes a page shown modally with OK.
  virtual void ClosePageOk() {}
  // Gives a visible page the keyboard focus (after a message shown over it).
  virtual void FocusPage() {}
};

}  // namespace duduri
