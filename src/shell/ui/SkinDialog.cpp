// The skin choice (TfrmSelectSkin).

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "project/Project.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"
#include "shell/ui/Dialogs.h"

namespace duduri {

namespace {

constexpr int kThumbnailSide = 128;

// A skin's picture squeezed into the thumbnail square, proportions not
// kept; a picture's transparent colour stays transparent.
QImage thumbnailOf(const TSkinEntry& skin) {
  QImage thumbnail(kThumbnailSide, kThumbnailSide, QImage::Format_ARGB32);
  thumbnail.fill(Qt::black);
  if (skin.Image.empty()) return thumbnail;
  try {
    TBitmap32 picture;
    picture.Assign(DecodePicture(skin.Image));
    return ImageOf(picture).scaled(kThumbnailSide, kThumbnailSide, Qt::IgnoreAspectRatio,
                                   Qt::SmoothTransformation);
  } catch (const EDuduriError&) {
    return thumbnail;  // a skin that does not decode shows as an empty square
  }
}

}  // namespace

TfrmSelectSkin::TfrmSelectSkin(const TJigsawProject2& project, int currentSkinId, QWidget* parent)
    : TPlayerDialog("Select Skin", 327, 197, parent) {
  // A single border with only the system menu.
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  list_ = new QListWidget(panel_);
  list_->setFixedSize(111, 161);
  preview_ = new QLabel(panel_);
  preview_->setFixedSize(kThumbnailSide, kThumbnailSide);
  auto* ok = new QPushButton("Ok", panel_);
  auto* cancel = new QPushButton("Cancel", panel_);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(preview_);
  right->addStretch();
  auto* layout = new QHBoxLayout(panel_);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(list_);
  layout->addLayout(right);
  layout->addLayout(buttons);

  for (std::size_t i = 0; i < project.Skins.size(); ++i) {
    thumbnails_.push_back(thumbnailOf(project.Skins[i]));
    list_->addItem(QString("Skin #%1").arg(i + 1));
  }
  connect(list_, &QListWidget::currentRowChanged, this, [this] { showPreview(); });
  if (currentSkinId >= 0 && currentSkinId < list_->count()) {
    list_->setCurrentRow(currentSkinId);
  } else if (list_->count() > 0) {
    list_->setCurrentRow(0);
  }
  showPreview();
}

int TfrmSelectSkin::SkinId() const {
  return list_->currentRow();
}

QImage TfrmSelectSkin::PreviewImage() const {
  return preview_->pixmap().toImage();
}

void TfrmSelectSkin::showPreview() {
  // Black first, so a transparent thumbnail shows on black, not on the
  // thumbnail that was there before.
  QImage shown(kThumbnailSide, kThumbnailSide, QImage::Format_ARGB32);
  shown.fill(Qt::black);
  const int row = list_->currentRow();
  if (row >= 0 && row < int(thumbnails_.size())) {
    QPainter painter(&shown);
    painter.drawImage(0, 0, thumbnails_[std::size_t(row)]);
  }
  preview_->setPixmap(QPixmap::fromImage(shown));
}

}  // namespace duduri
