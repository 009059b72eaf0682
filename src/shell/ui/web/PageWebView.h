#pragma once
// The page browser: a QWebEngineView whose page and profile are locked down
// for documents that come from whoever made the project.
//
// - Page scripts are off; the browser's own scripts run in the
//   application's world (PageScripts.h).
// - Its profile is private and off the record: no disk cache, no cookies
//   kept or accepted, no spell-check downloads, no permissions granted.
// - Every request passes the page window's AllowRequest first
//   (TPageRequestGuard), and every navigation its AllowNavigation
//   (acceptNavigationRequest); neither lets anything leave for the network.
// - No plug-ins, no new windows, no downloads, no context menu, no
//   navigation by dropping a file, no link auditing, no DNS prefetch.

#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include "shell/ui/PageBrowser.h"

class QWebEngineProfile;

namespace duduri::web {

class TPageRequestGuard : public QWebEngineUrlRequestInterceptor {
 public:
  TPageRequestGuard(IPageBrowserEvents& events, QObject* parent)
      : QWebEngineUrlRequestInterceptor(parent), events_(events) {}
  void interceptRequest(QWebEngineUrlRequestInfo& info) override;

 private:
  IPageBrowserEvents& events_;
};

class TPageWebPage : public QWebEnginePage {
  Q_OBJECT

 public:
  TPageWebPage(IPageBrowserEvents& events, QWebEngineProfile* profile, QObject* parent);

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                int line, const QString& source) override;
  QWebEnginePage* createWindow(WebWindowType type) override;

 private:
  IPageBrowserEvents& events_;
  QString clickPrefix_;  // a fresh secret per page: only our script reports clicks
};

class TPageWebView : public QWebEngineView, public IPageBrowser {
  Q_OBJECT

 public:
  TPageWebView(IPageBrowserEvents& events, QWidget* parent);
  ~TPageWebView() override;

  QWidget* Widget() override { return this; }
  void Navigate(const QUrl& url) override;
  void ShowDocument(const QString& html) override;
  QSize ClientSize() const override { return size(); }
  void ReplaceText(const std::vector<std::pair<QString, QString>>& placeholders) override;
  void HideScrollBars(bool horizontal, bool vertical) override;

 private:
  void loadFinished(bool ok);

  IPageBrowserEvents& events_;
  QWebEngineProfile* profile_ = nullptr;
  TPageWebPage* page_ = nullptr;
  int loads_ = 0;  // numbers loads, so a late answer for an old document is dropped
};

}  // namespace duduri::web
