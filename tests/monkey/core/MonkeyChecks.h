#pragma once
// What must hold after every event the monkey sends, whatever the event:
//
// - every piece lies on its table (some of it on the play area, where the
//   pointer can reach it), with a rotation 0..3 (0 when the board does not
//   rotate), and the stacking order holds every piece once;
// - every joined piece sits where a joined neighbour says it belongs (the
//   groups the board finds by flood fill are the ones it shows);
// - pieces left is the count of unjoined pieces, and the status bar shows it
//   and the total;
// - the clock is never negative, and the status bar's clock is the board's;
// - a game that was won stays won: its win is shown once, and it is never
//   lost afterwards;
// - nothing shown belongs to an earlier game (clock, piece counts, solution);
// - no error box carries a message that only the program's insides could
//   have made (a library's exception text);
// - the high scores a run ends with are the ones the next run starts with.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "MonkeyAnswers.h"
#include "MonkeyHands.h"

namespace duduri::monkey {

class TMonkeyChecks {
 public:
  TMonkeyChecks(IMonkeyHands& hands, TMonkeyAnswers& answers);

  // Around each run of the program.
  void RunStarted();
  // Before the program is stopped; returns a broken rule or "".
  void RunEnding();
  std::string RunEnded();

  // The first rule broken now, or "".
  std::string After();

  // Texts of message boxes that none of the rules knows, with how often
  // they came (for a look by a person, not a failure).
  const std::map<std::string, int>& OtherMessages() const { return otherMessages_; }
  int Wins() const { return wins_; }
  int Losses() const { return losses_; }
  int Joins() const { return joins_; }

 private:
  std::string board(const TSpriteDraw& b);
  std::string shown(const TGameFlow& flow, const TSpriteDraw& b);
  std::string messages();
  std::int64_t gameKey() const;

  IMonkeyHands& hands_;
  TMonkeyAnswers& answers_;
  int run_ = 0;
  struct TGameEnd {
    int wins = 0;
    int losses = 0;
  };
  std::map<std::int64_t, TGameEnd> ends_;
  std::int64_t wonGame_ = -1;  // the game on the board when its win was shown
  std::string pendingResultError_;
  // The high scores as the run ended, and whether they were to be saved.
  std::vector<std::byte> endingScores_;
  bool scoresSaved_ = false;
  std::vector<std::byte> fileBefore_;
  std::map<std::string, int> otherMessages_;
  int wins_ = 0;
  int losses_ = 0;
  int joins_ = 0;
  int lastLeft_ = -1;
};

}  // namespace duduri::monkey
