// Opening an HTML page (command 13) and the high-score entry page.

#include "shell/GameFlow.h"
#include "shell/PagePaths.h"
#include "shell/PageText.h"

namespace duduri {

std::filesystem::path TGameFlow::htmlBaseDirectory() const {
  return HtmlBaseDirectory(projectFromOwnExecutable_, environment_.ExeDir, environment_.Args);
}

void TGameFlow::ShowHtmlPage(const TScriptParameter& parameter) {
  TPageSeam& pages = seams_.Pages();
  pages.HidePage();
  if (parameter.Count() != 1 || parameter.Get(0).Kind != kParamText) return;
  // Read the sizes before anything is paused: a text that stops the command
  // must leave the game as it was.
  TPageText text;
  try {
    text = ParsePageText(parameter.Text(0));
  } catch (const EPageTextError& e) {
    services_.MessageBox(e.what(), TMsgKind::mkError, TMsgButtons::mbOK);
    return;
  }
  const int gameBefore = gamesBuilt_;
  const bool ran = pauseSilently();
  closeHtmlPage_ = true;

  TPageRequest request;
  request.BaseDirectory = htmlBaseDirectory();
  request.Page = ResolvePageName(request.BaseDirectory, text.Name);
  request.HasSize = text.Width.has_value();
  request.Width = int(text.Width.value_or(kDefaultPageWidth));
  request.Height = int(text.Height.value_or(kDefaultPageHeight));
  request.Mode = runningStartScript_ ? TPageMode::pmModal : TPageMode::pmModeless;
  request.HighScore = &highScores_;
  request.Level = scoreLevel_;
  const TModalResult result = pages.ShowPage(request);

  // A modal page closed by a command leaves the board to that command: a
  // new game or another picture has replaced it. A command that kept the
  // game (the about box, a web link) would leave it paused with no way for
  // the player to tell, so the paused game is resumed then too.
  const bool closedByCommand = request.Mode == TPageMode::pmModal && result == TModalResult::mrOk;
  if (!closedByCommand || gamesBuilt_ == gameBefore) resumeIfRan(ran);
}

std::optional<std::string> TGameFlow::htmlEntryPage() {
  const TCustomHighscoreEntryDlg& options = project_->HighscoreOptions;
  // The entry page's size comes from the options, so only the name's line
  // of the text counts.
  const std::string& text = options.PageText;
  TPageRequest request;
  request.BaseDirectory = htmlBaseDirectory();
  request.Page = ResolvePageName(request.BaseDirectory, text.substr(0, text.find_first_of("\r\n")));
  request.HasSize = true;
  request.Width = options.Value1;
  request.Height = options.Value2;
  request.Mode = TPageMode::pmModal;
  return seams_.Pages().ShowEntryPage(request);
}

}  // namespace duduri
