#include "ShellTestKit.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "project/Project.h"
#include "project/Scripts.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri::test {

// ---- Fakes -----------------------------------------------------------------------

void TFakePlayArea::PaintFrame(const TBitmap32&) {
  ++paints;
}

void TFakePlayArea::PublishFrame(const TBitmap32& frame) {
  ++publishes;
  picture.Assign(frame);
}

void TFakePlayArea::Fill(TColor32 color) {
  fills.push_back(color);
  picture.SetSize(width_, height_);
  picture.Clear(color);
}

void TFakePlayArea::MouseMove(TShiftState shift, int x, int y) {
  const TMouseMoveHandler handler = OnMouseMove;
  if (handler) handler(this, shift, x, y);
}

void TFakePlayArea::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const TMouseUpHandler handler = OnMouseUp;
  if (handler) handler(this, button, shift, x, y);
}

void TFakeView::CloseWindow() {
  ++closeRequests;
  if (flow && flow->FormCloseQuery()) {
    closed = true;
    visible = false;
  }
}

void TFakeView::SetToolbarVisible(bool v) {
  if (v == toolbarVisible) return;
  toolbarVisible = v;
  if (flow) flow->TBXToolbar1VisibleChanged(v);
}

TModalResult TFakeServices::MessageBox(const std::string& text, TMsgKind, TMsgButtons buttons) {
  messages.push_back(text);
  dialog(text);
  const auto it = answers.find(text);
  if (it != answers.end()) return it->second;
  return buttons == TMsgButtons::mbYesNo ? TModalResult::mrYes : TModalResult::mrOk;
}

TFileDialogResult TFakeServices::OpenFile(const TFileDialogRequest& r) {
  fileRequests.push_back(r);
  dialog(r.Title);
  if (openFiles.empty()) return {};
  TFileDialogResult answer = openFiles.front();
  openFiles.pop_front();
  return answer;
}

TFileDialogResult TFakeServices::SaveFile(const TFileDialogRequest& r) {
  fileRequests.push_back(r);
  dialog(r.Title);
  if (saveFiles.empty()) return {};
  TFileDialogResult answer = saveFiles.front();
  saveFiles.pop_front();
  return answer;
}

TModalResult TFakeServices::next(std::deque<TModalResult>& queue, TModalResult fallback,
                                 const char* what) {
  if (queue.empty()) {
    ADD_FAILURE() << "unexpected " << what << " dialog";
    return fallback;
  }
  const TModalResult r = queue.front();
  queue.pop_front();
  return r;
}

// ---- The rig ---------------------------------------------------------------------

namespace {

std::filesystem::path freshFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "duduri-shell-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

}  // namespace

TBoardPoint TRigPointer::Press(int x, int y, TMouseButton button) {
  return rig_.flow->Image321MouseDown(button, 0, x, y, x, y);
}

void TRigPointer::Move(int x, int y) {
  rig_.view.area.MouseMove(ssLeft, x, y);
  rig_.platform.RunIdle(1);
}

void TRigPointer::Release(int x, int y, TMouseButton button) {
  rig_.view.area.MouseUp(button, 0, x, y);
  rig_.platform.RunIdle(1);
}

TFlowRig::TFlowRig(TBytes package, std::vector<std::string> args, int width, int height)
    : view(width, height), folder(freshFolder()) {
  TShellEnvironment env;
  env.Args = std::move(args);
  env.ExeDir = folder;
  env.ExePath = folder / "duduri";
  if (!package.empty()) {
    env.ReadOwnOverlay = [package] { return TOwnOverlay{package, {}}; };
  }
  env.HighScorePath = folder / "highscorefile.dat";
  env.Seed = 1;
  env.SpriteThreads = 1;
  flow = std::make_unique<TGameFlow>(view, services, platform, seams, std::move(env));
  view.flow = flow.get();
}

TFlowRig::TFlowRig(TShellEnvironment env, int width, int height)
    : view(width, height), folder(freshFolder()) {
  if (env.HighScorePath.empty()) env.HighScorePath = folder / "highscorefile.dat";
  if (!env.Seed) env.Seed = 1;
  env.SpriteThreads = 1;
  flow = std::make_unique<TGameFlow>(view, services, platform, seams, std::move(env));
  view.flow = flow.get();
}

TFlowRig::~TFlowRig() {
  flow.reset();
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}

std::function<TSpriteDraw*()> TFlowRig::CurrentGame() {
  const int game = flow->GamesBuilt();
  return [this, game]() -> TSpriteDraw* {
    return flow->GamesBuilt() == game ? flow->Board() : nullptr;
  };
}

int TFlowRig::SolveByDrags(int maxDrops) {
  TRigPointer pointer(*this);
  TDragSolver solver(CurrentGame(), pointer);
  return solver.Solve(2, maxDrops);
}

void TFlowRig::ClickPiece(int row, int col) {
  TRigPointer pointer(*this);
  TDragSolver solver(CurrentGame(), pointer);
  TBoardPoint at;
  if (!solver.GrabPoint(row, col, at)) {
    ADD_FAILURE() << "piece " << row << "," << col << " cannot be grabbed";
    return;
  }
  pointer.Press(at.X, at.Y, mbLeft);
  pointer.Release(at.X, at.Y, mbLeft);
}

void TFlowRig::TickClock(int n) {
  for (int i = 0; i < n && flow->Board(); ++i) platform.FireTimer(&flow->Board()->Clock());
}

int TFlowRig::RunAnimation(int maxTicks) {
  int ticks = 0;
  while (ticks < maxTicks && flow->Board() && platform.FireTimer(flow->Board()->AnimationTimer())) {
    ++ticks;
  }
  return ticks;
}

// ---- Packages and parameters ----------------------------------------------------

TBytes EditedPackage(const TTestProjectOptions& options,
                     const std::function<void(TJigsawProject2&)>& edit) {
  TJigsawProject2 p;
  p.LoadFromStream(MakeTestPackage(options));
  p.MasterTemplateSet = MasterTemplates();
  edit(p);
  return p.SaveToBytes();
}

TScriptParameter TextParameter(const std::string& text) {
  TScriptItem item;
  item.AddTextParameter(text);
  return item.Parameter;
}

TScriptParameter NumberParameter(std::int32_t value) {
  TScriptParameter parameter;
  std::byte bytes[4];
  for (int k = 0; k < 4; ++k) bytes[k] = std::byte(std::uint32_t(value) >> (8 * k));
  parameter.Add(kParamInteger, bytes);
  return parameter;
}

}  // namespace duduri::test
