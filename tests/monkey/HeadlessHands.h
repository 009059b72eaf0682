#pragma once
// The monkey's hands on the game flow over the shell's fakes (TFlowRig): no
// window, timers and idle passes moved by hand, every dialog answered by
// the monkey's answers as it opens. A run is exactly repeatable.

#include <memory>

#include "ShellTestKit.h"
#include "core/MonkeyAnswers.h"
#include "core/MonkeyHands.h"

namespace duduri::monkey {

class THeadlessHands : public IMonkeyHands {
 public:
  THeadlessHands(TMonkeyAnswers& answers, int width = 480, int height = 360);
  ~THeadlessHands() override;

  TGameFlow* Flow() override { return rig_ ? rig_->flow.get() : nullptr; }
  void Start(const TMonkeyStart& start, const std::filesystem::path& projectFile) override;
  void Stop() override { rig_.reset(); }
  bool Ended() override;

  TBoardPoint Press(int x, int y, TMouseButton button, TShiftState shift) override;
  void Move(int x, int y, TShiftState shift) override;
  void Release(int x, int y, TMouseButton button, TShiftState shift) override;
  void Key(int key, TShiftState shift, bool onPlayArea) override;
  void Click(const TMenuNode& node) override { rig_->flow->MenuClick(node); }

  void ClockTick() override;
  bool AnimationTick() override;
  void Idle() override { rig_->platform.RunIdle(1); }

  std::string StatusText(int panel) override { return rig_->view.status[panel]; }
  std::string Title() override { return rig_->view.title; }
  int SolutionShown() override {
    return rig_->view.solutionVisible ? rig_->view.solutionWidth : -1;
  }

  test::TFlowRig* Rig() { return rig_.get(); }

 private:
  void answer(const std::string& what);

  TMonkeyAnswers& answers_;
  int width_;
  int height_;
  std::unique_ptr<test::TFlowRig> rig_;
};

}  // namespace duduri::monkey
