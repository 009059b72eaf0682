#pragma once
// The player's small windows: progress, result, about and splash, picture
// choice, play again, next picture, solution, high scores, name entry, skin
// choice and the change of difficulty.
// Each is made when needed, shown and freed by the caller (QtShellServices
// and the main window); none holds game logic beyond what it shows.
//
// Results: QDialog::Accepted is OK, QDialog::Rejected Cancel, and
// kDialogYes the third answer of the next-picture dialog.

#include <QDialog>
#include <QImage>
#include <QWidget>
#include <vector>

#include "shell/ShellServices.h"

class QComboBox;
class QLabel;
class QListWidget;
class QLineEdit;
class QProgressBar;
class QTreeWidget;
class QFrame;

namespace duduri {

class TJigsawProject2;
class THighScore;

inline constexpr int kDialogYes = 2;

// A TBitmap32 as a QImage of its own (a copy).
QImage ImageOf(const TBitmap32& bitmap);

// The common look: Verdana 8 on grey with a light inner panel.
class TPlayerDialog : public QDialog {
  Q_OBJECT

 public:
  TPlayerDialog(const QString& caption, int clientWidth, int clientHeight,
                QWidget* parent = nullptr);
  QFrame* Panel() const { return panel_; }

 protected:
  QFrame* panel_;
};

class TfrmProgressInfo : public TPlayerDialog {
  Q_OBJECT

 public:
  explicit TfrmProgressInfo(QWidget* parent = nullptr);
  void SetProgress(int position, int maximum);
  QProgressBar* Bar() const { return bar_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QProgressBar* bar_;
};

class TfrmWin : public TPlayerDialog {
  Q_OBJECT

 public:
  explicit TfrmWin(const TResultDialogText& text, QWidget* parent = nullptr);
  QLabel* LargeLabel() const { return large_; }

 private:
  QLabel* large_;
};

// The about box: standard (texts and OK) or a borderless picture. A splash
// (Closable false) ignores clicks and Esc.
class TfrmAbout : public QDialog {
  Q_OBJECT

 public:
  TfrmAbout(const TBitmap32* picture, bool closable, QWidget* parent = nullptr);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool closable_;
  bool picture_;
};

class TfrmChooseBitmap : public TPlayerDialog {
  Q_OBJECT

 public:
  explicit TfrmChooseBitmap(const TJigsawProject2& project, QWidget* parent = nullptr);
  int BitmapIndex() const { return bitmapIndex_; }
  QListWidget* List() const { return list_; }

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  void showPreview();
  void takeSelection();

  const TJigsawProject2& project_;
  QListWidget* list_;
  QLabel* preview_;
  std::vector<int> indexes_;
  int bitmapIndex_ = 0;
};

class TfrmPlayAgain : public TPlayerDialog {
  Q_OBJECT

 public:
  explicit TfrmPlayAgain(QWidget* parent = nullptr);
};

class TfrmNextBitmap : public TPlayerDialog {
  Q_OBJECT

 public:
  explicit TfrmNextBitmap(QWidget* parent = nullptr);
};

class TfmHighScore : public TPlayerDialog {
  Q_OBJECT

 public:
  TfmHighScore(const THighScore& scores, int level, QWidget* parent = nullptr);
  QTreeWidget* List() const { return list_; }

 private:
  QTreeWidget* list_;
};

class TfmBestTopTen : public TPlayerDialog {
  Q_OBJECT

 public:
  explicit TfmBestTopTen(QWidget* parent = nullptr);
  QString Name() const;
  QLineEdit* Edit() const { return edit_; }

 private:
  QLineEdit* edit_;
};

// The skin choice: one line "Skin #n" per skin of the project, a 128 x 128
// thumbnail of the selected one. "Ok" accepts with the selected line's
// position as the skin id; "Cancel" rejects.
class TfrmSelectSkin : public TPlayerDialog {
  Q_OBJECT

 public:
  TfrmSelectSkin(const TJigsawProject2& project, int currentSkinId, QWidget* parent = nullptr);
  // The selected line's position (what "Ok" returns).
  int SkinId() const;
  QListWidget* List() const { return list_; }
  // What the preview shows now.
  QImage PreviewImage() const;
  // The thumbnail of skin i (black for a skin picture that does not decode).
  const QImage& Thumbnail(int i) const { return thumbnails_[std::size_t(i)]; }

 private:
  void showPreview();

  QListWidget* list_;
  QLabel* preview_;
  std::vector<QImage> thumbnails_;
};

// The change of difficulty: the lines of DifficultyItems() in a drop-down
// list. The main window sets the range it starts from; showing the dialog
// selects the line of that range without changing it, and only choosing a
// line changes the range to that line's.
class TfrmDifficulty : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmDifficulty(QWidget* parent = nullptr);
  void SetNumPieces(TPieceRange range) { range_ = range; }
  std::int32_t NumPiecesMin() const { return range_.Min; }
  std::int32_t NumPiecesMax() const { return range_.Max; }
  TPieceRange NumPieces() const { return range_; }
  QComboBox* Combo() const { return combo_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QComboBox* combo_;
  TPieceRange range_{0, 24};
};

// The modeless solution window: the board's solution picture stretched to
// the window's height.
class TfrmSolution : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmSolution(QWidget* parent = nullptr);
  // Takes the picture and the width that goes with it; Show() shows it.
  void SetSolution(const TBitmap32& solution);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};

}  // namespace duduri
