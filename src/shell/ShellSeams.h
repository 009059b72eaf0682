#pragma once
// The places where the game flow calls sounds, window styles, HTML pages and
// the desktop, one seam each (SoundSeam.h, StyleSeam.h, PageSeam.h,
// DesktopSeam.h). A seam left unset is
// one whose methods do nothing. The seams are not owned: the window (or the
// test) that sets them keeps them alive as long as the flow.

#include "shell/DesktopSeam.h"
#include "shell/PageSeam.h"
#include "shell/SoundSeam.h"
#include "shell/StyleSeam.h"

namespace duduri {

class TShellSeams {
 public:
  TShellSeams() = default;
  TShellSeams(const TShellSeams&) = delete;
  TShellSeams& operator=(const TShellSeams&) = delete;

  TSoundSeam& Sound() const { return *sound_; }
  TStyleSeam& Style() const { return *style_; }
  TPageSeam& Pages() const { return *pages_; }
  TDesktopSeam& Desktop() const { return *desktop_; }

  // nullptr puts the seam that does nothing back.
  void SetSound(TSoundSeam* seam) { sound_ = seam ? seam : &noSound_; }
  void SetStyle(TStyleSeam* seam) { style_ = seam ? seam : &noStyle_; }
  void SetPages(TPageSeam* seam) { pages_ = seam ? seam : &noPages_; }
  void SetDesktop(TDesktopSeam* seam) { desktop_ = seam ? seam : &noDesktop_; }

 private:
  TSoundSeam noSound_;
  TStyleSeam noStyle_;
  TPageSeam noPages_;
  TDesktopSeam noDesktop_;
  TSoundSeam* sound_ = &noSound_;
  TStyleSeam* style_ = &noStyle_;
  TPageSeam* pages_ = &noPages_;
  TDesktopSeam* desktop_ = &noDesktop_;
};

}  // namespace duduri
