#pragma once
// Fault injection for the file system calls the player's writers make. The
// test executable defines open, write, fsync, close and rename itself; they
// pass every call on to the C library unless a fault is armed for a file
// whose path contains a given text, so a test can make a write fail at any
// byte, run out of space, or die between the write and the rename.
//
// Only one fault is armed at a time; arming resets the byte count.

#include <cstddef>
#include <string>

namespace duduri::test {

enum class TFault {
  None,
  ShortWrite,   // write() writes fewer bytes than asked once `Offset` bytes are written
  NoSpace,      // write() fails with ENOSPC once `Offset` bytes are written
  FsyncFails,   // fsync() fails with EIO
  CloseFails,   // close() of the file fails with EIO (after closing it)
  RenameFails,  // rename() onto the path fails with EIO
  CrashBeforeRename,  // rename() onto the path ends the process at once (_exit)
  OpenDenied,   // open() of the path (or a temporary beside it) fails with EACCES
};

struct TFaultPlan {
  TFault Fault = TFault::None;
  std::string PathPart;    // the fault applies to paths containing this text
  std::size_t Offset = 0;  // bytes written to such a file before the fault
};

void ArmFault(const TFaultPlan& plan);
void DisarmFault();
// How many times the armed fault fired.
int FaultsFired();

}  // namespace duduri::test
