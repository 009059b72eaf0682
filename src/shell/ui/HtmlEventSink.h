#pragma once
// THTMLEventSink: receives the clicks of a page window's document and turns
// each into the one script item it owns, reused for every click, whose code
// and parameter describe the last command. Its execute event gets that item:
// the page window's own handler, or whatever replaces it.

#include <functional>

#include "project/Scripts.h"
#include "shell/ui/PageBrowser.h"

namespace duduri {

class THTMLEventSink {
 public:
  using TExecuteEvent = std::function<void(TScriptItem& item)>;

  void SetExecuteEvent(TExecuteEvent event) { execute_ = std::move(event); }
  // A click in the page. One that names no command (text, an image outside
  // a link) does nothing.
  void Click(const TBrowserClick& click);
  const TScriptItem& Item() const { return item_; }

 private:
  TScriptItem item_;
  TExecuteEvent execute_;
};

}  // namespace duduri
