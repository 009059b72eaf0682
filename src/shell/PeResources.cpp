#include "shell/PeResources.h"

#include <cstring>

namespace duduri {

namespace {

constexpr std::uint16_t kDosSignature = 23117;  // "MZ"
constexpr std::uint32_t kPeSignature = 17744;   // "PE\0\0"
constexpr std::size_t kDosHeaderBytes = 64;
constexpr std::size_t kDosNewHeaderField = 60;  // offset of the PE header, last DOS field
constexpr std::size_t kFileHeaderBytes = 20;
constexpr std::size_t kSectionHeaderBytes = 40;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;
constexpr std::size_t kDirectoryBytes = 16;
constexpr std::size_t kEntryBytes = 8;
constexpr std::size_t kDataEntryBytes = 16;
constexpr std::size_t kIconHeaderBytes = 6;
constexpr std::size_t kIconEntryBytes = 16;

// Tree levels: the root directory is 1, type entries 2, name entries 4,
// language entries 6, data leaves 7.
constexpr int kTypeLevel = 2;
constexpr int kNameLevel = 4;
constexpr int kLanguageLevel = 6;
constexpr int kDeepestDirectory = 5;
constexpr int kLeafLevel = 7;

std::uint16_t U16(std::span<const std::byte> data, std::size_t at) {
  return std::uint16_t(std::uint16_t(data[at]) | std::uint16_t(data[at + 1]) << 8);
}

std::uint32_t U32(std::span<const std::byte> data, std::size_t at) {
  return std::uint32_t(data[at]) | std::uint32_t(data[at + 1]) << 8 |
         std::uint32_t(data[at + 2]) << 16 | std::uint32_t(data[at + 3]) << 24;
}

bool Fits(std::span<const std::byte> data, std::uint64_t at, std::uint64_t size) {
  return at <= data.size() && size <= data.size() - at;
}

[[noreturn]] void NoResourceSection(const std::string& fileName) {
  throw EResourceError("No resource section exists in\n" + fileName);
}

}  // namespace

TResTree::TResTree(std::span<const std::byte> image, std::size_t sectionStart)
    : image_(image), sectionStart_(sectionStart), root_(std::make_unique<TResDir>(*this)) {
  TakeNode();
  root_->Read(0, 1);
}

bool TResTree::TakeNode() {
  if (nodes_ >= kMaxResNodes) return false;
  ++nodes_;
  return true;
}

bool TResTree::Locate(std::uint32_t offset, std::size_t size, std::size_t& position) const {
  const std::uint64_t at = std::uint64_t(sectionStart_) + offset;
  if (!Fits(image_, at, size)) return false;
  position = std::size_t(at);
  return true;
}

bool TResDir::Read(std::uint32_t offset, int level) {
  std::size_t position = 0;
  if (!tree_.Locate(offset, kDirectoryBytes, position)) return false;
  const std::span<const std::byte> image = tree_.Image();
  Characteristics = U32(image, position);
  TimeDateStamp = U32(image, position + 4);
  MajorVersion = U16(image, position + 8);
  MinorVersion = U16(image, position + 10);
  NumberOfNamedEntries = U16(image, position + 12);
  NumberOfIdEntries = U16(image, position + 14);

  const std::size_t count = std::size_t(NumberOfNamedEntries) + NumberOfIdEntries;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint64_t entryPosition = position + kDirectoryBytes + i * kEntryBytes;
    if (!Fits(image, entryPosition, kEntryBytes) || !tree_.TakeNode()) break;
    auto entry = std::make_unique<TResEnt>(tree_);
    if (entry->Read(std::size_t(entryPosition), level + 1)) children_.push_back(std::move(entry));
  }
  return true;
}

bool TResEnt::Read(std::size_t position, int level) {
  const std::span<const std::byte> image = tree_.Image();
  Name = U32(image, position);
  OffsetToData = U32(image, position + 4);
  if (level == kTypeLevel && Name != kResTypeIcon) return false;
  if (level == kNameLevel) tree_.currentNameId_ = Name;
  if (level == kLanguageLevel) tree_.currentLanguageId_ = Name;
  if (!tree_.TakeNode()) return false;

  // The format has directories at levels 1, 3 and 5 and data at 7; a node
  // anywhere else is dropped. This also ends a directory that names one of
  // its ancestors, and keeps a leaf from taking a stale name id.
  if (OffsetToData & kSubdirectoryBit) {
    if (level + 1 > kDeepestDirectory) return false;
    auto directory = std::make_unique<TResDir>(tree_);
    if (!directory->Read(OffsetToData & ~kSubdirectoryBit, level + 1)) return false;
    children_.push_back(std::move(directory));
  } else {
    if (level + 1 != kLeafLevel) return false;
    auto data = std::make_unique<TResData>(tree_);
    if (!data->Read(OffsetToData)) return false;
    tree_.leaves_.push_back(data.get());
    children_.push_back(std::move(data));
  }
  return true;
}

bool TResData::Read(std::uint32_t offset) {
  std::size_t position = 0;
  if (!tree_.Locate(offset, kDataEntryBytes, position)) return false;
  const std::span<const std::byte> image = tree_.Image();
  DataAddress = U32(image, position);
  Size = U32(image, position + 4);
  CodePage = U32(image, position + 8);
  Reserved = U32(image, position + 12);
  IconNameId = tree_.currentNameId_;
  LanguageId = tree_.currentLanguageId_;
  return true;
}

