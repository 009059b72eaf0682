#include "shell/ui/QtPageSeam.h"

#include "shell/Commands.h"
#include "shell/ShellServices.h"
#include "shell/ui/HtmlPageWindow.h"

namespace duduri {

TQtPageSeam::TQtPageSeam(IShellServices& services) : services_(services) {}

TQtPageSeam::~TQtPageSeam() = default;

bool TQtPageSeam::PageVisible() const {
  return window_ && window_->isVisible();
}

void TQtPageSeam::HidePage() {
  if (!window_ || !window_->isVisible()) return;
  if (window_->ShownModally()) {
    window_->reject();
  } else {
    window_->hide();
  }
}

void TQtPageSeam::ClosePageOk() {
  if (window_) window_->CloseOk();
}

void TQtPageSeam::FocusPage() {
  if (!window_ || !window_->isVisible()) return;
  window_->raise();
  window_->activateWindow();
  if (IPageBrowser* browser = window_->Browser()) browser->Widget()->setFocus();
}

TModalResult TQtPageSeam::ShowPage(const TPageRequest& request) {
  if (!window_) {
    auto window = std::make_unique<TfrmHTML>();
    if (!window->Browser()) {
      services_.MessageBox("HTML pages cannot be shown: " + window->LoadError().toStdString(),
                           TMsgKind::mkError, TMsgButtons::mbOK);
      return TModalResult::mrCancel;
    }
    window_ = std::move(window);
  }
  window_->Open(request);
  if (request.Mode == TPageMode::pmModal) {
    return window_->ShowModal() ? TModalResult::mrOk : TModalResult::mrCancel;
  }
  window_->ShowModeless();
  return TModalResult::mrNone;
}

std::optional<std::string> TQtPageSeam::ShowEntryPage(const TPageRequest& request) {
  TfrmHTML entry;
  // Without the browser the player still gets to enter the name.
  if (!entry.Browser()) return services_.NameEntry();
  bool submitted = false;
  entry.CustomExecuteEvent = [&](TScriptItem& item) {
    if (item.Code != ccOpenDocument) return;
    submitted = true;
    entry.CloseOk();
  };
  TPageRequest page = request;
  page.HighScore = nullptr;
  entry.Open(page);
  entry_ = &entry;
  const bool ok = entry.ShowModal();
  entry_ = nullptr;
  if (!ok || !submitted) return std::nullopt;
  return entry.EntryName().value_or(QString()).toStdString();
}

}  // namespace duduri
