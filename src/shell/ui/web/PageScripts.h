#pragma once
// The browser's own scripts. They run in the application's world, apart
// from the page's (whose scripts never run at all): they see the document
// but the page cannot see or change them.

#include <QString>

namespace duduri::web {

// Reports every click that matters, as a console message `prefix` + JSON,
// and cancels the default action of links, buttons, images and the entry
// form's submit, so that nothing in the page navigates by itself.
QString ClickScript(const QString& prefix);

// Evaluates to {title, width, height}: the document's title and the larger
// of the body's and the document element's scroll size.
QString MeasureScript();

// Replaces the placeholders of `tableJson` (an object of placeholder to
// text) in one pass over the body's text nodes.
QString ReplaceScript(const QString& tableJson);

// Hides the document's scroll bars along the axes given.
QString HideScrollBarsScript(bool horizontal, bool vertical);

}  // namespace duduri::web