TResourceSection LocateResourceSection(std::span<const std::byte> image,
                                       const std::string& fileName) {
  if (image.size() < kDosHeaderBytes || U16(image, 0) != kDosSignature) NoResourceSection(fileName);
  const std::uint64_t peHeader = U32(image, kDosNewHeaderField);
  if (!Fits(image, peHeader, 4 + kFileHeaderBytes) || U32(image, peHeader) != kPeSignature) {
    NoResourceSection(fileName);
  }
  const std::uint64_t fileHeader = peHeader + 4;
  const std::uint16_t sectionCount = U16(image, fileHeader + 2);
  const std::uint16_t optionalHeaderSize = U16(image, fileHeader + 16);
  const std::uint64_t optionalHeader = fileHeader + kFileHeaderBytes;
  if (!Fits(image, optionalHeader, optionalHeaderSize) || optionalHeaderSize < 2) {
    NoResourceSection(fileName);
  }

  // The data directory follows the fixed fields, which are longer in the
  // 64-bit form; the section table follows the optional header, whatever
  // its declared size.
  std::uint64_t directoryCountField = 0;
  switch (U16(image, optionalHeader)) {
    case kPe32Magic:
      directoryCountField = 92;
      break;
    case kPe32PlusMagic:
      directoryCountField = 108;
      break;
    default:
      NoResourceSection(fileName);
  }
  const std::uint64_t resourceEntry = directoryCountField + 4 + kResourceDirectoryIndex * 8;
  if (resourceEntry + 8 > optionalHeaderSize) NoResourceSection(fileName);
  if (U32(image, optionalHeader + directoryCountField) <= kResourceDirectoryIndex) {
    NoResourceSection(fileName);
  }
  const std::uint32_t resourceAddress = U32(image, optionalHeader + resourceEntry);
  const std::uint32_t resourceSize = U32(image, optionalHeader + resourceEntry + 4);
  if (resourceAddress == 0 || resourceSize == 0) NoResourceSection(fileName);

  const std::uint64_t sectionTable = optionalHeader + optionalHeaderSize;
  for (std::uint64_t i = 0; i < sectionCount; ++i) {
    const std::uint64_t header = sectionTable + i * kSectionHeaderBytes;
    if (!Fits(image, header, kSectionHeaderBytes)) break;
    const std::uint32_t address = U32(image, header + 12);
    const std::uint32_t rawSize = U32(image, header + 16);
    const std::uint32_t rawPosition = U32(image, header + 20);
    if (address <= resourceAddress && resourceAddress < std::uint64_t(address) + rawSize) {
      if (address != resourceAddress) throw EResourceError("Resources not at start of Section!");
      return TResourceSection{rawPosition, address, rawSize};
    }
  }
  NoResourceSection(fileName);
}

bool IsElfImage(std::span<const std::byte> image) {
  static constexpr std::byte kElf[4] = {std::byte{0x7F}, std::byte{'E'}, std::byte{'L'},
                                        std::byte{'F'}};
  return image.size() >= 4 && std::memcmp(image.data(), kElf, 4) == 0;
}

namespace {

// The image inside an icon file whose byte size is `size`, or an empty
// span when the file has none. Throws when the entry's bytes run past the
// end of the file.
std::span<const std::byte> FindIconImage(std::span<const std::byte> iconFile, std::uint32_t size) {
  if (iconFile.size() < kIconHeaderBytes) throw EResourceError("No matching icon.");
  const std::uint16_t reserved = U16(iconFile, 0);
  const std::uint16_t type = U16(iconFile, 2);
  const std::uint16_t count = U16(iconFile, 4);
  // An icon directory has reserved 0 and type 1; anything else (a cursor,
  // a stray file) is not an icon to put into a program.
  if (reserved != 0 || type != 1) throw EResourceError("No matching icon.");
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint64_t entry = kIconHeaderBytes + i * kIconEntryBytes;
    if (!Fits(iconFile, entry, kIconEntryBytes)) break;
    if (U32(iconFile, entry + 8) != size) continue;
    const std::uint32_t imageOffset = U32(iconFile, entry + 12);
    if (!Fits(iconFile, imageOffset, size)) throw EResourceError("Error while copying the icon.");
    return iconFile.subspan(imageOffset, size);
  }
  throw EResourceError("No matching icon.");
}

}  // namespace

void ReplaceIcon(std::vector<std::byte>& image, std::span<const std::byte> iconFile,
                 std::uint32_t nameId, const std::string& fileName) {
  const TResourceSection section = LocateResourceSection(image, fileName);
  const TResTree tree(image, section.RawDataPosition);
  const TResData* leaf = nullptr;
  for (const TResData* candidate : tree.Leaves()) {
    if (candidate->IconNameId == nameId && candidate->Size != 0 && candidate->DataAddress != 0) {
      leaf = candidate;
      break;
    }
  }
  if (leaf == nullptr) throw EResourceError("No matching icon exists in\n" + fileName);

  const std::span<const std::byte> replacement = FindIconImage(iconFile, leaf->Size);
  const std::int64_t position = std::int64_t(leaf->DataAddress) +
                                std::int64_t(section.RawDataPosition) -
                                std::int64_t(section.VirtualAddress);
  // The leaf's bytes must lie inside the file: an icon is replaced in place
  // and never grows the file.
  if (position < 0 || !Fits(image, std::uint64_t(position), leaf->Size)) {
    throw EResourceError("Error while copying the icon.");
  }
  std::memcpy(image.data() + position, replacement.data(), replacement.size());
}

}  // namespace duduri
