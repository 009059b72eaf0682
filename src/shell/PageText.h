#pragma once
// The text that opens a page (command 13's parameter) and the size of the
// page window.
//
// The text is one line with the page name, or exactly three lines: the page
// name, then the window's width and height in decimal. Sizes come from
// whoever made the project, so the window keeps them within sane bounds: at
// least kMinPageWidth x kMinPageHeight, at most the screen, and a size of
// 0 or less counts as none given.

#include <optional>
#include <string>

#include "raster/Error.h"

namespace duduri {

inline constexpr int kDefaultPageWidth = 600;
inline constexpr int kDefaultPageHeight = 400;
inline constexpr int kMinPageWidth = 200;
inline constexpr int kMinPageHeight = 150;

// A width or height line that is not a decimal number.
class EPageTextError : public EDuduriError {
 public:
  using EDuduriError::EDuduriError;
};

struct TPageText {
  std::string Name;
  // Present only when the text has exactly three lines.
  std::optional<long long> Width;
  std::optional<long long> Height;
};

// Lines end with CR LF, LF or CR; a line break at the very end starts no
// new line. Sizes may carry spaces around them and a sign; a number too
// large for any screen is kept as a large number. Throws EPageTextError
// naming the line when a size is not a number.
TPageText ParsePageText(const std::string& text);

struct TPageSize {
  int Width = 0;
  int Height = 0;
  friend bool operator==(const TPageSize&, const TPageSize&) = default;
};

// The window size for a requested one on a screen (its work area).
TPageSize SanePageSize(long long width, long long height, TPageSize screen);

// How the window fits itself to a document once it is complete: it grows to
// the document's scroll size, at most to the screen, and never shrinks; a
// scroll bar the document does not need is hidden.
struct TPageFit {
  TPageSize Window;
  bool HideHorizontalBar = false;
  bool HideVerticalBar = false;
};
TPageFit FitPageWindow(TPageSize window, TPageSize scroll, TPageSize client, TPageSize screen);

}  // namespace duduri
