#pragma once
// The banner images of the main window (TBannerImageManager): labels in the
// banner strip or on the skin that show what TBannerLayout switches to, and
// the QTimer behind each banner switcher.

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <vector>

#include "project/BannerSwitcher.h"
#include "shell/BannerLayout.h"

namespace duduri {

// A QTimer as a switcher's timer. An interval of 0 never fires: a QTimer of
// 0 ms would fire on every pass of the event loop and spin the processor.
class TQtIntervalTimer : public IIntervalTimer {
 public:
  TQtIntervalTimer();
  void SetInterval(std::uint32_t milliseconds) override;
  std::uint32_t Interval() const override { return interval_; }
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return enabled_; }
  const QTimer& Timer() const { return timer_; }

 private:
  void rearm();
  QTimer timer_;
  std::uint32_t interval_ = 0;
  bool enabled_ = false;
};

// One banner image; a left click runs the banner's script.
class TBannerImage : public QLabel {
 public:
  explicit TBannerImage(QWidget* parent) : QLabel(parent) {}
  std::function<void()> OnClick;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

class TBannerImageManager : public IBannerImages {
 public:
  // `strip` is the banner panel (pnlBanner), `skin` the window background.
  TBannerImageManager(QWidget* strip, QWidget* skin);
  ~TBannerImageManager() override;

  // Clicks go here (TBannerLayout::Click).
  std::function<void(void* image)> OnClick;

  void ClearImages() override;
  void* AddImage(TBannerPlace place) override;
  void ShowBanner(void* image, const TBannerShow& show) override;
  void SetStripVisible(bool visible) override;

  const std::vector<QPointer<TBannerImage>>& Images() const { return images_; }

 private:
  QWidget* strip_;
  QWidget* skin_;
  std::vector<QPointer<TBannerImage>> images_;
};

}  // namespace duduri
