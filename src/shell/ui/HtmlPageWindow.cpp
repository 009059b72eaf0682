#include "shell/ui/HtmlPageWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "shell/PageDocuments.h"
#include "shell/PageText.h"
#include "shell/PageWords.h"
#include "shell/ui/PageModule.h"

namespace duduri {

namespace {

QRect workArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

TPageAddress addressOf(const QUrl& url) {
  TPageAddress a;
  a.Scheme = url.scheme().toLower().toStdString();
  if (url.isLocalFile()) a.LocalFile = url.toLocalFile().toStdString();
  a.Text = url.toString().toStdString();
  return a;
}

}  // namespace

QString DisplayAddress(const QUrl& url) {
  return url.isLocalFile() ? url.toLocalFile() : url.toString();
}

TfrmHTML::TfrmHTML(QWidget* parent) : QDialog(parent) {
  setWindowTitle("HTML");
  setObjectName("frmHTML");
  // A page window is a window of its own beside the game, with the usual
  // buttons, not a dialog glued to the main window.
  setWindowFlags(Qt::Window);
  resize(kDefaultPageWidth, kDefaultPageHeight);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  WebBrowser1 = CreatePageBrowser(*this, this, &loadError_);
  if (WebBrowser1) {
    WebBrowser1->Widget()->setObjectName("WebBrowser1");
    layout->addWidget(WebBrowser1->Widget());
  }
  sink_.SetExecuteEvent([this](TScriptItem& item) {
    if (CustomExecuteEvent) {
      CustomExecuteEvent(item);
    } else {
      execute(item);
    }
  });
  centre();
}

TfrmHTML::~TfrmHTML() = default;

TPageSize TfrmHTML::screenSize() const {
  // The room the window's client area has: the work area less the frame.
  const QRect area = workArea();
  const QSize frame = frameGeometry().size() - size();
  return {area.width() - frame.width(), area.height() - frame.height()};
}

void TfrmHTML::Open(const TPageRequest& request) {
  HighScore = request.HighScore;
  Level = request.Level;
  guard_ = TPageGuard(request.BaseDirectory);
  if (request.HasSize) {
    const TPageSize size = SanePageSize(request.Width, request.Height, screenSize());
    resize(size.Width, size.Height);
  }
  if (!WebBrowser1) return;
  const QString page = QString::fromStdString(request.Page.string());
  // A name that is no path on this system (a Windows drive path) cannot be
  // a file, whatever is under the current folder.
  if (!request.Page.is_absolute()) {
    showError(page, TPageVerdict::pvNotFound);
    return;
  }
  WebBrowser1->Navigate(QUrl::fromLocalFile(page));
}

void TfrmHTML::centre() {
  const QRect area = workArea();
  const QSize frame = frameGeometry().size();
  move(area.left() + (area.width() - frame.width()) / 2,
       area.top() + (area.height() - frame.height()) / 2);
}

void TfrmHTML::keepOnScreen() {
  const QRect area = workArea();
  QRect frame = frameGeometry();
  if (frame.right() > area.right()) frame.moveRight(area.right());
  if (frame.bottom() > area.bottom()) frame.moveBottom(area.bottom());
  if (frame.left() < area.left()) frame.moveLeft(area.left());
  if (frame.top() < area.top()) frame.moveTop(area.top());
  if (frame.topLeft() != frameGeometry().topLeft()) move(frame.topLeft());
}

void TfrmHTML::ShowModeless() {
  modal_ = false;
  centre();
  show();
  raise();
  activateWindow();
}

bool TfrmHTML::ShowModal() {
  modal_ = true;
  centre();
  const int result = exec();
  modal_ = false;
  return result == QDialog::Accepted;
}

void TfrmHTML::CloseOk() {
  if (modal_ && isVisible()) accept();
}

bool TfrmHTML::AllowNavigation(const QUrl& url, bool mainFrame) {
  if (mainFrame && expectingOwnDocument_ && url.scheme() == "data") {
    expectingOwnDocument_ = false;
    return true;
  }
  const TPageVerdict verdict = guard_.CheckDocument(addressOf(url));
  if (verdict == TPageVerdict::pvAllowed) return true;
  // A frame that may not load stays empty; the page around it is still the
  // project's page.
  if (mainFrame) {
    const QString address = DisplayAddress(url);
    QMetaObject::invokeMethod(
        this, [this, address, verdict] { showError(address, verdict); }, Qt::QueuedConnection);
  }
  return false;
}

bool TfrmHTML::AllowRequest(const QUrl& url) {
  return guard_.MayRequest(addressOf(url));
}

void TfrmHTML::showError(const QString& address, TPageVerdict why) {
  if (!WebBrowser1) return;
  expectingOwnDocument_ = true;
  WebBrowser1->ShowDocument(
      QString::fromStdString(ErrorLoadingDocument(address.toStdString(), why)));
}

void TfrmHTML::DocumentComplete(const QString& title, QSize scroll) {
  if (!WebBrowser1) return;
  const QSize client = WebBrowser1->ClientSize();
  const TPageFit fit = FitPageWindow({width(), height()}, {scroll.width(), scroll.height()},
                                     {client.width(), client.height()}, screenSize());
  if (fit.Window.Width != width() || fit.Window.Height != height()) {
    resize(fit.Window.Width, fit.Window.Height);
    keepOnScreen();
  }
  WebBrowser1->HideScrollBars(fit.HideHorizontalBar, fit.HideVerticalBar);
  setWindowTitle(title);
  if (HighScore) {
    std::vector<std::pair<QString, QString>> table;
    for (const auto& [key, text] : HighScoreSubstitutions(*HighScore, Level)) {
      table.emplace_back(QString::fromStdString(key), QString::fromStdString(text));
    }
    WebBrowser1->ReplaceText(table);
  }
  ++completed_;
  if (OnComplete) OnComplete();
  emit Completed();
}

void TfrmHTML::Clicked(const TBrowserClick& click) {
  // A click delivered after the window was hidden belongs to no page the
  // player still sees.
  if (!isVisible()) return;
  entryName_ = click.HasEntryName ? std::optional<QString>(click.EntryName) : std::nullopt;
  sink_.Click(click);
}

void TfrmHTML::execute(TScriptItem& item) {
  LastScriptID = item.Code;
  LastScriptParam.Assign(item.Parameter);
  if (item.Code == kPageCloseCode) {
    if (modal_) {
      reject();
    } else {
      hide();
    }
    return;
  }
  // The dispatcher closes a modal page after the command when it should.
  TScriptItem command;
  command.Assign(item);
  command.ActualSender = this;
  command.Run();
}

}  // namespace duduri
