#pragma once
// TfrmHTML: the window HTML pages are shown in. A browser (WebBrowser1, from
// the page module) fills it; the window guards every address the browser
// may go to or load, fits itself to each document when it is complete, fills
// in high-score places and turns clicks into commands through its event sink.
//
// Caption "HTML", 600 x 400, centred on the screen when first made. Shown
// modally it returns from ShowModal when a command closes it (CloseOk:
// accepted) or the player does (rejected).

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

#include "project/Scripts.h"
#include "shell/PagePaths.h"
#include "shell/PageSeam.h"
#include "shell/PageText.h"
#include "shell/ui/HtmlEventSink.h"
#include "shell/ui/PageBrowser.h"

namespace duduri {

class THighScore;

class TfrmHTML : public QDialog, public IPageBrowserEvents {
  Q_OBJECT

 public:
  // Loads the page module on first use: check Browser() before using it.
  explicit TfrmHTML(QWidget* parent = nullptr);
  ~TfrmHTML() override;

  // nullptr when the module could not be loaded; LoadError() says why.
  IPageBrowser* Browser() const { return WebBrowser1; }
  const QString& LoadError() const { return loadError_; }

  // ---- Published properties ----
  const THighScore* HighScore = nullptr;  // not owned; nullptr: no substitution
  int Level = 0;
  std::int32_t LastScriptID = 0;
  TScriptParameter LastScriptParam;
  // Replaces the window's own handler of the commands its page gives.
  std::function<void(TScriptItem& item)> CustomExecuteEvent;
  // Raised after each document's set-up.
  std::function<void()> OnComplete;

  // Sets the size (when the request has one) and the tables, and navigates
  // to the request's page within its base directory.
  void Open(const TPageRequest& request);
  // Centres the window on the screen and shows it modeless.
  void ShowModeless();
  // Centres the window and runs it modally; true when a command closed it.
  bool ShowModal();
  // Closes a window shown modally with OK; a modeless one stays.
  void CloseOk();
  bool ShownModally() const { return modal_; }

  // How many documents have been set up so far.
  int CompletedCount() const { return completed_; }
  // The entry page's name input at the last click, if the page has one.
  const std::optional<QString>& EntryName() const { return entryName_; }

  // ---- IPageBrowserEvents ----
  bool AllowNavigation(const QUrl& url, bool mainFrame) override;
  bool AllowRequest(const QUrl& url) override;
  void DocumentComplete(const QString& title, QSize scroll) override;
  void Clicked(const TBrowserClick& click) override;

 signals:
  // The document is set up (after OnComplete).
  void Completed();

 private:
  void execute(TScriptItem& item);
  void showError(const QString& address, TPageVerdict why);
  void centre();
  void keepOnScreen();
  TPageSize screenSize() const;

  IPageBrowser* WebBrowser1 = nullptr;
  QString loadError_;
  THTMLEventSink sink_;
  TPageGuard guard_{std::filesystem::path()};
  bool expectingOwnDocument_ = false;
  bool modal_ = false;
  std::optional<QString> entryName_;
  int completed_ = 0;
};

// The address of a URL as a page's error shows it: a file's path, or the
// address itself.
QString DisplayAddress(const QUrl& url);

}  // namespace duduri
