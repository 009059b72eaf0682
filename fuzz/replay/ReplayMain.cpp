// Runs a fuzz target's entry point over files instead of under libFuzzer:
// every file named on the command line, and every file inside the folders
// named there. The tests run each target this way over its seed corpus and
// over the inputs that once made it fail, so those inputs stay fixed in
// every build (and under the sanitizers of the debug build).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool runFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", file.c_str());
    return false;
  }
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int files = 0;
  bool ok = true;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path = argv[i];
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
        if (!entry.is_regular_file()) continue;
        ok = runFile(entry.path()) && ok;
        ++files;
      }
    } else if (std::filesystem::exists(path, ec)) {
      ok = runFile(path) && ok;
      ++files;
    }
  }
  std::printf("%d inputs ran\n", files);
  return ok ? 0 : 1;
}
