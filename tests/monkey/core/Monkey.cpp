#include "Monkey.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "MonkeyProjects.h"
#include "shell/Commands.h"
#include "shell/GameFlow.h"
#include "shell/ShellTexts.h"

namespace duduri::monkey {

namespace {

std::string describe(const char* what, int a = INT_MIN, int b = INT_MIN, int c = INT_MIN,
                     int d = INT_MIN) {
  std::string s = what;
  for (int v : {a, b, c, d}) {
    if (v == INT_MIN) continue;
    s.push_back(' ');
    s.append(std::to_string(v));
  }
  return s;
}

void collectNodes(const std::vector<std::unique_ptr<TMenuNode>>& items,
                  std::vector<const TMenuNode*>& out) {
  for (const auto& node : items) {
    if (node->Command) out.push_back(node.get());
    collectNodes(node->Children, out);
  }
}

}  // namespace

std::string ReplayCommand(const char* program, std::uint64_t seed, long events) {
  return "MONKEY_SEED=" + std::to_string(seed) + " MONKEY_EVENTS=" + std::to_string(events) + " " +
         program + " --gtest_filter=Monkey.Replay";
}

TMonkey::TMonkey(const TMonkeyOptions& options, IMonkeyHands& hands, TMonkeyAnswers& answers,
                 TMonkeyRandom& random)
    : options_(options), hands_(hands), answers_(answers), random_(random), checks_(hands, answers) {
  project_ = options.Project >= 0 ? std::size_t(options.Project)
                                  : std::size_t(random_.Below(int(MonkeyProjects().size())));
}

// ---- Runs of the program ---------------------------------------------------------

void TMonkey::start() {
  const auto& projects = MonkeyProjects();
  if (options_.ChangeGames) project_ = std::size_t(random_.Below(int(projects.size())));
  TMonkeyStart s;
  s.Package = *projects[project_].Package;
  s.FromFile = random_.Chance(30);
  s.DeleteAtEnd = s.FromFile && random_.Chance(30);
  s.Seed = random_.Next() % 100000 + 1;
  const std::filesystem::path file = answers_.Folder() / "project.pzp";
  if (s.FromFile) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(s.Package.data()), std::streamsize(s.Package.size()));
  }
  hands_.Start(s, file);
  checks_.RunStarted();
  ++runs_;
}

void TMonkey::stop() {
  TGameFlow* flow = hands_.Flow();
  if (!flow) return;
  games_ += flow->GamesBuilt();
  checks_.RunEnding();
  hands_.Stop();
  const std::string broken = checks_.RunEnded();
  if (!broken.empty() && stopFailure_.empty()) stopFailure_ = broken;
}

TMonkeyReport TMonkey::Run() {
  TMonkeyReport report;
  std::deque<std::string> recent;
  auto fail = [&](long event, const std::string& why) {
    report.Failed = true;
    report.EventAtFailure = event;
    report.Failure = why;
    for (const std::string& r : recent) report.Recent += "  " + r + "\n";
  };
  start();
  const char* trace = std::getenv("MONKEY_TRACE");
  for (long i = 0; i < options_.Events; ++i) {
    recent.push_back(std::to_string(i) + ": " + Step());
    if (trace && *trace) std::fprintf(stderr, "%s | %s\n", recent.back().c_str(), state().c_str());
    if (recent.size() > 30) recent.pop_front();
    ++report.Events;
    std::string broken = stopFailure_.empty() ? checks_.After() : stopFailure_;
    if (!broken.empty()) {
      fail(i, broken);
      break;
    }
  }
  stop();
  if (!report.Failed && !stopFailure_.empty()) fail(report.Events, stopFailure_);
  report.Inputs = inputs_;
  report.Runs = runs_;
  report.Games = games_;
  report.Wins = checks_.Wins();
  report.Losses = checks_.Losses();
  report.Joins = checks_.Joins();
  report.OtherMessages = checks_.OtherMessages();
  return report;
}

// A line on the board's state, for following a run event by event
// (MONKEY_TRACE=1, or MONKEY_TRACE=row,col to follow one piece too).
std::string TMonkey::state() {
  TGameFlow* flow = hands_.Flow();
  const TSpriteDraw* b = flow ? flow->Board() : nullptr;
  if (!b) return "no board";
  char line[200];
  std::snprintf(line, sizeof line, "game %d left %d ticks %d%s%s%s%s%s%s", flow->GamesBuilt(),
                b->PiecesLeft(), b->Ticks(), b->Dragging() ? " dragging" : "",
                b->GroupDragging() ? " group" : "", b->GamePaused() ? " paused" : "",
                b->SolvingAll() ? " solving-all" : "", b->SolvingOne() ? " solving-one" : "",
                flow->WinHandled() ? " won" : "");
  std::string s = line;
  int r = 0, c = 0;
  if (const char* watch = std::getenv("MONKEY_TRACE");
      watch && std::sscanf(watch, "%d,%d", &r, &c) == 2 && r < b->PiecesY() && c < b->PiecesX()) {
    const TPieceSprite& p = b->Piece(r, c);
    std::snprintf(line, sizeof line, " | (%d,%d) at %d,%d rot %d placed %d selected %d", r, c, p.X,
                  p.Y, int(p.Rotation), int(p.Placed), int(p.Selected));
    s += line;
  }
  return s;
}

