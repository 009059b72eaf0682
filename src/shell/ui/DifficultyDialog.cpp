// The change of difficulty (TfrmDifficulty).

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "shell/ui/Dialogs.h"

namespace duduri {

TfrmDifficulty::TfrmDifficulty(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Change Difficulty");
  setFixedSize(195, 87);
  QFont font("Verdana");
  font.setPointSize(8);
  setFont(font);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);

  combo_ = new QComboBox(this);
  for (const TDifficultyItem& item : DifficultyItems()) combo_->addItem(item.Text);
  combo_->setCurrentIndex(0);
  connect(combo_, &QComboBox::currentIndexChanged, this, [this](int index) {
    const auto items = DifficultyItems();
    if (index >= 0 && index < int(items.size())) range_ = items[std::size_t(index)].Range;
  });
  auto* ok = new QPushButton("Ok", this);
  auto* cancel = new QPushButton("Cancel", this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(3);
  layout->addWidget(new QLabel("Change Your Pieces :", this));
  layout->addWidget(combo_);
  layout->addLayout(buttons);
}

void TfrmDifficulty::showEvent(QShowEvent* event) {
  // Selecting the line is not choosing it: a range between the presets is
  // kept as it is until the player picks a line.
  const QSignalBlocker quiet(combo_);
  combo_->setCurrentIndex(DifficultyItemFor(range_));
  QDialog::showEvent(event);
}

}  // namespace duduri
