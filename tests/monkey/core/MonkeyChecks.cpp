#include "MonkeyChecks.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "project/HighScore.h"
#include "shell/GameFlow.h"
#include "shell/ShellTexts.h"

namespace duduri::monkey {

namespace {

std::vector<std::byte> fileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> raw{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<std::byte> bytes(raw.size());
  std::transform(raw.begin(), raw.end(), bytes.begin(), [](char c) { return std::byte(c); });
  return bytes;
}

bool startsWith(const std::string& s, const std::string& prefix) {
  return s.rfind(prefix, 0) == 0;
}

bool endsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Texts the program says on purpose.
bool knownMessage(const std::string& m) {
  static const char* const exact[] = {kMsgNoBitmap,           kMsgInvalidData,
                                      kMsgPlaySavedLayout,    kMsgInvalidPictureIndex,
                                      kMsgNoMoreImage,        kMsgPlayAgain,
                                      kMsgSolveAll,           kMsgUnableToSaveGame,
                                      kMsgWriteStreamError,   kMsgUnableToSavePicture};
  for (const char* e : exact) {
    if (m == e) return true;
  }
  return startsWith(m, "Quit ") || startsWith(m, "Leave the game in progress") || startsWith(m, kMsgGameSavedPrefix) ||
         startsWith(m, kMsgPictureSavedPrefix) || endsWith(m, kMsgExecutableCreatedSuffix) ||
         startsWith(m, "Unable to load JSW file. ") ||
         (startsWith(m, "File ") && (endsWith(m, " not found.") || m.find("old JSW") != m.npos));
}

// Texts no one meant a player to read: what the standard library and the
// compiler's runtime put into their exceptions.
bool internalMessage(const std::string& m) {
  static const char* const marks[] = {"std::",      "vector",  "basic_string", "bad_alloc",
                                      "out_of_range", "bad_function", "bad_optional",
                                      "invalid_argument", "stoi", "map::at", "length_error"};
  for (const char* mark : marks) {
    if (m.find(mark) != m.npos) return true;
  }
  return m.empty();
}

bool onTable(const TSpriteDraw& b, int r, int c) {
  const TPieceSprite& p = b.Piece(r, c);
  const int w = RotatedWidth(p);
  const int h = RotatedHeight(p);
  return p.X < b.BoardWidth() && p.Y < b.BoardHeight() && p.X + w > 0 && p.Y + h > 0;
}

// Whether a member of the piece's group (joined neighbours that agree on
// where they lie, as the board finds groups) is on the table.
bool groupOnTable(const TSpriteDraw& b, int row, int col) {
  const int columns = b.PiecesX();
  std::vector<std::uint8_t> seen(std::size_t(b.PiecesTotal()), 0);
  std::vector<std::pair<int, int>> todo{{row, col}};
  seen[std::size_t(row) * columns + col] = 1;
  while (!todo.empty()) {
    const auto [r, c] = todo.back();
    todo.pop_back();
    if (onTable(b, r, c)) return true;
    const TBoardPoint own = b.Offset(r, c);
    static constexpr int kDr[4] = {0, 0, -1, 1};
    static constexpr int kDc[4] = {-1, 1, 0, 0};
    for (int k = 0; k < 4; ++k) {
      const int nr = r + kDr[k];
      const int nc = c + kDc[k];
      if (nr < 0 || nc < 0 || nr >= b.PiecesY() || nc >= columns) continue;
      if (seen[std::size_t(nr) * columns + nc] || b.Piece(nr, nc).Placed == 0) continue;
      const TBoardPoint other = b.Offset(nr, nc);
      if (std::abs(own.X - other.X) > 1 || std::abs(own.Y - other.Y) > 1) continue;
      seen[std::size_t(nr) * columns + nc] = 1;
      todo.push_back({nr, nc});
    }
  }
  return false;
}

}  // namespace

TMonkeyChecks::TMonkeyChecks(IMonkeyHands& hands, TMonkeyAnswers& answers)
    : hands_(hands), answers_(answers) {
  answers_.OnResult = [this](const std::string& caption) {
    const std::int64_t key = gameKey();
    TGameEnd& end = ends_[key];
    if (caption == kLoseCaption) {
      ++end.losses;
      ++losses_;
    } else {
      ++end.wins;
      ++wins_;
      wonGame_ = key;
    }
    if (end.wins > 1) pendingResultError_ = "a game's win was shown twice";
    if (end.losses > 1) pendingResultError_ = "a game was lost twice";
    if (end.wins > 0 && end.losses > 0) pendingResultError_ = "a won game was also lost";
  };
}

std::int64_t TMonkeyChecks::gameKey() const {
  TGameFlow* flow = hands_.Flow();
  return std::int64_t(run_) * 1000000 + (flow ? flow->GamesBuilt() : 0);
}

void TMonkeyChecks::RunStarted() {
  ++run_;
  wonGame_ = -1;
  lastLeft_ = -1;
}

void TMonkeyChecks::RunEnding() {
  scoresSaved_ = false;
  TGameFlow* flow = hands_.Flow();
  if (!flow) return;
  const std::filesystem::path file = flow->Environment().HighScorePath;
  fileBefore_ = fileBytes(file);
  endingScores_ = flow->HighScores().SaveToBytes();
  scoresSaved_ = flow->Project() && !flow->Project()->HighScoresDisabled();
}

std::string TMonkeyChecks::RunEnded() {
  const std::filesystem::path file = answers_.Folder() / kHighScoreFile;
  const std::vector<std::byte> now = fileBytes(file);
  if (scoresSaved_ && now != endingScores_) return "the high scores were not saved as they stood";
  if (!scoresSaved_ && now != fileBefore_) return "the high-score file changed though not saved";
  return "";
}

std::string TMonkeyChecks::board(const TSpriteDraw& b) {
  const int columns = b.PiecesX();
  const int rows = b.PiecesY();
  int unjoined = 0;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const TPieceSprite& p = b.Piece(r, c);
      auto where = [&] {
        std::ostringstream s;
        s << "piece (" << r << "," << c << ") at " << p.X << "," << p.Y << " rot "
          << int(p.Rotation) << ": ";
        return s.str();
      };
      if (p.Rotation > 3 || (b.NoPieceRotation() && p.Rotation != 0)) {
        return where() + "a rotation the board cannot draw";
      }
      // Solve-all flies every piece home from wherever it is; the one-piece
      // solver flies one to its neighbour, who may lie at the table's edge.
      if (b.SolvingAll()) continue;
      const bool flying = b.SolvingOne() && r == b.ClickedRow() && c == b.ClickedCol();
      // A joined piece may hang off the table as long as its group can
      // still be taken by a member that lies on it.
      if (!flying && !onTable(b, r, c) && (p.Placed == 0 || !groupOnTable(b, r, c))) {
        return where() + "off its table";
      }
      if (p.Placed == 0) {
        ++unjoined;
        continue;
      }
      // A joined piece agrees with a joined neighbour (solve-all joins
      // each piece as it arrives, so its pieces are checked once it ends).
      if (b.SolvingAll() || rows * columns == 1) continue;
      bool agrees = false;
      const TBoardPoint own = b.Offset(r, c);
      static constexpr int kDr[4] = {0, 0, -1, 1};
      static constexpr int kDc[4] = {-1, 1, 0, 0};
      for (int k = 0; k < 4 && !agrees; ++k) {
        const int nr = r + kDr[k];
        const int nc = c + kDc[k];
        if (nr < 0 || nc < 0 || nr >= rows || nc >= columns) continue;
        if (b.Piece(nr, nc).Placed == 0) continue;
        const TBoardPoint other = b.Offset(nr, nc);
        agrees = std::abs(own.X - other.X) <= 1 && std::abs(own.Y - other.Y) <= 1;
      }
      if (!agrees) return where() + "joined, but to no neighbour where it lies";
    }
  }
  if (!b.SolvingAll() && b.PiecesLeft() != unjoined) {
    return "pieces left " + std::to_string(b.PiecesLeft()) + ", unjoined pieces " +
           std::to_string(unjoined);
  }
  if (!b.SolvingAll()) {
    if (lastLeft_ >= 0 && unjoined < lastLeft_) joins_ += lastLeft_ - unjoined;
    lastLeft_ = unjoined;
  }
  std::vector<std::uint8_t> seen(std::size_t(rows) * std::size_t(columns), 0);
  if (b.StackingOrder().size() != seen.size()) return "the stacking order misses pieces";
  for (const TZPos& z : b.StackingOrder()) {
    if (z.Col >= columns || z.Row >= rows || seen[std::size_t(z.Row) * columns + z.Col]++) {
      return "the stacking order holds a piece twice";
    }
  }
  if (b.Ticks() < 0 || b.TickCounter() < 0) {
    return "the clock is negative: " + std::to_string(b.Ticks());
  }
  return "";
}

