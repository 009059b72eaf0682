#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "pieces/RLE.h"

namespace duduri {
namespace {

using Words = std::vector<std::uint32_t>;

std::vector<std::byte> bytesOf(const Words& words) {
  std::vector<std::byte> bytes(words.size() * 4);
  std::memcpy(bytes.data(), words.data(), bytes.size());
  return bytes;
}

Words wordsOf(const std::vector<std::byte>& bytes) {
  Words words(bytes.size() / 4);
  std::memcpy(words.data(), bytes.data(), words.size() * 4);
  return words;
}

Words encodeWords(const Words& raw) {
  const auto encoded = RleEncode(raw.data(), raw.size() * 4);
  EXPECT_EQ(encoded.size() % 4, 0u);
  return wordsOf(encoded);
}

constexpr std::uint32_t kA = 0xFF102030, kB = 0x80FFFFFF, kC = 0x00000001;

TEST(RleEncode, WritesAlternatingZeroAndLiteralRuns) {
  EXPECT_EQ(encodeWords({0, 0, kA, kB, 0, kC}), (Words{2, 0, 2, kA, kB, 1, 0, 1, kC}));
  EXPECT_EQ(RleEncode(Words{0, 0, kA, kB, 0, kC}.data(), 24).size(), 36u);

  EXPECT_EQ(encodeWords(Words(7, 0)), (Words{7, 0}));
  EXPECT_EQ(encodeWords({kA, kB, kC}), (Words{3, kA, kB, kC}));
  EXPECT_EQ(encodeWords({kA, 0, 0}), (Words{1, kA, 2, 0}));
  EXPECT_EQ(encodeWords({0, kA}), (Words{1, 0, 1, kA}));
  EXPECT_EQ(encodeWords({kA}), (Words{1, kA}));
  EXPECT_EQ(encodeWords({0}), (Words{1, 0}));
}

TEST(RleEncode, TreatsOnlyAllZeroWordsAsZero) {
  // Transparent pixels that still carry colour must come back unchanged.
  const Words raw{0x00FFFFFF, 0x00000100, 0, 0x01000000};
  EXPECT_EQ(encodeWords(raw), (Words{2, 0x00FFFFFF, 0x00000100, 1, 0, 1, 0x01000000}));
}

TEST(RleEncode, CopiesTrailingBytesAfterTheRuns) {
  std::vector<std::byte> raw = bytesOf({0, kA});
  raw.push_back(std::byte{0x00});
  raw.push_back(std::byte{0xAB});
  const auto encoded = RleEncode(raw.data(), raw.size());
  ASSERT_EQ(encoded.size(), 18u);
  EXPECT_EQ(encoded[16], std::byte{0x00});
  EXPECT_EQ(encoded[17], std::byte{0xAB});

  std::vector<std::byte> decoded(raw.size());
  EXPECT_EQ(DecodeBuffer(encoded.data(), decoded.data(), 18), 10);
  EXPECT_EQ(decoded, raw);

  // Fewer than four bytes: no runs at all, only the tail.
  const std::byte three[3] = {std::byte{1}, std::byte{0}, std::byte{2}};
  const auto tailOnly = RleEncode(three, 3);
  EXPECT_EQ(tailOnly, std::vector<std::byte>(three, three + 3));
  EXPECT_TRUE(RleEncode(nullptr, 12).empty());
  EXPECT_TRUE(RleEncode(three, 0).empty());
}

TEST(RleDecode, ReproducesRandomBlocksBitForBit) {
  std::mt19937 random(1234);
  for (int round = 0; round < 200; ++round) {
    // Vary the share of zero words so both long and single-word runs occur.
    const int zeroPercent = round % 101;
    Words raw(1 + random() % 700);
    for (auto& word : raw) {
      const bool zero = static_cast<int>(random() % 100) < zeroPercent;
      word = zero ? 0 : static_cast<std::uint32_t>(random());
      if (!zero && word == 0) word = 0x00000001;
      if (!zero && random() % 8 == 0) word = (word & 0x00FFFFFF) | 0x10;  // transparent, coloured
    }
    const auto encoded = RleEncode(raw.data(), raw.size() * 4);
    const auto size = static_cast<std::int32_t>(encoded.size());

    Words fast(raw.size(), 0xDEADBEEF);
    ASSERT_EQ(DecodeBuffer(encoded.data(), fast.data(), size), raw.size() * 4);
    ASSERT_EQ(fast, raw);

    Words checked(raw.size(), 0xDEADBEEF);
    ASSERT_EQ(DecodeBufferChecked(encoded.data(), encoded.size(), checked.data(), raw.size() * 4),
              raw.size() * 4);
    ASSERT_EQ(checked, raw);

    // Equal blocks give equal bytes, and re-encoding the decoded block too.
    ASSERT_EQ(RleEncode(fast.data(), fast.size() * 4), encoded);
  }
}

TEST(RleDecode, MissingBlocksWriteNothing) {
  const auto encoded = RleEncode(Words{kA, 0}.data(), 8);
  Words target{7, 7};
  EXPECT_EQ(DecodeBuffer(nullptr, target.data(), 12), 0);
  EXPECT_EQ(DecodeBuffer(encoded.data(), nullptr, 12), 0);
  EXPECT_EQ(DecodeBuffer(encoded.data(), target.data(), 0), 0);
  EXPECT_EQ(DecodeBufferChecked(nullptr, 12, target.data(), 8), 0u);
  EXPECT_EQ(target, (Words{7, 7}));
}

TEST(RleDecodeChecked, RefusesRunsThatOverrunEitherBuffer) {
  Words target(16, 0);  // room beyond every capacity passed below
  const auto check = [&](const std::vector<std::byte>& encoded, std::size_t capacity) {
    return DecodeBufferChecked(encoded.data(), encoded.size(), target.data(), capacity);
  };
  // Exactly full is fine.
  EXPECT_EQ(check(bytesOf({3, 0, 5, kA, kA, kA, kA, kA}), 32), 32u);

  // Output beyond the target, by a zero run or by a literal run.
  EXPECT_THROW(check(bytesOf({9, 0}), 32), ERLEError);
  EXPECT_THROW(check(bytesOf({4, 0, 5, kA, kA, kA, kA, kA}), 32), ERLEError);
  // A literal run that claims more words than the block holds.
  EXPECT_THROW(check(bytesOf({5, kA, kB}), 32), ERLEError);
  // Counts below 1 and a count without a following word.
  EXPECT_THROW(check(bytesOf({0, 0}), 32), ERLEError);
  EXPECT_THROW(check(bytesOf({0xFFFFFFFF, kA}), 32), ERLEError);
  EXPECT_THROW(check(bytesOf({1, 0, 2}), 32), ERLEError);
  // Trailing bytes that do not fit.
  auto withTail = bytesOf({8, 0});
  withTail.push_back(std::byte{1});
  EXPECT_THROW(check(withTail, 32), ERLEError);
  EXPECT_EQ(check(withTail, 33), 33u);
  // No target at all cannot take any output.
  EXPECT_THROW(DecodeBufferChecked(bytesOf({1, 0}).data(), 8, nullptr, 64), ERLEError);

  try {
    check(bytesOf({9, 0}), 32);
  } catch (const EDuduriError& error) {
    EXPECT_STREQ(error.what(), "Invalid RLE run");
  }
}

TEST(TRLE, EncodesCopyOfRawBlockAndDecodesIntoItsOwnBuffer) {
  Words raw{0, 0, kA, kB, 0, kC};
  TRLE codec;
  codec.SetRaw(raw.data(), 24);
  EXPECT_EQ(codec.RawBuffer(), reinterpret_cast<const std::byte*>(raw.data()));
  EXPECT_FALSE(codec.OwnsRawBuffer());
  raw.assign(6, 0x12345678);  // the codec encodes its copy, not the caller's block
  codec.Encode();
  EXPECT_EQ(codec.RawSize(), 24);
  ASSERT_EQ(codec.EncodedSize(), 36);
  const std::vector<std::byte> encoded(codec.EncodedData(), codec.EncodedData() + 36);
  EXPECT_EQ(wordsOf(encoded), (Words{2, 0, 2, kA, kB, 1, 0, 1, kC}));

  codec.Decode();
  EXPECT_TRUE(codec.OwnsRawBuffer());
  EXPECT_EQ(codec.RawBufferSize(), 24);
  EXPECT_EQ(std::memcmp(codec.RawBuffer(), bytesOf({0, 0, kA, kB, 0, kC}).data(), 24), 0);
  EXPECT_EQ(raw, Words(6, 0x12345678));
}

TEST(TRLE, SetEncodedKeepsItsOwnCopyOfTheEncodedBytes) {
  auto encoded = bytesOf({1, kA, 2, 0, 1, kB});
  TRLE codec;
  codec.SetEncoded(encoded.data(), 16, static_cast<std::int32_t>(encoded.size()));
  EXPECT_TRUE(codec.OwnsRawBuffer());
  EXPECT_EQ(codec.RawBufferSize(), 16);
  std::fill(encoded.begin(), encoded.end(), std::byte{0xEE});
  codec.Decode();
  EXPECT_EQ(codec.RawBufferSize(), 16);
  EXPECT_EQ(std::memcmp(codec.RawBuffer(), bytesOf({kA, 0, 0, kB}).data(), 16), 0);

  // A recorded raw size too small for the runs is refused, not overrun.
  const auto big = bytesOf({40, 0});
  codec.SetEncoded(big.data(), 16, 8);
  EXPECT_THROW(codec.Decode(), ERLEError);
}

TEST(TRLE, MissingOrEmptyBlocksLeaveTheCodecUnchanged) {
  const Words raw{kA, 0, kB};
  TRLE codec;
  codec.SetRaw(raw.data(), 12);
  codec.Encode();
  const auto* encodedData = codec.EncodedData();
  const auto* rawBuffer = codec.RawBuffer();
  const auto rawStream = codec.RawStream();

  const auto expectUnchanged = [&] {
    EXPECT_EQ(codec.EncodedData(), encodedData);
    EXPECT_EQ(codec.EncodedSize(), 24);
    EXPECT_EQ(codec.RawSize(), 12);
    EXPECT_EQ(codec.RawBuffer(), rawBuffer);
    EXPECT_EQ(codec.RawBufferSize(), 12);
    EXPECT_FALSE(codec.OwnsRawBuffer());
    EXPECT_EQ(codec.RawStream(), rawStream);
  };
  codec.SetRaw(nullptr, 12);
  expectUnchanged();
  codec.SetRaw(raw.data(), 0);
  expectUnchanged();
  codec.SetEncoded(nullptr, 12, 24);
  expectUnchanged();
  codec.SetEncoded(codec.EncodedData(), 12, 0);
  expectUnchanged();
  codec.SetEncoded(codec.EncodedData(), -1, 24);
  expectUnchanged();
}

}  // namespace
}  // namespace duduri
