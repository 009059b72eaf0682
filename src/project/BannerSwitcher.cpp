#include "project/BannerSwitcher.h"

#include <cassert>

#include "project/Banners.h"

namespace duduri {

TBannerSwitcher::TBannerSwitcher(std::unique_ptr<IIntervalTimer> timer) : timer_(std::move(timer)) {
  assert(timer_ != nullptr);
  timer_->SetEnabled(false);
  timer_->OnTimer = [this] { Tick(); };
}

void TBannerSwitcher::arm(std::size_t count) {
  const TBanner* shown = banners_->Banner(std::size_t(index_));
  const std::int32_t interval = count > 1 && shown != nullptr ? shown->Interval : 0;
  timer_->SetInterval(interval > 0 ? std::uint32_t(interval) : 0);
  if (OnSwitchBanner) OnSwitchBanner(*this);
  timer_->SetEnabled(true);
}

void TBannerSwitcher::Start() {
  timer_->SetEnabled(false);
  if (banners_ == nullptr) return;
  const std::size_t count = banners_->Count();
  if (count == 0) return;
  index_ = 0;
  arm(count);
}

void TBannerSwitcher::Tick() {
  timer_->SetEnabled(false);
  if (banners_ == nullptr) return;
  const std::size_t count = banners_->Count();
  if (count == 0) return;
  index_ = std::size_t(index_) + 1 >= count ? 0 : index_ + 1;
  arm(count);
}

TBannerSwitcher& TBannerSwitcherManager::Add(const TBannerContainer* container) {
  switchers_.push_back(std::make_unique<TBannerSwitcher>(timers_()));
  switchers_.back()->SetBanners(container);
  return *switchers_.back();
}

}  // namespace duduri
