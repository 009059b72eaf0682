#pragma once
// The extra images a written puzzle executable carries after its project
// (the block written by the executable writer): the user's own pictures,
// which the player then plays instead of the project's.
//
// Block layout: u16 3240, then records {u16 tag, u32 size, payload} until
// the record with tag 3241. A 3242 record's payload is i32 ImageID,
// u8 ImgType, u8 ImgFormat and `size` bytes of picture data (the size
// counts the data only). Other tags are skipped by their size.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace duduri {

class TJigsawProject2;

enum TImageFormat : std::uint8_t { ifBMP = 0, ifJPEG = 1 };
enum TExtJigsawImageType : std::uint8_t { itPicture = 0, itWallpaper = 1 };

inline constexpr std::uint16_t kExtraImagesStartTag = 3240;
inline constexpr std::uint16_t kExtraImagesEndTag = 3241;
inline constexpr std::uint16_t kExtraImageTag = 3242;

class TExtJigsawImage {
 public:
  std::vector<std::byte> Stream;  // the picture file as stored in the block
  TImageFormat ImgFormat = ifBMP;
  TExtJigsawImageType ImgType = itPicture;
  std::int32_t ImageID = 0;

  // The picture as JPEG file data, as a project picture record stores it:
  // JPEG data is returned unchanged, bitmap data is decoded and encoded as
  // JPEG. Throws EPictureError when the data does not decode.
  std::vector<std::byte> ToJpeg() const;
};

class TExtJigsawImages {
 public:
  std::vector<TExtJigsawImage> Items;

  bool Empty() const { return Items.empty(); }
  std::size_t Count() const { return Items.size(); }

  // Replaces the collection with the images of an extra-images block. A
  // block that does not start with 3240 gives an empty collection. Reading
  // stops at the end tag, at the end of the data, or at a record whose size
  // runs past the end of the data (the records before it are kept): a
  // damaged block never stops the player from starting. Never throws for
  // bad data.
  void ReadFromStream(std::span<const std::byte> block);

  // Puts the images into the project in place of its playable pictures:
  // every picture with an id up to 65535 is removed (with its piece-count
  // range, stored layout and piece values), the background the
  // project had selected stays selected, and each image becomes a picture
  // named "Image#<i>" with its ImageID, stored as JPEG, whose piece-count
  // range (when the project keeps one for that id) is 0..24. Nothing happens
  // when the collection is empty. Images whose data does not decode are
  // left out.
  void AssignTo(TJigsawProject2& project) const;
};

}  // namespace duduri
