#pragma once
// SHA-256 (FIPS 180-4), for naming byte blobs in dumps by their content.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace duduri::tools {

std::array<std::uint8_t, 32> sha256(std::span<const std::byte> data);
// Lower-case hex of the digest.
std::string sha256Hex(std::span<const std::byte> data);

}  // namespace duduri::tools
