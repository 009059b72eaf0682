#include "shell/ui/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include "shell/ShellTexts.h"
#include "shell/ui/DesktopIntegration.h"
#include "shell/ui/Dialogs.h"
#include "shell/ui/ImageBack.h"
#include "shell/ui/PlayArea.h"
#include "shell/ui/QtPageSeam.h"
#include "shell/ui/QtBoardPlatform.h"
#include "shell/ui/QtDesktop.h"
#include "shell/ui/QtPictureReader.h"
#include "shell/ui/QtShellServices.h"
#include "shell/ui/QtSound.h"
#include "shell/ui/SlotGuard.h"
#include "shell/ui/WindowStyles.h"

namespace duduri {

int VirtualKeyOf(int key) {
  switch (key) {
    case Qt::Key_Left:
      return kVkLeft;
    case Qt::Key_Up:
      return kVkUp;
    case Qt::Key_Right:
      return kVkRight;
    case Qt::Key_Down:
      return kVkDown;
    case Qt::Key_Escape:
      return kVkEscape;
    case Qt::Key_F11:
      return kVkF11;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Space:
      return 32;
    default:
      break;
  }
  // Letters and digits share their codes with the virtual keys.
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
    return key;
  }
  return 0;
}

TfrmMain::TfrmMain(TShellEnvironment environment, std::unique_ptr<IShellServices> services)
    : services_(std::move(services)), seams_(std::make_unique<TShellSeams>()) {
  if (!services_) services_ = std::make_unique<TQtShellServices>();
  sound_ = CreateQtSound();
  seams_->SetSound(sound_.get());
  platform_ = std::make_unique<TQtBoardPlatform>(*services_);
  solution_ = std::make_unique<TfrmSolution>();
  pages_ = std::make_unique<TQtPageSeam>(*services_);
  seams_->SetPages(pages_.get());
  desktop_ = std::make_unique<TQtDesktop>();
  seams_->SetDesktop(desktop_.get());
  buildWidgets();
  if (!environment.DecodeOtherPicture) environment.DecodeOtherPicture = DecodeWithQt;
  styles_ = std::make_unique<TWindowStyles>(TStyledWindow{
      this, toolbar_, statusBar(), banner_, imageBack_, playArea_,
      [this](bool visible) { SetToolbarVisible(visible); }, [this] { applyLayout(); }});
  seams_->SetStyle(styles_.get());
  flow_ =
      std::make_unique<TGameFlow>(*this, *services_, *platform_, *seams_, std::move(environment));
  playArea_->SetFlow(flow_.get());
  flow_->FormCreate();
  new TDesktopIntegration(*this);  // owned by the window
}

TfrmMain::~TfrmMain() {
  flow_->FormDestroy();
  flow_.reset();
}

void TfrmMain::buildWidgets() {
  setWindowTitle(kApplicationTitle);
  resize(608, 430);
  if (const QScreen* s = QGuiApplication::primaryScreen()) {
    move(s->availableGeometry().center() - QPoint(304, 215));
  }
  // The toolbar is hidden with F11 only; Qt's own toolbar menu stays off.
  setContextMenuPolicy(Qt::PreventContextMenu);

  toolbar_ = new QToolBar("Menu", this);
  toolbar_->setObjectName("TBXToolbar1");
  toolbar_->setMovable(false);
  toolbar_->setFloatable(false);
  toolbar_->toggleViewAction()->setEnabled(false);
  addToolBar(Qt::TopToolBarArea, toolbar_);
  popup_ = new QMenu(this);

  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  banner_ = new QWidget(central);
  banner_->setObjectName("pnlBanner");
  banner_->setFixedHeight(74);
  banner_->setAutoFillBackground(true);
  QPalette workspace = banner_->palette();
  workspace.setColor(QPalette::Window, QColor::fromRgb(WorkspaceColor()));
  banner_->setPalette(workspace);
  banner_->hide();
  imageBack_ = new TImageBack(central);
  imageBack_->setObjectName("ImageBack");
  imageBack_->setAutoFillBackground(true);
  imageBack_->setPalette(workspace);
  playArea_ = new TPlayArea(imageBack_);
  playArea_->setObjectName("Image321");
  playArea_->setGeometry(16, 16, 537, 321);
  playArea_->SetBackdrop(QColor::fromRgb(WorkspaceColor()));
  playArea_->SetInputHook([this] { platform_->InputArrived(); });
  imageBack_->SetArea(playArea_);
  column->addWidget(banner_);
  column->addWidget(imageBack_, 1);
  setCentralWidget(central);

  const int widths[4] = {50, 50, 100, 50};
  for (int i = 0; i < 4; ++i) {
    panels_[i] = new QLabel(this);
    panels_[i]->setFixedWidth(widths[i]);
    panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addWidget(panels_[i]);
  }
  statusBar()->setSizeGripEnabled(false);
  playArea_->setFocus();
}

