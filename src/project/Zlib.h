#pragma once
// One-shot zlib compression of a package body and a bounded inflate for
// reading one. A body from outside may claim to inflate to anything, so
// inflating stops at a limit instead of growing without end.

#include <cstddef>
#include <optional>

#include "project/ByteStream.h"

namespace duduri {

// A package body never inflates past 1 GiB nor past 1000 times its
// compressed size, whichever is smaller.
inline constexpr std::size_t kMaxInflatedBody = std::size_t(1) << 30;
inline constexpr std::size_t kMaxInflateRatio = 1000;
std::size_t InflateLimitFor(std::size_t compressedSize);

// zlib stream (RFC 1950) at the default level, as one call.
TBytes DeflateDefault(TByteSpan data);

// Inflates one zlib stream. Returns nothing when the data is not a complete
// zlib stream; throws EPackageTooLarge when the output would pass limit.
std::optional<TBytes> InflateBounded(TByteSpan data, std::size_t limit);

}  // namespace duduri
