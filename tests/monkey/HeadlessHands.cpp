#include "HeadlessHands.h"

#include "project/Project.h"
#include "shell/ShellTexts.h"

namespace duduri::monkey {

THeadlessHands::THeadlessHands(TMonkeyAnswers& answers, int width, int height)
    : answers_(answers), width_(width), height_(height) {}

THeadlessHands::~THeadlessHands() = default;

void THeadlessHands::Start(const TMonkeyStart& start, const std::filesystem::path& projectFile) {
  TShellEnvironment env;
  env.ExeDir = answers_.Folder();
  env.ExePath = answers_.PlayerFile();
  env.HighScorePath = answers_.Folder() / kHighScoreFile;
  env.Seed = start.Seed;
  if (start.FromFile) {
    env.Args = {projectFile.string()};
    if (start.DeleteAtEnd) env.Args.push_back("-T");
  } else {
    const TBytes package = start.Package;
    env.ReadOwnOverlay = [package] { return TOwnOverlay{package, {}}; };
  }
  rig_ = std::make_unique<test::TFlowRig>(std::move(env), width_, height_);
  rig_->services.onDialog = [this](const std::string& what) { answer(what); };
  rig_->platform.onAsk = [this] { rig_->platform.answer = answers_.SolveAll(); };
  rig_->Create();
}

// Every dialog is answered as it opens, from the monkey's random answers.
void THeadlessHands::answer(const std::string& what) {
  test::TFakeServices& s = rig_->services;
  if (what == kTitleOpenGame || what == kTitleOpenImage) {
    s.openFiles.push_back(answers_.OpenFile(what));
  } else if (what == kTitleSaveGame || what == kTitleSavePicture || what == kTitleSaveExecutable) {
    s.saveFiles.push_back(answers_.SaveFile(what));
  } else if (what == "select skin") {
    s.chosenSkin = answers_.Skin(rig_->flow->Project() ? int(rig_->flow->Project()->Skins.size())
                                                       : 0);
  } else if (what == "change difficulty") {
    s.chosenRange = answers_.Difficulty();
  } else if (what == "play again") {
    s.playAgain.push_back(answers_.PlayAgain());
  } else if (what == "next picture") {
    s.nextPicture.push_back(answers_.NextPicture());
  } else if (what == "choose picture") {
    s.chosenPicture =
        answers_.Picture(rig_->flow->Project() ? int(rig_->flow->Project()->Pictures.size()) : 0);
  } else if (what == "name entry") {
    s.name = answers_.Name();
  } else if (what == "result") {
    answers_.Result(s.results.back().Caption);
  } else if (what == "high scores" || what == "about") {
  } else {
    // A message box: its text is `what`. Yes/No boxes are told apart by
    // their texts, which all ask something.
    const bool question = what.find('?') != std::string::npos;
    const TModalResult r =
        answers_.Message(what, question ? TMsgButtons::mbYesNo : TMsgButtons::mbOK);
    s.answers[what] = r;
  }
}

bool THeadlessHands::Ended() {
  return !rig_ || rig_->view.closed || rig_->flow->Terminated();
}

TBoardPoint THeadlessHands::Press(int x, int y, TMouseButton button, TShiftState shift) {
  return rig_->flow->Image321MouseDown(button, shift, x, y, x, y);
}

void THeadlessHands::Move(int x, int y, TShiftState shift) {
  rig_->view.area.MouseMove(shift, x, y);
  rig_->platform.RunIdle(1);
}

void THeadlessHands::Release(int x, int y, TMouseButton button, TShiftState shift) {
  rig_->view.area.MouseUp(button, shift, x, y);
  rig_->platform.RunIdle(1);
}

void THeadlessHands::Key(int key, TShiftState shift, bool onPlayArea) {
  if (onPlayArea) {
    rig_->flow->Image321KeyDown(key);
  } else {
    rig_->flow->FormKeyDown(key, shift);
  }
}

void THeadlessHands::ClockTick() {
  if (TSpriteDraw* b = rig_->flow->Board()) rig_->platform.FireTimer(&b->Clock());
}

bool THeadlessHands::AnimationTick() {
  TSpriteDraw* b = rig_->flow->Board();
  return b && rig_->platform.FireTimer(b->AnimationTimer());
}

}  // namespace duduri::monkey