std::string TMonkey::Step() {
  if (!hands_.Flow() || hands_.Ended()) {
    stop();
    start();
    return "program started on " + MonkeyProjects()[project_].Name;
  }
  if (options_.ChangeGames && random_.Below(2000) == 0) {
    stop();
    start();
    return "program started again on " + MonkeyProjects()[project_].Name;
  }
  switch (random_.Weighted({25, 12, 6, 4, 7, 4, 12, 2, 3, 8, 10, 3, 2, 1})) {
    case 0:
      return drag();
    case 1:
      return click();
    case 2:
      return wild();
    case 3:
      return band();
    case 4:
      return arrows();
    case 5:
      return keys();
    case 6:
      return command(false);
    case 7:
      return command(true);
    case 8:
      return menu();
    case 9:
      return ticks();
    case 10:
      return animation();
    case 11:
      ++inputs_;
      hands_.Idle();
      return "idle pass";
    case 12:
      return hook();
    default:
      return drop();
  }
}

// ---- Where -----------------------------------------------------------------------

TShiftState TMonkey::shift(int ctrlPercent) {
  TShiftState s = 0;
  if (random_.Chance(ctrlPercent)) s |= ssCtrl;
  if (random_.Chance(3)) s |= ssShift;
  if (random_.Chance(2)) s |= ssAlt;
  return s;
}

TBoardPoint TMonkey::somewhere(bool offBoard) {
  const TSpriteDraw* b = hands_.Flow() ? hands_.Flow()->Board() : nullptr;
  const int w = b ? b->BoardWidth() : 400;
  const int h = b ? b->BoardHeight() : 300;
  if (offBoard) return {random_.Between(-60, w + 60), random_.Between(-60, h + 60)};
  return {random_.Between(0, w - 1), random_.Between(0, h - 1)};
}

// A piece and a point where a press picks it.
bool TMonkey::pickPiece(int& row, int& col, TBoardPoint& grab) {
  const TSpriteDraw* b = hands_.Flow() ? hands_.Flow()->Board() : nullptr;
  if (!b || b->PiecesTotal() == 0) return false;
  for (int attempt = 0; attempt < 4; ++attempt) {
    row = random_.Below(b->PiecesY());
    col = random_.Below(b->PiecesX());
    const TPieceSprite& p = b->Piece(row, col);
    const int w = RotatedWidth(p);
    const int h = RotatedHeight(p);
    for (int tries = 0; tries < 12; ++tries) {
      const int x = p.X + (tries == 0 ? w / 2 : random_.Below(w));
      const int y = p.Y + (tries == 0 ? h / 2 : random_.Below(h));
      if (x < 0 || y < 0 || x >= b->BoardWidth() || y >= b->BoardHeight()) continue;
      int hitCol = -1, hitRow = -1;
      if (b->HitTest(x, y, hitCol, hitRow) && hitCol == col && hitRow == row) {
        grab = {x, y};
        return true;
      }
    }
  }
  return false;
}

TScriptParameter TMonkey::parameter() {
  TScriptParameter param;
  const int count = random_.Weighted({40, 40, 12, 8});
  const int playList = hands_.Flow() ? int(hands_.Flow()->PlayList().size()) : 3;
  for (int i = 0; i < count; ++i) {
    static constexpr int kKinds[] = {kParamInteger, kParamText, 0, 3, -1, 7777777};
    const int kind = kKinds[random_.Weighted({60, 25, 4, 4, 4, 3})];
    TBytes data;
    if (kind == kParamInteger && random_.Chance(85)) {
      const int values[] = {random_.Between(-1, playList), 0, INT_MAX, INT_MIN,
                            int(random_.Next())};
      const std::int32_t v = values[random_.Weighted({70, 10, 5, 5, 10})];
      for (int k = 0; k < 4; ++k) data.push_back(std::byte(std::uint32_t(v) >> (8 * k)));
    } else if (kind == kParamText && random_.Chance(70)) {
      const std::string texts[] = {"", "page.htm", (answers_.Folder() / "missing.html").string(),
                                   "http://example.invalid/", std::string(3000, 'x')};
      const std::string& t = texts[random_.Below(5)];
      for (char c : t) data.push_back(std::byte(c));
    } else {
      data.resize(std::size_t(random_.Between(0, 9)));
      for (std::byte& b : data) b = std::byte(random_.Below(256));
    }
    param.Add(kind, data);
  }
  return param;
}