// ---- IMainView ---------------------------------------------------------------------

IPlayArea& TfrmMain::PlayArea() {
  return *playArea_;
}

void TfrmMain::SetStatusText(int panel, const std::string& text) {
  if (panel >= 0 && panel < 4) panels_[panel]->setText(QString::fromStdString(text));
}

void TfrmMain::SetTitle(const std::string& title) {
  const QString text = QString::fromStdString(title);
  setWindowTitle(text);
  if (auto* qt = dynamic_cast<TQtShellServices*>(services_.get())) qt->SetTitle(text);
}

void TfrmMain::SetIcon(TByteSpan iconFile) {
  QPixmap icon;
  if (icon.loadFromData(reinterpret_cast<const uchar*>(iconFile.data()), uint(iconFile.size()))) {
    setWindowIcon(icon);
    QApplication::setWindowIcon(icon);
  }
}

TRect TfrmMain::WindowBounds() const {
  const QRect r = frameGeometry();
  return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void TfrmMain::ShowWindow() {
  show();
}

void TfrmMain::HideWindow() {
  hide();
}

void TfrmMain::BringToFront() {
  raise();
  activateWindow();
}

void TfrmMain::CloseWindow() {
  close();
}

void TfrmMain::Terminate() {
  terminated_ = true;
  emit Terminating();
}

void TfrmMain::ProcessPendingInput() {
  // Paint and timers only: a click handled in the middle of building a game
  // would start another game underneath the one being built. A few times a
  // second is enough to keep the progress bar moving; doing it for every
  // piece would cost more than some pieces take to make.
  if (pumped_.isValid() && pumped_.elapsed() < kPumpInterval) return;
  pumped_.restart();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmMain::LayoutWorkArea() {
  QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  if (s) {
    QMargins frame;
    if (windowHandle() && isVisible()) frame = windowHandle()->frameMargins();
    setGeometry(s->availableGeometry().marginsRemoved(frame));
  }
  applyLayout();
}

void TfrmMain::applyLayout() {
  // A hidden window gets no resize events: lay every level out now, so the
  // play area has its size before the board is made on it.
  layout()->invalidate();
  layout()->activate();
  QWidget* central = centralWidget();
  central->layout()->invalidate();
  central->layout()->setGeometry(central->rect());
  imageBack_->PlaceArea();
}

void TfrmMain::SetBannerStripVisible(bool visible) {
  banner_->setVisible(visible);
}

QAction* TfrmMain::addNode(QWidget* container, const TMenuNode& node, QObject* owner,
                           std::map<const void*, QAction*>& actions) {
  auto* menu = qobject_cast<QMenu*>(container);
  auto* bar = qobject_cast<QToolBar*>(container);
  const QString caption = QString::fromStdString(node.Caption);
  switch (node.Kind) {
    case TMenuNodeKind::mnSeparator:
      return menu ? menu->addSeparator() : bar->addSeparator();
    case TMenuNodeKind::mnSubmenu: {
      auto* sub = new QMenu(caption);
      owner->connect(owner, &QObject::destroyed, sub, &QObject::deleteLater);
      for (const auto& child : node.Children) addNode(sub, *child, owner, actions);
      if (node.Command) {
        const TMenuNode* n = &node;
        connect(sub, &QMenu::aboutToShow, this,
                [this, n] { GuardSlot([this, n] { flow_->MenuClick(*n); }); });
      }
      QAction* action = sub->menuAction();
      action->setVisible(node.Visible);
      if (menu) {
        menu->addMenu(sub);
      } else {
        bar->addAction(action);
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
          button->setPopupMode(QToolButton::InstantPopup);
        }
      }
      actions[&node] = action;
      return action;
    }
    case TMenuNodeKind::mnItem:
      break;
  }
  auto* action = new QAction(caption, owner);
  action->setVisible(node.Visible);
  const TMenuNode* n = &node;
  connect(action, &QAction::triggered, this,
          [this, n] { GuardSlot([this, n] { flow_->MenuClick(*n); }); });
  container->addAction(action);
  actions[&node] = action;
  return action;
}

void TfrmMain::BuildToolbar(const TMenuModel* model) {
  toolbar_->clear();
  toolbarActions_.clear();
  // The old items may be the ones whose click is running now: free them later.
  if (toolbarItems_) toolbarItems_->deleteLater();
  toolbarItems_ = new QObject(this);
  if (!model) return;
  for (const auto& node : model->Items()) addNode(toolbar_, *node, toolbarItems_, toolbarActions_);
}

void TfrmMain::BuildPopup(const TMenuModel* model) {
  popup_->clear();
  popupActions_.clear();
  if (popupItems_) popupItems_->deleteLater();
  popupItems_ = new QObject(this);
  if (!model) return;
  for (const auto& node : model->Items()) addNode(popup_, *node, popupItems_, popupActions_);
}

QAction* TfrmMain::ActionOf(const void* node) const {
  for (const auto* map : {&toolbarActions_, &popupActions_}) {
    const auto it = map->find(node);
    if (it != map->end()) return it->second;
  }
  return nullptr;
}

void TfrmMain::SetMenuItemChecked(const void* sender, bool checked) {
  if (QAction* action = ActionOf(sender)) {
    action->setCheckable(true);
    action->setChecked(checked);
  }
}

bool TfrmMain::ToolbarVisible() const {
  return !toolbar_->isHidden();
}

void TfrmMain::SetToolbarVisible(bool visible) {
  if (visible == ToolbarVisible()) return;
  toolbar_->setVisible(visible);
  flow_->TBXToolbar1VisibleChanged(visible);
  if (styles_) styles_->ToolbarVisibilityChanged();
}

void TfrmMain::ShowPopup(int screenX, int screenY) {
  // The menu takes the button's release; the board must not wait for it.
  playArea_->CancelPress();
  popup_->popup(QPoint(screenX, screenY));
}

void TfrmMain::ShowSolution(const TBitmap32& solution) {
  solution_->SetSolution(solution);
  if (!solutionPlaced_) {
    // First shown in the top right corner of the play area, where it hides
    // the least of the table; afterwards where the player left it.
    const QPoint corner = playArea_->mapToGlobal(QPoint(playArea_->width(), 0));
    solution_->move(corner.x() - solution_->width() - 8, corner.y() + 8);
    solutionPlaced_ = true;
  }
  solution_->show();
  solution_->raise();
}

void TfrmMain::HideSolution() {
  solution_->hide();
}

bool TfrmMain::SolutionVisible() const {
  return solution_->isVisible();
}

TColor32 TfrmMain::WorkspaceColor() const {
  return platform_->WorkspaceColor();
}

TColor32 TfrmMain::ButtonFaceColor() const {
  return palette().color(QPalette::Button).rgb();
}

// ---- Events ------------------------------------------------------------------------

void TfrmMain::closeEvent(QCloseEvent* event) {
  // A close query that fails lets the window close: a player who cannot
  // quit is worse off than one who was not asked.
  bool canClose = true;
  GuardSlot([&] { canClose = !flow_ || flow_->FormCloseQuery(); });
  if (!canClose) {
    event->ignore();
    return;
  }
  event->accept();
  solution_->hide();
  emit Closed();
}

void TfrmMain::keyPressEvent(QKeyEvent* event) {
  const int key = VirtualKeyOf(event->key());
  if (key == 0) {
    QMainWindow::keyPressEvent(event);
    return;
  }
  GuardSlot([&] { flow_->FormKeyDown(key, ShiftStateOf(event->modifiers(), Qt::NoButton)); });
  platform_->InputArrived();
  event->accept();
}

}  // namespace duduri
