#pragma once
// Builds small portable-executable images for the tests: a DOS header, the
// PE headers, one resource section holding a tree of icon images, and icon
// files to put into them.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace duduri::testing {

struct TTestIcon {
  std::uint32_t NameId = 1;
  std::uint32_t Size = 0;
  std::uint8_t Fill = 0;  // every byte of the image
};

struct TPeOptions {
  std::vector<TTestIcon> Icons;
  bool Pe32Plus = false;
  std::uint32_t SectionAddress = 0x1000;
  std::uint32_t ResourceAddress = 0x1000;  // where the data directory says
  std::uint32_t ResourceSize = 0;          // 0: the section's size
  std::uint32_t RawPosition = 0x200;
};

inline void Put16(std::vector<std::byte>& b, std::size_t at, std::uint32_t v) {
  if (b.size() < at + 2) b.resize(at + 2);
  b[at] = std::byte(v);
  b[at + 1] = std::byte(v >> 8);
}

inline void Put32(std::vector<std::byte>& b, std::size_t at, std::uint32_t v) {
  if (b.size() < at + 4) b.resize(at + 4);
  for (int k = 0; k < 4; ++k) b[at + std::size_t(k)] = std::byte(v >> (8 * k));
}

// The resource section: a root with a manifest type (24) that must be
// ignored and the icon type (3); one name entry per icon, one language entry
// each, and the image bytes after the tree.
inline std::vector<std::byte> BuildResourceSection(const std::vector<TTestIcon>& icons,
                                                   std::uint32_t sectionAddress) {
  std::vector<std::byte> s;
  const std::size_t n = icons.size();
  const std::uint32_t root = 0;
  const std::uint32_t manifestLeaf = 16 + 2 * 8;                       // 16-byte data entry
  const std::uint32_t nameDir = manifestLeaf + 16;                     // 16 + n * 8
  const std::uint32_t langDirs = nameDir + 16 + std::uint32_t(n) * 8;  // n x 24
  const std::uint32_t leaves = langDirs + std::uint32_t(n) * 24;       // n x 16
  std::uint32_t data = leaves + std::uint32_t(n) * 16;

  s.resize(data);
  Put16(s, root + 14, 2);  // two id entries
  Put32(s, root + 16, 3);
  Put32(s, root + 20, 0x80000000u | nameDir);
  Put32(s, root + 24, 24);
  Put32(s, root + 28, manifestLeaf);
  Put32(s, manifestLeaf, sectionAddress);  // points at the root: must not be touched
  Put32(s, manifestLeaf + 4, 8);
  Put16(s, nameDir + 14, std::uint32_t(n));
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t langDir = langDirs + std::uint32_t(i) * 24;
    const std::uint32_t leaf = leaves + std::uint32_t(i) * 16;
    Put32(s, nameDir + 16 + i * 8, icons[i].NameId);
    Put32(s, nameDir + 20 + i * 8, 0x80000000u | langDir);
    Put16(s, langDir + 14, 1);
    Put32(s, langDir + 16, 1033);
    Put32(s, langDir + 20, leaf);
    Put32(s, leaf, sectionAddress + data);
    Put32(s, leaf + 4, icons[i].Size);
    s.resize(data + icons[i].Size, std::byte(icons[i].Fill));
    data += icons[i].Size;
  }
  return s;
}

inline std::vector<std::byte> BuildPeImage(const TPeOptions& o) {
  std::vector<std::byte> b(o.RawPosition, std::byte{0});
  Put16(b, 0, 0x5A4D);
  Put32(b, 60, 64);
  Put32(b, 64, 0x4550);
  const std::size_t fileHeader = 68;
  Put16(b, fileHeader, o.Pe32Plus ? 0x8664 : 0x14C);
  Put16(b, fileHeader + 2, 1);
  const std::uint32_t optionalSize = o.Pe32Plus ? 240 : 224;
  Put16(b, fileHeader + 16, optionalSize);
  const std::size_t optional = fileHeader + 20;
  Put16(b, optional, o.Pe32Plus ? 0x20B : 0x10B);
  const std::size_t countField = optional + (o.Pe32Plus ? 108 : 92);
  Put32(b, countField, 16);
  const std::vector<std::byte> section = BuildResourceSection(o.Icons, o.SectionAddress);
  Put32(b, countField + 4 + 16, o.ResourceAddress);
  Put32(b, countField + 4 + 20, o.ResourceSize ? o.ResourceSize : std::uint32_t(section.size()));
  const std::size_t header = optional + optionalSize;
  const char name[] = ".rsrc";
  for (std::size_t k = 0; k < 5; ++k) b[header + k] = std::byte(name[k]);
  Put32(b, header + 8, std::uint32_t(section.size()));
  Put32(b, header + 12, o.SectionAddress);
  Put32(b, header + 16, std::uint32_t(section.size()));
  Put32(b, header + 20, o.RawPosition);
  b.resize(o.RawPosition);
  b.insert(b.end(), section.begin(), section.end());
  return b;
}

// An icon file: 6-byte header, 16-byte entries, then the images.
inline std::vector<std::byte> BuildIconFile(const std::vector<TTestIcon>& images,
                                            std::uint16_t reserved = 0, std::uint16_t type = 1) {
  std::vector<std::byte> b;
  Put16(b, 0, reserved);
  Put16(b, 2, type);
  Put16(b, 4, std::uint32_t(images.size()));
  std::uint32_t offset = 6 + 16 * std::uint32_t(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const std::size_t e = 6 + 16 * i;
    b.resize(e + 16);
    b[e] = std::byte{32};
    b[e + 1] = std::byte{32};
    Put16(b, e + 4, 1);
    Put16(b, e + 6, 32);
    Put32(b, e + 8, images[i].Size);
    Put32(b, e + 12, offset);
    offset += images[i].Size;
  }
  for (const TTestIcon& image : images) b.resize(b.size() + image.Size, std::byte(image.Fill));
  return b;
}

}  // namespace duduri::testing
