#include "shell/ui/DesktopIntegration.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "shell/RecentFiles.h"
#include "shell/ui/MainWindow.h"

namespace duduri {

namespace {

constexpr const char* kRecentKey = "recent/files";
constexpr const char* kOpenFilter =
    "Pictures and puzzles (*.jpg *.jpeg *.bmp *.png *.gif *.webp *.pzp *.JPG *.JPEG *.BMP *.PNG "
    "*.GIF *.WEBP *.PZP);;All files (*)";

std::vector<std::string> toStd(const QStringList& list) {
  std::vector<std::string> out;
  for (const QString& s : list) out.push_back(s.toStdString());
  return out;
}

QStringList fromStd(const std::vector<std::string>& list) {
  QStringList out;
  for (const std::string& s : list) out << QString::fromStdString(s);
  return out;
}

}  // namespace

QString DroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return {};
}

QString TDesktopIntegration::SettingsFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         "/duduri/duduri.ini";
}

TDesktopIntegration::TDesktopIntegration(TfrmMain& window) : QObject(&window), window_(window) {
  if (window_.Terminated() || window_.Flow().ProjectFromOwnExecutable()) return;
  window_.setAcceptDrops(true);
  window_.installEventFilter(this);

  bar_ = new QToolBar("Recent", &window_);
  bar_->setObjectName("RecentBar");
  bar_->setMovable(false);
  bar_->setFloatable(false);
  bar_->toggleViewAction()->setEnabled(false);
  auto* button = new QToolButton(bar_);
  button->setText("Recent");
  button->setPopupMode(QToolButton::InstantPopup);
  menu_ = new QMenu(button);
  menu_->setObjectName("RecentMenu");
  button->setMenu(menu_);
  bar_->addWidget(button);
  window_.addToolBar(Qt::TopToolBarArea, bar_);
  connect(menu_, &QMenu::aboutToShow, this, &TDesktopIntegration::fillMenu);
  fillMenu();

  // The menu goes where the project's toolbar goes: hidden with F11, and
  // with the window styles that have no toolbar.
  if (QToolBar* toolbar = window_.Toolbar()) {
    connect(toolbar, &QToolBar::visibilityChanged, this, [this] { followToolbar(); });
  }
  followToolbar();

  // A project started with "-T" is deleted when the program ends: not a
  // file to offer again.
  const std::vector<std::string>& args = window_.Flow().Environment().Args;
  const bool temporary = args.size() == 2 && args[1] == "-T";
  const std::filesystem::path& opened = window_.Flow().OpenedFile();
  if (!opened.empty() && !temporary) remember(QString::fromStdString(opened.string()));
}

void TDesktopIntegration::followToolbar() {
  if (!bar_) return;
  QToolBar* toolbar = window_.Toolbar();
  bar_->setVisible(toolbar && !toolbar->isHidden());
}

bool TDesktopIntegration::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &window_) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDropEvent*>(event);
      if (DroppedFile(drag->mimeData()).isEmpty()) return false;
      drag->acceptProposedAction();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const QString file = DroppedFile(drop->mimeData());
      if (file.isEmpty()) return false;
      drop->acceptProposedAction();
      // Played once the drag has finished: its questions and message boxes
      // must not run inside the drag's own event handling.
      QTimer::singleShot(0, this, [this, file] { PlayFile(file); });
      return true;
    }
    default:
      return QObject::eventFilter(watched, event);
  }
}

bool TDesktopIntegration::PlayFile(const QString& file) {
  const QString absolute = QFileInfo(file).absoluteFilePath();
  if (window_.Flow().OpenFileForPlay(absolute.toStdString())) {
    remember(absolute);
    return true;
  }
  // A listed file that is gone or broken is taken off the list; one the
  // player declined to leave its game for stays.
  if (!QFileInfo(absolute).isFile()) forget(absolute);
  return false;
}

QStringList TDesktopIntegration::RecentFiles() const {
  QSettings settings(SettingsFile(), QSettings::IniFormat);
  return fromStd(TRecentFiles(toStd(settings.value(kRecentKey).toStringList())).Files());
}

void TDesktopIntegration::storeRecent(const QStringList& files) {
  QSettings settings(SettingsFile(), QSettings::IniFormat);
  settings.setValue(kRecentKey, files);
}

void TDesktopIntegration::remember(const QString& file) {
  TRecentFiles recent(toStd(RecentFiles()));
  recent.Add(file.toStdString());
  storeRecent(fromStd(recent.Files()));
}

void TDesktopIntegration::forget(const QString& file) {
  TRecentFiles recent(toStd(RecentFiles()));
  recent.Remove(file.toStdString());
  storeRecent(fromStd(recent.Files()));
}

void TDesktopIntegration::fillMenu() {
  menu_->clear();
  // Files moved or deleted since they were played are offered no more.
  QStringList files = RecentFiles();
  const qsizetype listed = files.size();
  files.removeIf([](const QString& file) { return !QFileInfo(file).isFile(); });
  if (files.size() != listed) storeRecent(files);
  for (const QString& file : files) {
    QAction* action = menu_->addAction(QFileInfo(file).fileName());
    action->setToolTip(file);
    action->setStatusTip(file);
    action->setData(file);
    connect(action, &QAction::triggered, this, [this, file] { PlayFile(file); });
  }
  if (files.isEmpty()) menu_->addAction("No recent files")->setEnabled(false);
  menu_->addSeparator();
  connect(menu_->addAction("Open a picture or puzzle..."), &QAction::triggered, this,
          &TDesktopIntegration::chooseFile);
  QAction* clear = menu_->addAction("Clear the list");
  clear->setEnabled(!files.isEmpty());
  connect(clear, &QAction::triggered, this, [this] { storeRecent({}); });
}

void TDesktopIntegration::chooseFile() {
  const QString file =
      QFileDialog::getOpenFileName(&window_, "Open a picture or puzzle", QString(), kOpenFilter);
  if (!file.isEmpty()) PlayFile(file);
}

}  // namespace duduri
