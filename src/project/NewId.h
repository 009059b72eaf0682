#pragma once
// Drawing new ids for the project's lists. Ids are drawn at random from the
// acceptable range until one is free; the draw gives up on chance after a
// while and then walks the range from a random start, so it always ends:
// with a free id, or with ENoFreeId when every acceptable id is taken.
//
// The random source is the process-wide Random (pieces/Random.h); tests and
// tools that want reproducible ids may install a source of their own.

#include <cstdint>
#include <functional>

namespace duduri {

// Returns a uniform integer in 0 .. n - 1 (n >= 1).
using TRandomSource = std::function<std::int32_t(std::int32_t n)>;
void SetProjectRandomSource(TRandomSource source);  // empty: back to the default
std::int32_t ProjectRandom(std::int32_t n);

// Candidates are first + step * k for k in 0 .. count - 1. used(id) tells
// whether an id is taken. what names the list in the error message.
std::int32_t DrawFreeId(std::int64_t first, std::int64_t step, std::int64_t count,
                        const std::function<bool(std::int32_t)>& used, const char* what);

// The id kinds the project draws.
inline constexpr std::int64_t kMaxRandomId = 2147483646;                       // 2^31 - 2
std::int32_t DrawPictureId(const std::function<bool(std::int32_t)>& used);     // 1..65535
std::int32_t DrawBackgroundId(const std::function<bool(std::int32_t)>& used);  // k * 65536
// Non-zero ids in 1 .. 2^31 - 2 (skins, regions, script items, menus).
std::int32_t DrawNonZeroId(const std::function<bool(std::int32_t)>& used, const char* what);
// Ids in 0 .. 2^31 - 2 (banners, containers, action items).
std::int32_t DrawAnyId(const std::function<bool(std::int32_t)>& used, const char* what);

}  // namespace duduri
