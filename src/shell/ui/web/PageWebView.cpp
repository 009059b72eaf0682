#include "shell/ui/web/PageWebView.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QRandomGenerator>
#include <QWebEngineCookieStore>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include "shell/ui/web/PageScripts.h"

namespace duduri::web {

namespace {

void lockDown(QWebEngineSettings& s) {
  using S = QWebEngineSettings;
  for (const S::WebAttribute off : {S::JavascriptEnabled,
                                    S::JavascriptCanOpenWindows,
                                    S::JavascriptCanAccessClipboard,
                                    S::JavascriptCanPaste,
                                    S::LocalContentCanAccessRemoteUrls,
                                    S::PluginsEnabled,
                                    S::LocalStorageEnabled,
                                    S::HyperlinkAuditingEnabled,
                                    S::DnsPrefetchEnabled,
                                    S::AutoLoadIconsForPage,
                                    S::TouchIconsEnabled,
                                    S::WebGLEnabled,
                                    S::Accelerated2dCanvasEnabled,
                                    S::ScreenCaptureEnabled,
                                    S::AllowRunningInsecureContent,
                                    S::AllowGeolocationOnInsecureOrigins,
                                    S::AllowWindowActivationFromJavaScript,
                                    S::FullScreenSupportEnabled,
                                    S::PdfViewerEnabled,
                                    S::NavigateOnDropEnabled,
                                    S::ErrorPageEnabled,
                                    S::SpatialNavigationEnabled}) {
    s.setAttribute(off, false);
  }
  // A page's own pictures and style sheets are files beside it; without
  // this the browser refuses them all. Which files may load is decided by
  // the request guard: only those under the page's base directory.
  s.setAttribute(S::LocalContentCanAccessFileUrls, true);
  s.setAttribute(S::WebRTCPublicInterfacesOnly, true);
  s.setAttribute(S::PlaybackRequiresUserGesture, true);
  s.setUnknownUrlSchemePolicy(S::DisallowUnknownUrlSchemes);
}

QString freshPrefix() {
  const quint64 a = QRandomGenerator::system()->generate64();
  const quint64 b = QRandomGenerator::system()->generate64();
  return QStringLiteral("duduri-click-%1%2:").arg(a, 16, 16, QChar('0')).arg(b, 16, 16, QChar('0'));
}

TBrowserClick clickOf(const QJsonObject& o) {
  TBrowserClick click;
  const QString kind = o.value("kind").toString();
  if (kind == "link") click.Kind = TBrowserClick::bcLink;
  if (kind == "button") click.Kind = TBrowserClick::bcButton;
  if (kind == "input") click.Kind = TBrowserClick::bcInputButton;
  click.Address = o.value("address").toString();
  click.Target = o.value("target").toString();
  click.Name = o.value("name").toString();
  click.Value = o.value("value").toString();
  for (const QJsonValue& a : o.value("formActions").toArray()) click.FormActions << a.toString();
  click.HasEntryName = o.value("hasEntryName").toBool();
  click.EntryName = o.value("entryName").toString();
  return click;
}

}  // namespace

void TPageRequestGuard::interceptRequest(QWebEngineUrlRequestInfo& info) {
  if (!events_.AllowRequest(info.requestUrl())) info.block(true);
}

TPageWebPage::TPageWebPage(IPageBrowserEvents& events, QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent), events_(events), clickPrefix_(freshPrefix()) {
  lockDown(*settings());
  QWebEngineScript clicks;
  clicks.setName("duduri-clicks");
  clicks.setWorldId(QWebEngineScript::ApplicationWorld);
  clicks.setInjectionPoint(QWebEngineScript::DocumentCreation);
  clicks.setRunsOnSubFrames(false);
  clicks.setSourceCode(ClickScript(QString::fromUtf8(QJsonDocument(QJsonArray{clickPrefix_})
                                                         .toJson(QJsonDocument::Compact)
                                                         .sliced(1)
                                                         .chopped(1))));
  scripts().insert(clicks);
  // Nothing a page asks for beyond showing itself is granted.
  connect(this, &QWebEnginePage::featurePermissionRequested, this,
          [this](const QUrl& origin, Feature feature) {
            setFeaturePermission(origin, feature, PermissionDeniedByUser);
          });
  connect(this, &QWebEnginePage::fullScreenRequested, this,
          [](QWebEngineFullScreenRequest request) { request.reject(); });
}

bool TPageWebPage::acceptNavigationRequest(const QUrl& url, NavigationType /*type*/,
                                           bool isMainFrame) {
  return events_.AllowNavigation(url, isMainFrame);
}

void TPageWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel /*level*/,
                                            const QString& message, int /*line*/,
                                            const QString& /*source*/) {
  if (!message.startsWith(clickPrefix_)) return;
  const QJsonDocument json = QJsonDocument::fromJson(message.sliced(clickPrefix_.size()).toUtf8());
  if (!json.isObject()) return;
  const TBrowserClick click = clickOf(json.object());
  // The command may open dialogs, start a game or close this window: let
  // the browser's call return first.
  QMetaObject::invokeMethod(
      this, [this, click] { events_.Clicked(click); }, Qt::QueuedConnection);
}

