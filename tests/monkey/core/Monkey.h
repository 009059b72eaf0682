#pragma once
// The monkey: plays the player's game flow with random but seeded input —
// drags, clicks and right clicks on pieces and beside them, rubber bands,
// arrow keys, Ctrl+A and Ctrl+D, Esc and F11, every command code (and codes
// that are none) with random parameters of every kind, menu items, the
// board's own command hooks, clock and animation ticks — and answers every
// dialog at random (TMonkeyAnswers). When the window closes it starts the
// program again, now and then on another project.
//
// After every event the rules of TMonkeyChecks are checked; the first one
// broken ends the run with the seed, the event and the events that led
// there, so the run can be played again exactly (on the headless hands).

#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <string>

#include "MonkeyAnswers.h"
#include "MonkeyChecks.h"
#include "MonkeyHands.h"
#include "project/Scripts.h"

namespace duduri::monkey {

struct TMonkeyOptions {
  std::uint64_t Seed = 1;
  long Events = 1000;
  // Off: the difficulty is never changed and the program never restarted
  // on another project, so every game is alike (the memory check).
  bool ChangeGames = true;
  // Leave out the commands that hand things to the desktop or open pages.
  bool Tame = false;
  // Off: no executables are written. Writing one holds the program's image
  // and the package for a moment, as much as the pictures it carries, which
  // the memory check would take for growth.
  bool WriteExecutables = true;
  // The project played (an index into MonkeyProjects()); -1: the seed picks.
  int Project = -1;
};

struct TMonkeyReport {
  bool Failed = false;
  long Events = 0;        // events sent
  long Inputs = 0;        // presses, moves, releases, keys, commands and ticks in them
  long EventAtFailure = -1;
  std::string Failure;    // the rule broken
  std::string Recent;     // the events before it, oldest first
  int Runs = 0;           // program starts
  int Games = 0;          // games built, over all runs
  int Wins = 0;
  int Losses = 0;
  int Joins = 0;
  // Message texts no rule knows, with their counts (for a person to read).
  std::map<std::string, int> OtherMessages;
};

class TMonkey {
 public:
  TMonkey(const TMonkeyOptions& options, IMonkeyHands& hands, TMonkeyAnswers& answers,
          TMonkeyRandom& random);

  // Starts the program, sends the events, ends the program; stops at the
  // first rule broken.
  TMonkeyReport Run();
  // Starts the program on the monkey's project (Step starts it again
  // whenever it has ended).
  void Start() { start(); }
  // One event; returns its description.
  std::string Step();
  const TMonkeyChecks& Checks() const { return checks_; }

 private:
  void start();
  std::string state();
  void stop();
  bool pickPiece(int& row, int& col, TBoardPoint& grab);
  TBoardPoint somewhere(bool offBoard);
  TShiftState shift(int ctrlPercent);
  TScriptParameter parameter();

  std::string drag();
  std::string click();
  std::string wild();
  std::string band();
  std::string arrows();
  std::string keys();
  std::string command(bool bogus);
  std::string menu();
  std::string ticks();
  std::string animation();
  std::string hook();
  std::string drop();

  TMonkeyOptions options_;
  IMonkeyHands& hands_;
  TMonkeyAnswers& answers_;
  TMonkeyRandom& random_;
  TMonkeyChecks checks_;
  std::size_t project_ = 0;
  long inputs_ = 0;
  int runs_ = 0;
  int games_ = 0;
  std::string stopFailure_;  // a rule broken when a run ended
};

// The command line that plays a headless run again.
std::string ReplayCommand(const char* program, std::uint64_t seed, long events);

}  // namespace duduri::monkey
