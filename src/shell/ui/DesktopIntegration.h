#pragma once
// What the bare player adds to its window as a desktop program: files
// dropped on the window are played, and a "Recent" menu of its own, beside
// the project's toolbar, lists the projects and pictures played lately and
// opens another one. The list lives in the user's settings
// ($XDG_CONFIG_HOME/duduri/duduri.ini), never in a project.
//
// A player that carries its own project plays only that: it takes no drops
// and shows no Recent menu.

#include <QObject>
#include <QString>
#include <QStringList>

class QMenu;
class QMimeData;
class QToolBar;

namespace duduri {

class TfrmMain;

class TDesktopIntegration : public QObject {
  Q_OBJECT

 public:
  // Installs itself on the window (which owns it) and records the file the
  // window was started with.
  explicit TDesktopIntegration(TfrmMain& window);

  // Plays a file as a drop does (asking first when a game is in progress);
  // a file that plays goes to the top of the recent list, one that cannot
  // be opened leaves it.
  bool PlayFile(const QString& file);

  QStringList RecentFiles() const;
  QToolBar* RecentBar() const { return bar_; }
  QMenu* RecentMenu() const { return menu_; }

  // Where the recent list is kept.
  static QString SettingsFile();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void remember(const QString& file);
  void forget(const QString& file);
  void storeRecent(const QStringList& files);
  void fillMenu();
  void chooseFile();
  void followToolbar();

  TfrmMain& window_;
  QToolBar* bar_ = nullptr;
  QMenu* menu_ = nullptr;
};

// The drop target's answer: the local file a drag carries, or empty.
QString DroppedFile(const QMimeData* data);

}  // namespace duduri