// ---- Events ----------------------------------------------------------------------

std::string TMonkey::drag() {
  int row = 0, col = 0;
  TBoardPoint grab;
  if (!pickPiece(row, col, grab)) return wild();
  const TSpriteDraw* b = hands_.Flow()->Board();
  const TPieceSprite& p = b->Piece(row, col);
  TBoardPoint topLeft;
  const int mode = random_.Weighted({45, 40, 15});
  if (mode == 0) {
    // Next to a neighbour where it fits, give or take a few pixels: how
    // joins, and now and then wins, happen.
    static constexpr int kDr[4] = {0, 0, -1, 1};
    static constexpr int kDc[4] = {-1, 1, 0, 0};
    const int k = random_.Below(4);
    const int nr = std::clamp(row + kDr[k], 0, b->PiecesY() - 1);
    const int nc = std::clamp(col + kDc[k], 0, b->PiecesX() - 1);
    const TBoardPoint home = b->RotatedHome(row, col);
    const TBoardPoint offset = b->Offset(nr, nc);
    const int jitter = random_.Chance(70) ? 3 : 9;
    topLeft = {home.X + offset.X + random_.Between(-jitter, jitter),
               home.Y + offset.Y + random_.Between(-jitter, jitter)};
  } else {
    topLeft = somewhere(mode == 2);
  }
  const TBoardPoint to{topLeft.X + grab.X - p.X, topLeft.Y + grab.Y - p.Y};
  const TShiftState s = shift(4);
  hands_.Press(grab.X, grab.Y, mbLeft, s);
  const int steps = random_.Between(0, 4);
  for (int i = 1; i <= steps; ++i) {
    hands_.Move(grab.X + (to.X - grab.X) * i / steps, grab.Y + (to.Y - grab.Y) * i / steps,
                ssLeft | s);
  }
  inputs_ += 2 + steps;
  if (random_.Chance(3)) return describe("drag without release", row, col, to.X, to.Y);
  hands_.Release(to.X, to.Y, random_.Chance(95) ? mbLeft : mbRight, s);
  return describe(mode == 0 ? "drag to fit" : "drag", row, col, to.X, to.Y);
}

std::string TMonkey::click() {
  int row = 0, col = 0;
  TBoardPoint at;
  if (!pickPiece(row, col, at)) return wild();
  const TMouseButton button = TMouseButton(random_.Weighted({35, 60, 5}));
  const TShiftState s = shift(15);
  hands_.Press(at.X, at.Y, button, s);
  hands_.Release(at.X, at.Y, button, s);
  inputs_ += 2;
  return describe(button == mbLeft ? "click" : button == mbRight ? "right click" : "middle click",
                  row, col, int(s));
}

std::string TMonkey::wild() {
  const TBoardPoint at = somewhere(random_.Chance(30));
  const TMouseButton button = TMouseButton(random_.Weighted({50, 40, 10}));
  const TShiftState s = shift(10);
  hands_.Press(at.X, at.Y, button, s);
  const int moves = random_.Between(0, 3);
  for (int i = 0; i < moves; ++i) {
    const TBoardPoint to = somewhere(random_.Chance(30));
    hands_.Move(to.X, to.Y, s);
  }
  inputs_ += 1 + moves;
  if (random_.Chance(90)) {
    const TBoardPoint to = somewhere(random_.Chance(30));
    hands_.Release(to.X, to.Y, button, s);
    ++inputs_;
  }
  return describe("pointer", at.X, at.Y, int(button), moves);
}

std::string TMonkey::band() {
  const TSpriteDraw* b = hands_.Flow()->Board();
  TBoardPoint from = somewhere(false);
  for (int tries = 0; b && tries < 20; ++tries) {
    int c = -1, r = -1;
    if (!b->HitTest(from.X, from.Y, c, r)) break;
    from = somewhere(false);
  }
  const TMouseButton button = random_.Chance(80) ? mbLeft : mbRight;
  hands_.Press(from.X, from.Y, button, 0);
  const TBoardPoint to = somewhere(random_.Chance(10));
  const int moves = random_.Between(1, 3);
  for (int i = 1; i <= moves; ++i) {
    hands_.Move(from.X + (to.X - from.X) * i / moves, from.Y + (to.Y - from.Y) * i / moves, ssLeft);
  }
  hands_.Release(to.X, to.Y, button, 0);
  inputs_ += 2 + moves;
  return describe("band", from.X, from.Y, to.X, to.Y);
}

