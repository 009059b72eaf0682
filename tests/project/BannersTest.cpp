// Banners, containers and the switcher that rotates them.

#include <gtest/gtest.h>

#include "ProjectTestData.h"
#include "project/BannerSwitcher.h"
#include "project/Banners.h"

namespace duduri {
namespace {

class FakeTimer : public IIntervalTimer {
 public:
  void SetInterval(std::uint32_t ms) override { interval_ = ms; }
  std::uint32_t Interval() const override { return interval_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Enabled() const override { return enabled_; }
  // Fires once when the timer would: enabled with a non-zero interval.
  bool Fire() {
    if (!enabled_ || interval_ == 0) return false;
    OnTimer();
    return true;
  }

 private:
  std::uint32_t interval_ = 0;
  bool enabled_ = true;
};

TEST(Banners, EventId11CarriesTheUrlEvenWhenEmpty) {
  TBanner b;
  b.SetEventID(kOpenAddressCommand);
  EXPECT_EQ(b.Script.Code, 11);
  ASSERT_EQ(b.Script.Parameter.Count(), 1u);
  EXPECT_EQ(b.Script.Parameter.Get(0).Kind, kParamText);
  EXPECT_EQ(b.Script.Parameter.Get(0).Data.size(), 0u);
  b.SetEventID(4);
  EXPECT_EQ(b.Script.Parameter.Count(), 0u);
}

TEST(Banners, StreamSetsTheEventAfterTheUrl) {
  TBanner b;
  b.ID = 12;
  b.Name = "n";
  b.URL = "https://morvenhal.example/";
  b.Data = test::MakeJpeg(33, 21);
  b.Interval = 700;
  b.SetEventID(kOpenAddressCommand);
  TByteWriter w;
  b.WriteStream(w);
  EXPECT_EQ(w.Size(), 33 + b.Name.size() + b.URL.size() + b.Data.size());
  TBanner r;
  TByteReader in(w.Data());
  r.ReadStream(in);
  EXPECT_EQ(r.Script.Parameter.Text(0), b.URL);
  EXPECT_EQ(r.Width(), 33);
  EXPECT_EQ(r.Height(), 21);
  EXPECT_EQ(r.Interval, 700);
  // Data of the other kind than TypeData says shows nothing.
  r.TypeData = tdBMP;
  r.RecomputeSize();
  EXPECT_EQ(r.Width(), 0);
}

TEST(Banners, ContainerIsAsWideAsItsWidestBannerAndDropsMissingOnes) {
  TBanners banners;
  TBanner& a = banners.Add();
  a.Data = test::MakeJpeg(40, 10);
  a.RecomputeSize();
  TBanner& b = banners.Add();
  b.Data = test::MakeJpeg(25, 30);
  b.RecomputeSize();
  EXPECT_NE(a.ID, b.ID);
  TBannerContainerManager manager(&banners);
  TBannerContainer& c = manager.Add();
  c.AddBanner(a);
  c.AddBanner(b);
  EXPECT_EQ(c.Width(), 40);
  EXPECT_EQ(c.Height(), 30);

  TByteWriter w;
  c.WriteStream(w);
  EXPECT_EQ(std::int32_t(w.Size()), c.StoredSizeField());
  banners.Delete(0);  // a is gone: the container no longer shows it
  EXPECT_EQ(c.Count(), 1u);
  TBannerContainer read(&banners);
  TByteReader in(w.Data());
  read.ReadStream(in);
  EXPECT_EQ(read.Count(), 1u);
  EXPECT_EQ(read.Banner(0), banners.Banner(0));
  EXPECT_EQ(read.Width(), 25);
}

TEST(BannerSwitcher, OneBannerNeverSwitches) {
  TBanners banners;
  TBannerContainer c(&banners);
  c.AddBanner(banners.Add());
  auto timer = std::make_unique<FakeTimer>();
  FakeTimer* t = timer.get();
  TBannerSwitcher s(std::move(timer));
  EXPECT_FALSE(t->Enabled());
  s.SetBanners(&c);
  int shown = 0;
  s.OnSwitchBanner = [&](TBannerSwitcher&) { ++shown; };
  s.Start();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(t->Interval(), 0u);
  EXPECT_FALSE(t->Fire());
}

TEST(BannerSwitcher, RotatesWithEachBannersOwnInterval) {
  TBanners banners;
  TBannerContainer c(&banners);
  for (int interval : {1000, 2000, 500}) {
    TBanner& b = banners.Add();
    b.Interval = interval;
    c.AddBanner(b);
  }
  auto timer = std::make_unique<FakeTimer>();
  FakeTimer* t = timer.get();
  TBannerSwitcher s(std::move(timer));
  s.SetBanners(&c);
  std::vector<std::pair<int, std::uint32_t>> seen;
  s.OnSwitchBanner = [&](TBannerSwitcher& sw) {
    seen.push_back({sw.BannerIndex(), t->Interval()});
  };
  s.Start();
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(t->Fire());
  const std::vector<std::pair<int, std::uint32_t>> expected = {
      {0, 1000}, {1, 2000}, {2, 500}, {0, 1000}, {1, 2000}};
  EXPECT_EQ(seen, expected);
  EXPECT_TRUE(t->Enabled());
}

TEST(BannerSwitcher, MissingOrEmptyContainerStopsTheTimer) {
  TBannerSwitcherManager manager([] { return std::make_unique<FakeTimer>(); });
  TBannerSwitcher& s = manager.Add(nullptr);
  int shown = 0;
  s.OnSwitchBanner = [&](TBannerSwitcher&) { ++shown; };
  s.Start();
  s.Tick();
  EXPECT_EQ(shown, 0);
  EXPECT_FALSE(s.Timer().Enabled());
  TBanners banners;
  TBannerContainer empty(&banners);
  s.SetBanners(&empty);
  s.Start();
  EXPECT_EQ(shown, 0);
}

}  // namespace
}  // namespace duduri
