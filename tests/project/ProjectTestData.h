#pragma once
// Shared makers for the project tests: small pictures, a small master
// template set on disk, and package bodies assembled chunk by chunk.

#include <filesystem>
#include <string>

#include "project/ByteStream.h"
#include "project/Package.h"
#include "project/Project.h"

namespace duduri::test {

// A w x h JPEG of one colour with a gradient, so that it is not trivial.
TBytes MakeJpeg(int w, int h, std::uint32_t seed = 1);
// A w x h 24-bit BMP file.
TBytes MakeBmp(int w, int h);

// A master template set with a few grid entries and templates, written to
// a file in the test's temporary folder; returns its path.
std::filesystem::path MasterTemplateSetFile();

// A fresh project that writes with the test master template set.
void UseTestMaster(TJigsawProject2& project);

// Body builder: the signature, then chunks, then (by Finish) the end chunk.
class TBodyBuilder {
 public:
  TBodyBuilder();
  TByteWriter& Chunk(std::uint16_t tag, std::int32_t size);
  TByteWriter& Raw() { return out_; }
  // The body with the end chunk, compressed: a package without prefix.
  TBytes Finish();
  TBytes FinishUncompressed();

 private:
  TByteWriter out_;
};

// A project with every list and setting filled.
void FillEverything(TJigsawProject2& project);

}  // namespace duduri::test