std::string TMonkeyChecks::shown(const TGameFlow& flow, const TSpriteDraw& b) {
  if (!b.SolvingAll()) {
    if (hands_.StatusText(0) != std::to_string(b.PiecesLeft())) {
      return "the status bar shows " + hands_.StatusText(0) + " pieces left, the board has " +
             std::to_string(b.PiecesLeft());
    }
    if (hands_.StatusText(1) != std::to_string(b.PiecesTotal())) {
      return "the status bar shows " + hands_.StatusText(1) + " pieces, the board has " +
             std::to_string(b.PiecesTotal());
    }
  }
  const std::string clock = hands_.StatusText(2);
  if (!clock.empty() && b.HasOnTicks() && b.EnabledTimer() && clock != FormatClock(b.Ticks())) {
    return "the status bar's clock shows " + clock + ", the board's is " + FormatClock(b.Ticks());
  }
  const int solution = hands_.SolutionShown();
  if (solution >= 0 && solution != b.SolutionBitmap().Width()) {
    return "the solution window shows another game's picture";
  }
  if (wonGame_ == gameKey() && !flow.WinHandled()) return "a won game is no longer won";
  return "";
}

std::string TMonkeyChecks::messages() {
  std::string broken;
  for (const std::string& m : answers_.Messages) {
    if (knownMessage(m)) continue;
    if (internalMessage(m) && broken.empty()) broken = "an error box says \"" + m + "\"";
    // The run's folder differs from run to run; the message is the same.
    std::string same = m;
    const std::string folder = answers_.Folder().string();
    if (const std::size_t at = same.find(folder); at != same.npos) {
      same.replace(at, folder.size(), "<folder>");
    }
    ++otherMessages_[same];
  }
  answers_.Messages.clear();
  return broken;
}

std::string TMonkeyChecks::After() {
  if (!pendingResultError_.empty()) {
    std::string e;
    std::swap(e, pendingResultError_);
    return e;
  }
  if (std::string m = messages(); !m.empty()) return m;
  TGameFlow* flow = hands_.Flow();
  if (!flow || flow->Terminated()) return "";
  const TSpriteDraw* b = flow->Board();
  if (!b) return "";
  if (std::string e = board(*b); !e.empty()) return e;
  if (hands_.Ended()) return "";
  return shown(*flow, *b);
}

}  // namespace duduri::monkey
