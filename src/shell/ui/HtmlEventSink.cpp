#include "shell/ui/HtmlEventSink.h"

#include "shell/PageWords.h"

namespace duduri {

namespace {

TPageClickKind kindOf(TBrowserClick::TKind kind) {
  switch (kind) {
    case TBrowserClick::bcLink:
      return TPageClickKind::ckLink;
    case TBrowserClick::bcButton:
      return TPageClickKind::ckButton;
    case TBrowserClick::bcInputButton:
      return TPageClickKind::ckInputButton;
    case TBrowserClick::bcOther:
      break;
  }
  return TPageClickKind::ckOther;
}

}  // namespace

void THTMLEventSink::Click(const TBrowserClick& click) {
  TPageClick page;
  page.Kind = kindOf(click.Kind);
  page.Address = click.Address.toStdString();
  page.Target = click.Target.toStdString();
  page.Name = click.Name.toStdString();
  page.Value = click.Value.toStdString();
  for (const QString& action : click.FormActions) page.FormActions.push_back(action.toStdString());
  if (PageClickCommand(page, item_) && execute_) execute_(item_);
}

}  // namespace duduri
