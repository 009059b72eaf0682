#pragma once
// The resource tree of a portable-executable image, as far as replacing an
// icon image needs it, and the replacement itself.
//
// The image comes from outside, so no offset in it is trusted: every header,
// directory, entry and data leaf is checked to lie inside the image before
// it is read. Directories are followed at levels 1, 3 and 5 only and data
// leaves taken at level 7 only, which bounds the nesting, and the number of
// nodes is bounded by kMaxResNodes (directories may share children, so an
// image of a few kilobytes could otherwise describe billions of paths). A
// node that cannot be read or sits at another level is dropped, as an entry
// that yields no child is.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "raster/Error.h"

namespace duduri {

// Every failure of the icon replacement; the message is shown as it stands.
class EResourceError : public EDuduriError {
 public:
  using EDuduriError::EDuduriError;
};

inline constexpr std::uint32_t kResTypeIcon = 3;
inline constexpr std::size_t kMaxResNodes = 1 << 16;

class TResTree;

class TRes {
 public:
  explicit TRes(TResTree& tree) : tree_(tree) {}
  virtual ~TRes() = default;
  TRes(const TRes&) = delete;
  TRes& operator=(const TRes&) = delete;

  TResTree& Tree() const { return tree_; }
  const std::vector<std::unique_ptr<TRes>>& Children() const { return children_; }

 protected:
  TResTree& tree_;
  std::vector<std::unique_ptr<TRes>> children_;
};

// A 16-byte directory header followed by its named and id entries.
class TResDir : public TRes {
 public:
  using TRes::TRes;
  std::uint32_t Characteristics = 0;
  std::uint32_t TimeDateStamp = 0;
  std::uint16_t MajorVersion = 0;
  std::uint16_t MinorVersion = 0;
  std::uint16_t NumberOfNamedEntries = 0;
  std::uint16_t NumberOfIdEntries = 0;

  // Reads the directory at `offset` from the section start; `level` is 1 for
  // the root. Returns false (and reads nothing) when it lies outside.
  bool Read(std::uint32_t offset, int level);
};

// An 8-byte directory entry: its child is a directory when the top bit of
// OffsetToData is set, else a data leaf.
class TResEnt : public TRes {
 public:
  using TRes::TRes;
  std::uint32_t Name = 0;  // an id, or a name offset with the top bit set
  std::uint32_t OffsetToData = 0;

  // Reads the entry at `position` in the image and its child; returns false
  // when no child came of it.
  bool Read(std::size_t position, int level);
};

// A 16-byte data entry: where one resource's bytes are.
class TResData : public TRes {
 public:
  using TRes::TRes;
  std::uint32_t DataAddress = 0;  // relative to the image base
  std::uint32_t Size = 0;
  std::uint32_t CodePage = 0;
  std::uint32_t Reserved = 0;
  std::uint32_t IconNameId = 0;  // name id and language id current when read
  std::uint32_t LanguageId = 0;

  bool Read(std::uint32_t offset);
};

class TResTree {
 public:
  // Reads the tree whose root directory starts at `sectionStart` in `image`.
  // The image must outlive the tree.
  TResTree(std::span<const std::byte> image, std::size_t sectionStart);
  TResTree(const TResTree&) = delete;
  TResTree& operator=(const TResTree&) = delete;

  std::span<const std::byte> Image() const { return image_; }
  std::size_t SectionStart() const { return sectionStart_; }
  const TResDir& Root() const { return *root_; }
  // Every data leaf in reading order.
  const std::vector<TResData*>& Leaves() const { return leaves_; }

 private:
  friend class TResDir;
  friend class TResEnt;
  friend class TResData;
  // True while another node may still be made.
  bool TakeNode();
  // The image position of `offset` from the section start when `size` bytes
  // from there lie inside the image.
  bool Locate(std::uint32_t offset, std::size_t size, std::size_t& position) const;

  std::span<const std::byte> image_;
  std::size_t sectionStart_;
  std::unique_ptr<TResDir> root_;
  std::vector<TResData*> leaves_;
  std::size_t nodes_ = 0;
  std::uint32_t currentNameId_ = 0;
  std::uint32_t currentLanguageId_ = 0;
};

// The section that holds the resource directory.
struct TResourceSection {
  std::size_t RawDataPosition = 0;  // file position of the section's data
  std::uint32_t VirtualAddress = 0;
  std::uint32_t RawSize = 0;
};

// Finds the resource section of a portable-executable image. Throws
// EResourceError "No resource section exists in\n<fileName>" when the image
// is not one or has none, and "Resources not at start of Section!" when the
// resource directory does not open its section.
TResourceSection LocateResourceSection(std::span<const std::byte> image,
                                       const std::string& fileName);

// True for an image that starts with the ELF signature: a Linux player,
// which carries no icon resources.
bool IsElfImage(std::span<const std::byte> image);

// Overwrites, in place, the first icon image of name id `nameId` with the
// image of the same byte size from `iconFile` (an icon directory followed by
// its images). The image keeps its size and layout. Throws EResourceError
// with "No resource section exists in\n<fileName>", "Resources not at start
// of Section!", "No matching icon exists in\n<fileName>", "No matching
// icon." or "Error while copying the icon."; the image is unchanged then.
void ReplaceIcon(std::vector<std::byte>& image, std::span<const std::byte> iconFile,
                 std::uint32_t nameId, const std::string& fileName);

}  // namespace duduri