std::string TMonkey::arrows() {
  const int key = kVkLeft + random_.Below(4);
  const int n = random_.Between(1, 12);
  for (int i = 0; i < n; ++i) hands_.Key(random_.Chance(90) ? key : kVkLeft + random_.Below(4), 0,
                                         false);
  inputs_ += n;
  return describe("arrow keys", key, n);
}

std::string TMonkey::keys() {
  int key = 0;
  TShiftState s = 0;
  switch (random_.Weighted({10, 15, 25, 20, 30})) {
    case 0:
      key = kVkEscape;
      break;
    case 1:
      key = kVkF11;
      break;
    case 2:
      key = random_.Chance(50) ? 65 : 97;
      s = ssCtrl;
      break;
    case 3:
      key = random_.Chance(50) ? 68 : 100;
      s = ssCtrl;
      break;
    default:
      key = random_.Between(0, 300);
      s = shift(30);
      break;
  }
  const bool onPlayArea = random_.Chance(20);
  hands_.Key(key, s, onPlayArea);
  ++inputs_;
  return describe(onPlayArea ? "key on the play area" : "key", key, int(s));
}

std::string TMonkey::command(bool bogus) {
  std::int32_t code = 0;
  if (bogus) {
    static constexpr std::int32_t kNone[] = {0, -1, ccWinStandard, 27, 28, 100, 256, INT_MIN,
                                             INT_MAX, -26};
    code = kNone[random_.Below(int(std::size(kNone)))];
  } else {
    //                        1  2  3  4  5  6  7  8  9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26
    // Fewer of the commands that build a game: they cost the most time.
    code = 1 + random_.Weighted({4, 6, 1, 1, 2, 3, 3, 3, 3, 8, 1, 2, 1, 2, 3, 1, 1, 1, 3, 3, 2, 1, 2,
                                 6, 3, 3});
  }
  if (options_.Tame && (code == ccRunHidden || code == ccOpenDocument || code == ccHtmlPage)) {
    code = ccSolveOnePiece;
  }
  if (!options_.ChangeGames && (code == ccDifficulty || code == ccOpenGame)) code = ccPause;
  if (!options_.WriteExecutables && code == ccMakeExe) code = ccPause;
  const TScriptParameter param = parameter();
  ++inputs_;
  hands_.Flow()->ActionDispatch(nullptr, code, param);
  return describe("command", code, int(param.Count()));
}

std::string TMonkey::menu() {
  TGameFlow* flow = hands_.Flow();
  std::vector<const TMenuNode*> nodes;
  if (flow->Toolbar()) collectNodes(flow->Toolbar()->Items(), nodes);
  if (flow->Popup()) collectNodes(flow->Popup()->Items(), nodes);
  if (nodes.empty()) return command(false);
  const TMenuNode& node = *nodes[std::size_t(random_.Below(int(nodes.size())))];
  const std::int32_t code = node.Command->Code;
  if (!options_.ChangeGames && (code == ccDifficulty || code == ccOpenGame)) return ticks();
  if (!options_.WriteExecutables && code == ccMakeExe) return ticks();
  ++inputs_;
  hands_.Click(node);
  return describe("menu item", code);
}

std::string TMonkey::ticks() {
  const int n = random_.Chance(75) ? random_.Between(1, 3) : random_.Between(10, 40);
  for (int i = 0; i < n && hands_.Flow() && !hands_.Ended(); ++i) hands_.ClockTick();
  inputs_ += n;
  return describe("clock ticks", n);
}

std::string TMonkey::animation() {
  const int n = random_.Chance(60) ? random_.Between(1, 40) : 3000;
  int ran = 0;
  while (ran < n && hands_.Flow() && !hands_.Ended() && hands_.AnimationTick()) ++ran;
  inputs_ += ran;
  return describe("animation ticks", ran);
}

std::string TMonkey::drop() {
  if (!options_.ChangeGames) return ticks();
  const std::filesystem::path file = answers_.DroppedFile();
  ++inputs_;
  const bool opened = hands_.Flow()->OpenFileForPlay(file);
  return "dropped " + file.filename().string() + (opened ? ", played" : "");
}

std::string TMonkey::hook() {
  TSpriteDraw* b = hands_.Flow()->Board();
  if (!b) return ticks();
  const TNotifyEvent* hooks[] = {&b->DoAbout,    &b->DoSaveGame, &b->DoOpenGame,
                                 &b->DoHelpGame, &b->DoExitGame, &b->DoShowPicture};
  const int k = random_.Below(6);
  if (!options_.ChangeGames && k == 2) return ticks();
  // A copy: the hook may free the board that holds it.
  const TNotifyEvent hook = *hooks[k];
  ++inputs_;
  if (hook) hook(b);
  return describe("board hook", k);
}

}  // namespace duduri::monkey
