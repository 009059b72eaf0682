#include "MonkeyAnswers.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "shell/ShellTexts.h"
#include "shell/TestProject.h"

namespace duduri::monkey {

namespace fs = std::filesystem;

namespace {

void writeBytes(const fs::path& path, const std::vector<std::byte>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<std::byte> readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> raw{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<std::byte> bytes(raw.size());
  if (!raw.empty()) std::memcpy(bytes.data(), raw.data(), raw.size());
  return bytes;
}

}  // namespace

int TMonkeyRandom::Weighted(std::initializer_list<int> weights) {
  int total = 0;
  for (int w : weights) total += w;
  int roll = Below(total);
  int index = 0;
  for (int w : weights) {
    if (roll < w) return index;
    roll -= w;
    ++index;
  }
  return 0;
}

TMonkeyAnswers::TMonkeyAnswers(TMonkeyRandom& random, fs::path folder, bool tame)
    : random_(random), folder_(std::move(folder)), tame_(tame) {
  fs::create_directories(folder_);
  fs::create_directories(folder_ / "folder.jsw");
  std::vector<std::byte> noise(300);
  for (std::byte& b : noise) b = std::byte(random_.Below(256));
  writeBytes(folder_ / "broken.jsw", noise);
  writeBytes(folder_ / "broken.jpg", noise);
  writeBytes(folder_ / "empty.jsw", {});
  writeBytes(folder_ / "mine.jpg", test::PaintedJpeg(180, 120, 5));
  writeBytes(PlayerFile(), std::vector<std::byte>(4096, std::byte{0x90}));
  // Pictures opened to play are cut with the master template set beside
  // the program.
  std::error_code ec;
  fs::create_symlink(test::MasterTemplates(), folder_ / "all.pzjc", ec);
}

fs::path TMonkeyAnswers::DroppedFile() {
  static const char* const names[] = {"mine.jpg", "broken.jpg", "project.pzp", "game1.jsw",
                                      "missing.jpg", "folder.jsw", "made", "shot.bmp"};
  return folder_ / names[random_.Weighted({40, 10, 15, 8, 7, tame_ ? 0 : 5, 5, 10})];
}

TModalResult TMonkeyAnswers::Message(const std::string& text, TMsgButtons buttons) {
  Messages.push_back(text);
  if (buttons != TMsgButtons::mbYesNo) return TModalResult::mrOk;
  // Quitting ends the run, so it is agreed to now and then only; playing
  // on after a game is what keeps the monkey busy.
  int yes = 50;
  if (text.rfind("Quit ", 0) == 0) yes = 12;
  if (text == kMsgNoMoreImage || text == kMsgPlayAgain) yes = 85;
  return random_.Chance(yes) ? TModalResult::mrYes : TModalResult::mrNo;
}

bool TMonkeyAnswers::SolveAll() {
  return random_.Chance(60);
}

fs::path TMonkeyAnswers::savedGame() {
  return folder_ / ("game" + std::to_string(random_.Between(1, 3)) + ".jsw");
}

// A saved game made from one the monkey saved: cut short, or rewritten in
// the old format (version 4: no level, no cheat count).
fs::path TMonkeyAnswers::derivedGame(bool old) {
  const fs::path source = savedGame();
  std::vector<std::byte> bytes = readBytes(source);
  const fs::path target = folder_ / (old ? "old.jsw" : "short.jsw");
  if (old) {
    constexpr std::size_t kPathLength = 24;
    if (bytes.size() < kPathLength + 4) return source;
    std::int32_t n = 0;
    std::memcpy(&n, bytes.data() + kPathLength, 4);
    const std::size_t level = 32 + std::size_t(n);
    if (n < 0 || level + 3 > bytes.size()) return source;
    bytes.erase(bytes.begin() + std::ptrdiff_t(level), bytes.begin() + std::ptrdiff_t(level + 3));
    const std::int32_t version = 4;
    std::memcpy(bytes.data() + 4, &version, 4);
  } else {
    bytes.resize(std::size_t(random_.Below(int(bytes.size()) + 1)));
  }
  writeBytes(target, bytes);
  return target;
}

TFileDialogResult TMonkeyAnswers::chosen(const fs::path& path, int filter) {
  return TFileDialogResult{true, path.string(), filter};
}

TFileDialogResult TMonkeyAnswers::OpenFile(const std::string& title) {
  const int filter = tame_ ? 1 : random_.Weighted({90, 6, 4}) == 0 ? 1 : random_.Between(0, 3);
  if (title == kTitleOpenImage) {
    switch (random_.Weighted({60, 10, 10, 20})) {
      case 0:
        return chosen(folder_ / "mine.jpg", random_.Between(1, 2));
      case 1:
        return chosen(folder_ / "broken.jpg", 2);
      case 2:
        return chosen(folder_ / "missing.jpg", 2);
      default:
        return {};
    }
  }
  switch (random_.Weighted({50, 8, 8, 5, 3, 5, tame_ ? 0 : 3, 3, 15})) {
    case 0:
      return chosen(savedGame(), filter);
    case 1:
      return chosen(derivedGame(true), filter);
    case 2:
      return chosen(derivedGame(false), filter);
    case 3:
      return chosen(folder_ / "broken.jsw", filter);
    case 4:
      return chosen(folder_ / "empty.jsw", filter);
    case 5:
      return chosen(folder_ / "missing.jsw", filter);
    case 6:
      return chosen(folder_ / "folder.jsw", filter);
    case 7:
      return chosen(folder_ / "nowhere" / "game.jsw", filter);
    default:
      return {};
  }
}

TFileDialogResult TMonkeyAnswers::SaveFile(const std::string& title) {
  const bool odd = !tame_ && random_.Chance(12);
  if (odd) {
    const fs::path where = random_.Chance(50) ? folder_ / "folder.jsw" : folder_ / "nowhere" / "x";
    return chosen(where, random_.Between(1, 2));
  }
  if (random_.Chance(12)) return {};
  if (title == kTitleSavePicture) {
    switch (random_.Below(3)) {
      case 0:
        return chosen(folder_ / "shot.bmp", 1);
      case 1:
        return chosen(folder_ / "shot.jpg", 2);
      default:
        return chosen(folder_ / "shot", random_.Between(1, 2));
    }
  }
  if (title == kTitleSaveExecutable) return chosen(folder_ / "made", 1);
  return chosen(savedGame(), 1);
}

std::optional<int> TMonkeyAnswers::Skin(int count) {
  if (random_.Chance(35)) return std::nullopt;
  return random_.Between(tame_ ? 0 : -2, tame_ ? count - 1 : count + 1);
}

std::optional<TPieceRange> TMonkeyAnswers::Difficulty() {
  // Mostly the small presets: every change cuts the picture again, and a
  // game of two hundred pieces costs the monkey its time.
  const int pick = random_.Weighted({25, 30, 22, 12, 5, 3, 2, tame_ ? 0 : 3});
  if (pick == 0) return std::nullopt;
  if (pick <= kDifficultyCount) return DifficultyRange(pick - 1);
  static constexpr TPieceRange kOdd[] = {{-1, -1}, {0, 0}, {1, 1}, {30, 20}, {2, 3}, {-5, 40}};
  return kOdd[random_.Below(int(std::size(kOdd)))];
}

TModalResult TMonkeyAnswers::PlayAgain() {
  return random_.Chance(85) ? TModalResult::mrOk : TModalResult::mrCancel;
}

TModalResult TMonkeyAnswers::NextPicture() {
  switch (random_.Weighted({50, 40, 10})) {
    case 0:
      return TModalResult::mrOk;
    case 1:
      return TModalResult::mrYes;
    default:
      return TModalResult::mrCancel;
  }
}

int TMonkeyAnswers::Picture(int count) {
  return random_.Between(tame_ ? 0 : -1, tame_ ? count - 1 : count);
}

std::string TMonkeyAnswers::Name() {
  switch (random_.Below(tame_ ? 3 : 5)) {
    case 0:
      return "Tester";
    case 1:
      return "";
    case 2:
      return std::string(std::size_t(random_.Between(100, 400)), 'M');
    case 3:
      return "n\xC3\xA4me \xE5\x90\x8D";
    default: {
      std::string name(std::size_t(random_.Between(1, 24)), ' ');
      for (char& c : name) c = char(random_.Between(1, 255));
      return name;
    }
  }
}

void TMonkeyAnswers::Result(const std::string& caption) {
  if (OnResult) OnResult(caption);
}

}  // namespace duduri::monkey
