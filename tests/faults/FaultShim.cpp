#include "FaultShim.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace duduri::test {
namespace {

struct TState {
  std::mutex lock;
  TFaultPlan plan;
  int fd = -1;  // the file being written that the fault watches
  std::size_t written = 0;
  std::atomic<int> fired{0};
};

TState& state() {
  static TState s;
  return s;
}

template <class Fn>
Fn next(const char* name) {
  return reinterpret_cast<Fn>(::dlsym(RTLD_NEXT, name));
}

bool matches(const char* path) {
  const TFaultPlan& plan = state().plan;
  return plan.Fault != TFault::None && path && !plan.PathPart.empty() &&
         std::strstr(path, plan.PathPart.c_str()) != nullptr;
}

int openWith(const char* which, const char* path, int flags, mode_t mode) {
  using Open = int (*)(const char*, int, ...);
  static Open realOpen = next<Open>("open");
  static Open realOpen64 = next<Open>("open64");
  TState& s = state();
  {
    std::lock_guard<std::mutex> guard(s.lock);
    if (matches(path) && s.plan.Fault == TFault::OpenDenied && (flags & O_ACCMODE) != O_RDONLY) {
      ++s.fired;
      errno = EACCES;
      return -1;
    }
  }
  const int fd = (std::strcmp(which, "open64") == 0 && realOpen64 ? realOpen64 : realOpen)(
      path, flags, mode);
  if (fd >= 0 && (flags & O_ACCMODE) != O_RDONLY) {
    std::lock_guard<std::mutex> guard(s.lock);
    if (matches(path)) {
      s.fd = fd;
      s.written = 0;
    }
  }
  return fd;
}

}  // namespace

void ArmFault(const TFaultPlan& plan) {
  std::lock_guard<std::mutex> guard(state().lock);
  state().plan = plan;
  state().fd = -1;
  state().written = 0;
  state().fired = 0;
}

void DisarmFault() {
  ArmFault({});
}

int FaultsFired() {
  return state().fired;
}

}  // namespace duduri::test

using duduri::test::TFault;
using duduri::test::state;

extern "C" {

int open(const char* path, int flags, ...) {
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list args;
    va_start(args, flags);
    mode = mode_t(va_arg(args, int));
    va_end(args);
  }
  return duduri::test::openWith("open", path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list args;
    va_start(args, flags);
    mode = mode_t(va_arg(args, int));
    va_end(args);
  }
  return duduri::test::openWith("open64", path, flags, mode);
}

ssize_t write(int fd, const void* buffer, size_t count) {
  using Write = ssize_t (*)(int, const void*, size_t);
  static Write realWrite = duduri::test::next<Write>("write");
  auto& s = state();
  std::unique_lock<std::mutex> guard(s.lock);
  if (fd >= 0 && fd == s.fd) {
    const auto& plan = s.plan;
    if (plan.Fault == TFault::NoSpace && s.written + count > plan.Offset) {
      // What fits before the fault still goes out, as on a full disk.
      const std::size_t room = plan.Offset > s.written ? plan.Offset - s.written : 0;
      if (room == 0) {
        ++s.fired;
        errno = ENOSPC;
        return -1;
      }
      count = room;
    } else if (plan.Fault == TFault::ShortWrite && s.written + count > plan.Offset &&
               count > 1) {
      // A short write is no error: the writer must go on with the rest.
      ++s.fired;
      count = plan.Offset > s.written ? plan.Offset - s.written : 1;
    }
    guard.unlock();
    const ssize_t done = realWrite(fd, buffer, count);
    guard.lock();
    if (done > 0) s.written += std::size_t(done);
    return done;
  }
  guard.unlock();
  return realWrite(fd, buffer, count);
}

int fsync(int fd) {
  using Fsync = int (*)(int);
  static Fsync realFsync = duduri::test::next<Fsync>("fsync");
  auto& s = state();
  {
    std::lock_guard<std::mutex> guard(s.lock);
    if (fd >= 0 && fd == s.fd && s.plan.Fault == TFault::FsyncFails) {
      ++s.fired;
      errno = EIO;
      return -1;
    }
  }
  return realFsync(fd);
}

int close(int fd) {
  using Close = int (*)(int);
  static Close realClose = duduri::test::next<Close>("close");
  auto& s = state();
  bool fail = false;
  {
    std::lock_guard<std::mutex> guard(s.lock);
    if (fd >= 0 && fd == s.fd) {
      fail = s.plan.Fault == TFault::CloseFails;
      s.fd = -1;
    }
  }
  const int result = realClose(fd);
  if (fail) {
    ++s.fired;
    errno = EIO;
    return -1;
  }
  return result;
}

int rename(const char* from, const char* to) {
  using Rename = int (*)(const char*, const char*);
  static Rename realRename = duduri::test::next<Rename>("rename");
  auto& s = state();
  {
    std::lock_guard<std::mutex> guard(s.lock);
    if (duduri::test::matches(to)) {
      if (s.plan.Fault == TFault::RenameFails) {
        ++s.fired;
        errno = EIO;
        return -1;
      }
      if (s.plan.Fault == TFault::CrashBeforeRename) _exit(3);
    }
  }
  return realRename(from, to);
}

}  // extern "C"
