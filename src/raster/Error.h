#pragma once
// The base of every error the core raises. Failures carry a message text that
// the shell shows as it stands, so messages are complete sentences or the
// fixed texts the formats define.

#include <stdexcept>
#include <string>

namespace duduri {

class EDuduriError : public std::runtime_error {
 public:
  explicit EDuduriError(const std::string& message) : std::runtime_error(message) {}
};

// Raised by the raster surface ("Can't allocate the DIB handle", "Invalid SrcRect").
class EBitmapError : public EDuduriError {
 public:
  using EDuduriError::EDuduriError;
};

// Raised by the picture readers and writers; the message names the format.
class EPictureError : public EDuduriError {
 public:
  using EDuduriError::EDuduriError;
};

}  // namespace duduri
