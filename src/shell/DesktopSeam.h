#pragma once
// Where the game flow hands something to the desktop: the help file, and the
// documents, programs and web addresses that project scripts open. Every
// method does nothing here; the player's desktop implementation overrides
// them, tests record them. Nothing is ever passed through a shell command
// line: a target is one file name or address, handed over as it stands.

#include <filesystem>
#include <string>

namespace duduri {

// How a program opened for a script shows itself.
enum class TShowMode { smHidden, smNormal };

class TDesktopSeam {
 public:
  virtual ~TDesktopSeam() = default;

  // Opens the help file in the desktop's viewer for it. Returns whether the
  // desktop took it.
  virtual bool OpenHelp(const std::filesystem::path& /*helpFile*/) { return false; }
  // Opens a document, a program or an address the way the desktop opens it
  // when it is double-clicked. Returns whether the desktop took it.
  virtual bool Open(const std::string& /*target*/, TShowMode /*mode*/) { return false; }
};

}  // namespace duduri