QWebEnginePage* TPageWebPage::createWindow(WebWindowType /*type*/) {
  return nullptr;
}

TPageWebView::TPageWebView(IPageBrowserEvents& events, QWidget* parent)
    : QWebEngineView(parent), events_(events) {
  // The profile must outlive the page; both go in the destructor, the page
  // first.
  profile_ = new QWebEngineProfile();
  profile_->setHttpCacheType(QWebEngineProfile::NoCache);
  profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
  profile_->setSpellCheckEnabled(false);
  profile_->cookieStore()->setCookieFilter(
      [](const QWebEngineCookieStore::FilterRequest&) { return false; });
  profile_->setUrlRequestInterceptor(new TPageRequestGuard(events_, profile_));
  page_ = new TPageWebPage(events_, profile_, nullptr);
  setPage(page_);
  setContextMenuPolicy(Qt::NoContextMenu);
  setAcceptDrops(false);
  connect(page_, &QWebEnginePage::loadFinished, this, [this](bool ok) { loadFinished(ok); });
}

TPageWebView::~TPageWebView() {
  setPage(nullptr);
  delete page_;
  delete profile_;
}

void TPageWebView::Navigate(const QUrl& url) {
  page_->load(url);
}

void TPageWebView::ShowDocument(const QString& html) {
  page_->setHtml(html, QUrl("about:blank"));
}

void TPageWebView::loadFinished(bool ok) {
  // Cancelled navigations end with ok false; the document then shown (the
  // one before, or the error page) has had its own.
  if (!ok) return;
  // Pages are opened by the game, not browsed: there is no way back to the
  // page before (nor to an error page, which is no file).
  page_->history()->clear();
  const int load = ++loads_;
  QPointer<TPageWebView> self(this);
  page_->runJavaScript(
      MeasureScript(), QWebEngineScript::ApplicationWorld, [self, load](const QVariant& result) {
        if (!self || load != self->loads_) return;
        const QVariantMap m = result.toMap();
        self->events_.DocumentComplete(m.value("title").toString(),
                                       QSize(m.value("width").toInt(), m.value("height").toInt()));
      });
}

void TPageWebView::ReplaceText(const std::vector<std::pair<QString, QString>>& placeholders) {
  QJsonObject table;
  for (const auto& [key, text] : placeholders) table.insert(key, text);
  page_->runJavaScript(
      ReplaceScript(QString::fromUtf8(QJsonDocument(table).toJson(QJsonDocument::Compact))),
      QWebEngineScript::ApplicationWorld);
}

void TPageWebView::HideScrollBars(bool horizontal, bool vertical) {
  if (!horizontal && !vertical) return;
  page_->runJavaScript(HideScrollBarsScript(horizontal, vertical),
                       QWebEngineScript::ApplicationWorld);
}

}  // namespace duduri::web

// The module's entry point (PageBrowser.h), the one symbol it exports.
extern "C" __attribute__((visibility("default"))) duduri::IPageBrowser* DuduriCreatePageBrowser(
    duduri::IPageBrowserEvents* events, QWidget* parent) {
  return new duduri::web::TPageWebView(*events, parent);
}
