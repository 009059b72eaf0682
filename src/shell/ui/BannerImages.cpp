#include "shell/ui/BannerImages.h"

#include <QHBoxLayout>
#include <QMouseEvent>

namespace duduri {

namespace {

QImage imageOf(const TBitmap32& picture) {
  // Banners are opaque pictures; the copy outlives the decoded bitmap.
  return QImage(reinterpret_cast<const uchar*>(picture.Bits()), picture.Width(), picture.Height(),
                picture.Width() * 4, QImage::Format_RGB32)
      .copy();
}

}  // namespace

TQtIntervalTimer::TQtIntervalTimer() {
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    if (OnTimer) OnTimer();
  });
}

void TQtIntervalTimer::rearm() {
  if (enabled_ && interval_ > 0) {
    timer_.start(int(std::min<std::uint32_t>(interval_, 0x7FFFFFFF)));
  } else {
    timer_.stop();
  }
}

void TQtIntervalTimer::SetInterval(std::uint32_t milliseconds) {
  interval_ = milliseconds;
  rearm();
}

void TQtIntervalTimer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  rearm();
}

void TBannerImage::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
}

void TBannerImage::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && event->button() == Qt::LeftButton &&
                     rect().contains(event->position().toPoint());
  pressed_ = false;
  // Last, and through a copy: the script may lay the window out again,
  // which clears this image's handler and frees the image.
  if (!click) return;
  const std::function<void()> onClick = OnClick;
  if (onClick) onClick();
}

TBannerImageManager::TBannerImageManager(QWidget* strip, QWidget* skin)
    : strip_(strip), skin_(skin) {
  if (!strip_->layout()) {
    auto* row = new QHBoxLayout(strip_);
    row->setContentsMargins(0, 0, 0, 0);
  }
}

TBannerImageManager::~TBannerImageManager() {
  ClearImages();
}

void TBannerImageManager::ClearImages() {
  for (const QPointer<TBannerImage>& image : images_) {
    if (!image) continue;
    // A click on this image may be what is laying the window out.
    image->hide();
    image->OnClick = nullptr;
    image->deleteLater();
  }
  images_.clear();
}

void* TBannerImageManager::AddImage(TBannerPlace place) {
  QWidget* parent = place == TBannerPlace::bpSkin ? skin_ : strip_;
  auto* image = new TBannerImage(parent);
  image->setObjectName("BannerImage");
  image->setAlignment(Qt::AlignCenter);
  if (place == TBannerPlace::bpStrip) {
    strip_->layout()->addWidget(image);
    strip_->layout()->setAlignment(image, Qt::AlignCenter);
  }
  void* handle = image;
  image->OnClick = [this, handle] {
    if (OnClick) OnClick(handle);
  };
  images_.push_back(image);
  return handle;
}

void TBannerImageManager::ShowBanner(void* handle, const TBannerShow& show) {
  auto* image = static_cast<TBannerImage*>(handle);
  if (show.Picture && !show.Picture->Empty()) {
    image->setPixmap(QPixmap::fromImage(imageOf(*show.Picture)));
  }
  image->adjustSize();
  if (show.Place == TBannerPlace::bpSkin) {
    image->move(show.Left, show.Top);
    image->raise();
  } else {
    strip_->setFixedHeight(std::max(0, show.StripHeight));
  }
  image->setToolTip(QString::fromStdString(show.Hint));
  image->setCursor(show.HandCursor ? Qt::PointingHandCursor : Qt::ArrowCursor);
  image->show();
}

void TBannerImageManager::SetStripVisible(bool visible) {
  strip_->setVisible(visible);
}

}  // namespace duduri
