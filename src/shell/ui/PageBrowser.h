#pragma once
// The embedded browser that page windows show their pages in, and what it
// reports back to them.
//
// The browser is Qt WebEngine. Merely linking it costs a start-up as long
// again as the rest of the program's, which a project without pages should
// never pay, so the browser lives in a module of its own
// (libduduri-pages.so, src/shell/ui/web) that is loaded when the first page
// opens. This header is everything the player and the module share; it
// names no WebEngine type, and the module links none of the game's code.
//
// Everything happens on the user-interface thread.

#include <QSize>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <utility>
#include <vector>

class QWidget;

namespace duduri {

// What the browser saw of a click, as its own script collected it (the
// page's scripts never run).
struct TBrowserClick {
  enum TKind { bcOther, bcLink, bcButton, bcInputButton };
  TKind Kind = bcOther;
  QString Address;            // a link's address, resolved by the browser
  QString Target;             // a link's target attribute
  QString Name;               // a button's name attribute
  QString Value;              // a button's value attribute
  QStringList FormActions;    // the action attribute of every form
  bool HasEntryName = false;  // the document has the entry page's name input
  QString EntryName;          // its text at the time of the click
};

// The page window's side: every decision is taken there.
class IPageBrowserEvents {
 public:
  // Before the browser goes to `url` in its window (mainFrame) or in a
  // frame: true lets it.
  virtual bool AllowNavigation(const QUrl& url, bool mainFrame) = 0;
  // Before any request leaves the page, for the document and for every
  // image, style sheet, font, frame or prefetch: true lets it.
  virtual bool AllowRequest(const QUrl& url) = 0;
  // The top-level document is complete: its title and its body's scroll
  // size.
  virtual void DocumentComplete(const QString& title, QSize scroll) = 0;
  // A click in the page, delivered from the event loop (never from inside
  // the browser's own call), with its default action already cancelled for
  // links, buttons, images and the entry form's submit.
  virtual void Clicked(const TBrowserClick& click) = 0;

 protected:
  ~IPageBrowserEvents() = default;
};

class IPageBrowser {
 public:
  // The browser widget is owned by the parent it was made with.
  virtual QWidget* Widget() = 0;
  virtual void Navigate(const QUrl& url) = 0;
  // Shows `html` as the document of "about:blank".
  virtual void ShowDocument(const QString& html) = 0;
  // The size of the area the document is shown in.
  virtual QSize ClientSize() const = 0;
  // Replaces every placeholder by its text in one pass over the text of the
  // document's body; the texts are text, never markup.
  virtual void ReplaceText(const std::vector<std::pair<QString, QString>>& placeholders) = 0;
  virtual void HideScrollBars(bool horizontal, bool vertical) = 0;

 protected:
  ~IPageBrowser() = default;
};

// The module's one entry point, looked up by name.
using TCreatePageBrowser = IPageBrowser* (*)(IPageBrowserEvents* events, QWidget* parent);
inline constexpr const char* kCreatePageBrowserSymbol = "DuduriCreatePageBrowser";
inline constexpr const char* kPageModuleFile = "libduduri-pages.so";

}  // namespace duduri
