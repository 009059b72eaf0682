#pragma once
// TBannerSwitcher rotates the banners of one container in one image: each
// banner stays for its own Interval, then the next one is shown, wrapping to
// the first. The timer is a platform service handed in by the owner; tests
// pass a fake and fire it by hand.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace duduri {

class TBannerContainer;

// A message-driven timer: while enabled with a non-zero interval it calls
// OnTimer every Interval milliseconds; an interval of 0 never fires.
class IIntervalTimer {
 public:
  virtual ~IIntervalTimer() = default;
  virtual void SetInterval(std::uint32_t milliseconds) = 0;
  virtual std::uint32_t Interval() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
  std::function<void()> OnTimer;
};

using TTimerFactory = std::function<std::unique_ptr<IIntervalTimer>()>;

class TBannerSwitcher {
 public:
  // The timer is created disabled; the switcher installs itself as its
  // handler.
  explicit TBannerSwitcher(std::unique_ptr<IIntervalTimer> timer);
  TBannerSwitcher(const TBannerSwitcher&) = delete;
  TBannerSwitcher& operator=(const TBannerSwitcher&) = delete;

  const TBannerContainer* Banners() const { return banners_; }
  void SetBanners(const TBannerContainer* container) { banners_ = container; }
  std::int32_t BannerIndex() const { return index_; }
  IIntervalTimer& Timer() { return *timer_; }
  void* Image = nullptr;  // the image control it fills, owned by the shell

  // Tells the owner to show banner BannerIndex of the container.
  std::function<void(TBannerSwitcher&)> OnSwitchBanner;

  // Shows the first banner and arms the timer.
  void Start();
  // Shows the next banner, wrapping after the last.
  void Tick();

 private:
  // Interval of the shown banner when there are several, else 0.
  void arm(std::size_t count);

  std::unique_ptr<IIntervalTimer> timer_;
  const TBannerContainer* banners_ = nullptr;
  std::int32_t index_ = 0;
};

// Owns the switchers of one window layout and frees them together.
class TBannerSwitcherManager {
 public:
  explicit TBannerSwitcherManager(TTimerFactory timers) : timers_(std::move(timers)) {}
  TBannerSwitcher& Add(const TBannerContainer* container);
  std::size_t Count() const { return switchers_.size(); }
  TBannerSwitcher& Switcher(std::size_t index) { return *switchers_.at(index); }
  void Clear() { switchers_.clear(); }

 private:
  TTimerFactory timers_;
  std::vector<std::unique_ptr<TBannerSwitcher>> switchers_;
};

}  // namespace duduri
