#include "project/NewId.h"

#include <mutex>
#include <string>

#include "pieces/Random.h"
#include "project/ProjectErrors.h"

namespace duduri {

namespace {

std::mutex gRandomMutex;
TRandomSource gSource;

// A uniform integer in 0 .. n - 1 for n above the i32 range of the source.
std::int64_t randomBelow(std::int64_t n) {
  if (n <= 2147483647) return ProjectRandom(std::int32_t(n));
  const std::int64_t high = ProjectRandom(std::int32_t((n + 65535) / 65536));
  return (high * 65536 + ProjectRandom(65536)) % n;
}

// After this many misses the draw walks the range instead.
constexpr int kRandomAttempts = 4096;

}  // namespace

void SetProjectRandomSource(TRandomSource source) {
  std::lock_guard lock(gRandomMutex);
  gSource = std::move(source);
}

std::int32_t ProjectRandom(std::int32_t n) {
  if (n <= 1) return 0;
  TRandomSource source;
  {
    std::lock_guard lock(gRandomMutex);
    source = gSource;
  }
  return source ? source(n) : Random(n);
}

std::int32_t DrawFreeId(std::int64_t first, std::int64_t step, std::int64_t count,
                        const std::function<bool(std::int32_t)>& used, const char* what) {
  for (int attempt = 0; attempt < kRandomAttempts; ++attempt) {
    const auto id = std::int32_t(first + step * randomBelow(count));
    if (!used(id)) return id;
  }
  const std::int64_t start = randomBelow(count);
  for (std::int64_t k = 0; k < count; ++k) {
    const auto id = std::int32_t(first + step * ((start + k) % count));
    if (!used(id)) return id;
  }
  throw ENoFreeId(std::string("No free ") + what + " id is left.");
}

std::int32_t DrawPictureId(const std::function<bool(std::int32_t)>& used) {
  return DrawFreeId(1, 1, 65535, used, "picture");
}

std::int32_t DrawBackgroundId(const std::function<bool(std::int32_t)>& used) {
  return DrawFreeId(65536, 65536, kMaxRandomId / 65536, used, "background");
}

std::int32_t DrawNonZeroId(const std::function<bool(std::int32_t)>& used, const char* what) {
  return DrawFreeId(1, 1, kMaxRandomId, used, what);
}

std::int32_t DrawAnyId(const std::function<bool(std::int32_t)>& used, const char* what) {
  return DrawFreeId(0, 1, kMaxRandomId + 1, used, what);
}

}  // namespace duduri
