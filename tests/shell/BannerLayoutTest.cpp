// The banners of a window layout on a hand-driven clock: which images are
// made where, what each switch shows and for how long, and what a click runs.

#include <gtest/gtest.h>

#include <map>

#include "TestProject.h"
#include "project/Project.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"
#include "shell/BannerLayout.h"

namespace duduri {
namespace {

// Timers on a clock the test moves: a timer fires each time its interval
// has passed since it was armed, as a message-driven timer would.
class TClock {
 public:
  class TTimer : public IIntervalTimer {
   public:
    explicit TTimer(TClock& clock) : clock_(clock) { clock_.timers_.push_back(this); }
    ~TTimer() override { std::erase(clock_.timers_, this); }
    void SetInterval(std::uint32_t ms) override {
      interval_ = ms;
      due_ = clock_.now + ms;
    }
    std::uint32_t Interval() const override { return interval_; }
    void SetEnabled(bool enabled) override {
      if (enabled && !enabled_) due_ = clock_.now + interval_;
      enabled_ = enabled;
    }
    bool Enabled() const override { return enabled_; }

   private:
    friend class TClock;
    TClock& clock_;
    std::uint32_t interval_ = 0;
    std::uint64_t due_ = 0;
    bool enabled_ = false;
  };

  TTimerFactory Factory() {
    return [this] { return std::unique_ptr<IIntervalTimer>(std::make_unique<TTimer>(*this)); };
  }
  // Moves the clock by `ms`, one millisecond at a time, firing what is due.
  void Advance(std::uint64_t ms) {
    for (std::uint64_t i = 0; i < ms; ++i) {
      ++now;
      for (std::size_t t = 0; t < timers_.size(); ++t) {
        TTimer* timer = timers_[t];
        if (timer->enabled_ && timer->interval_ > 0 && timer->due_ <= now) {
          timer->due_ = now + timer->interval_;
          timer->OnTimer();
        }
      }
    }
  }
  std::size_t Live() const { return timers_.size(); }

  std::uint64_t now = 0;

 private:
  std::vector<TTimer*> timers_;
};

// Records what the layout asks of its images.
class TFakeImages : public IBannerImages {
 public:
  struct TImage {
    TBannerPlace place;
    std::vector<TBannerShow> shows;
    std::vector<std::uint64_t> at;  // clock time of each show
    int pictureWidth = 0;           // of the last picture set
  };

  explicit TFakeImages(const TClock& clock) : clock_(clock) {}
  void ClearImages() override {
    ++clears;
    images.clear();
  }
  void* AddImage(TBannerPlace place) override {
    images.push_back(std::make_unique<TImage>(TImage{place, {}, {}}));
    return images.back().get();
  }
  void ShowBanner(void* image, const TBannerShow& show) override {
    auto* i = static_cast<TImage*>(image);
    i->shows.push_back(show);
    i->at.push_back(clock_.now);
    if (show.Picture) i->pictureWidth = show.Picture->Width();
  }
  void SetStripVisible(bool visible) override { strip = visible; }

  std::vector<std::unique_ptr<TImage>> images;
  bool strip = false;
  int clears = 0;

 private:
  const TClock& clock_;
};

TBanner& addBanner(TJigsawProject2& p, int width, std::int32_t interval, const std::string& url) {
  TBanner& b = p.Banners.Add();
  b.Data = test::PaintedJpeg(width, 40, int(p.Banners.Count()));
  b.TypeData = tdJPG;
  b.Interval = interval;
  b.URL = url;
  b.SetEventID(url.empty() ? 0 : kOpenAddressCommand);
  b.RecomputeSize();
  return b;
}

std::vector<std::int32_t> shownIds(const TFakeImages::TImage& image) {
  std::vector<std::int32_t> ids;
  for (const TBannerShow& s : image.shows) ids.push_back(s.Banner->ID);
  return ids;
}

class BannerLayout : public ::testing::Test {
 protected:
  TClock clock;
  TFakeImages images{clock};
  TBannerLayout layout{clock.Factory(), images};
  TJigsawProject2 project;
};

TEST_F(BannerLayout, StripShowsEveryBannerForItsOwnIntervalAndWraps) {
  const std::int32_t a = addBanner(project, 100, 1000, "https://example.org/a").ID;
  const std::int32_t b = addBanner(project, 160, 2000, "").ID;
  const std::int32_t c = addBanner(project, 120, 500, "").ID;
  ASSERT_TRUE(layout.Show(project, 0));
  EXPECT_TRUE(images.strip);
  ASSERT_EQ(images.images.size(), 1u);
  const TFakeImages::TImage& strip = *images.images[0];
  EXPECT_EQ(strip.place, TBannerPlace::bpStrip);

  clock.Advance(1000 + 2000 + 500 + 1000 + 1);
  EXPECT_EQ(shownIds(strip), (std::vector<std::int32_t>{a, b, c, a, b}));
  EXPECT_EQ(strip.at, (std::vector<std::uint64_t>{0, 1000, 3000, 3500, 4500}));
  // The strip is as tall as the tallest banner plus its margin; the hint
  // and the hand follow the banner shown.
  EXPECT_EQ(strip.shows[0].StripHeight, 44);
  EXPECT_EQ(strip.shows[0].Hint, "Visit https://example.org/a");
  EXPECT_TRUE(strip.shows[0].HandCursor);
  EXPECT_EQ(strip.shows[1].Hint, "");
  EXPECT_FALSE(strip.shows[1].HandCursor);
  EXPECT_EQ(strip.pictureWidth, 160);
}

TEST_F(BannerLayout, IntervalsOfZeroOrLessStopTheRotationInsteadOfSpinning) {
  addBanner(project, 100, 1000, "");
  addBanner(project, 100, 0, "");
  addBanner(project, 100, -5, "");
  ASSERT_TRUE(layout.Show(project, 0));
  clock.Advance(1000);
  const TFakeImages::TImage& strip = *images.images[0];
  ASSERT_EQ(strip.shows.size(), 2u);
  // The second banner stays: its timer is never due.
  clock.Advance(100000);
  EXPECT_EQ(strip.shows.size(), 2u);

  // A lone banner never switches, whatever its interval.
  TJigsawProject2 single;
  addBanner(single, 100, 700, "");
  layout.Show(single, 0);
  clock.Advance(10000);
  EXPECT_EQ(images.images[0]->shows.size(), 1u);
}

TEST_F(BannerLayout, SkinnedWindowShowsTheContainersOfItsSkinAtTheirPlaces) {
  project.WindowStyle = kStyleSkinned;
  TBanner& a = addBanner(project, 100, 1000, "");
  TBanner& b = addBanner(project, 100, 1000, "");
  TBannerContainer& mine = project.BannerContainers.Add();
  mine.SkinID = 7;
  mine.Left = 30;
  mine.Top = 40;
  mine.AddBanner(b);
  mine.AddBanner(a);
  TBannerContainer& other = project.BannerContainers.Add();
  other.SkinID = 8;
  other.AddBanner(a);

  ASSERT_TRUE(layout.Show(project, 7));
  EXPECT_FALSE(images.strip);
  ASSERT_EQ(images.images.size(), 1u);
  const TFakeImages::TImage& image = *images.images[0];
  EXPECT_EQ(image.place, TBannerPlace::bpSkin);
  EXPECT_EQ(image.shows[0].Banner, &b);
  EXPECT_EQ(image.shows[0].Left, 30);
  EXPECT_EQ(image.shows[0].Top, 40);
  clock.Advance(1000);
  EXPECT_EQ(image.shows.back().Banner, &a);

  // Another skin: the previous images and their timers are gone.
  ASSERT_TRUE(layout.Show(project, 8));
  EXPECT_EQ(images.images.size(), 1u);
  EXPECT_EQ(clock.Live(), 1u);
  // A skin without containers shows none, and no strip either.
  EXPECT_FALSE(layout.Show(project, 9));
  EXPECT_TRUE(images.images.empty());
  EXPECT_FALSE(images.strip);
}

TEST_F(BannerLayout, NoBannersHidesTheStrip) {
  images.strip = true;
  EXPECT_FALSE(layout.Show(project, 0));
  EXPECT_FALSE(images.strip);
  EXPECT_TRUE(images.images.empty());
}

TEST_F(BannerLayout, PictureThatDoesNotDecodeLeavesTheImageAsItWas) {
  addBanner(project, 90, 1000, "");
  TBanner& broken = addBanner(project, 100, 1000, "https://example.org/x");
  broken.Data.resize(broken.Data.size() / 3);  // a JPEG cut short
  broken.TypeData = tdBMP;                     // and of the wrong kind
  ASSERT_TRUE(layout.Show(project, 0));
  clock.Advance(1000);
  const TFakeImages::TImage& strip = *images.images[0];
  ASSERT_EQ(strip.shows.size(), 2u);
  EXPECT_NE(strip.shows[0].Picture, nullptr);
  EXPECT_EQ(strip.shows[1].Picture, nullptr);
  EXPECT_EQ(strip.pictureWidth, 90);
  // The rest of the banner still applies: its hint and its click.
  EXPECT_EQ(strip.shows[1].Hint, "Visit https://example.org/x");
}

TEST_F(BannerLayout, ClickRunsTheShownBannersScriptWithTheImageAsSender) {
  addBanner(project, 100, 1000, "");
  addBanner(project, 100, 1000, "https://example.org/b");
  ASSERT_TRUE(layout.Show(project, 0));
  clock.Advance(1000);
  struct TRun {
    void* sender;
    std::int32_t code;
    std::string text;
  };
  std::vector<TRun> runs;
  SetCommandHandler([&](void* sender, std::int32_t code, const TScriptParameter& p) {
    runs.push_back({sender, code, p.Text(0)});
  });
  void* image = images.images[0].get();
  layout.Click(image);
  layout.Click(nullptr);  // not one of its images: nothing
  SetCommandHandler({});
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].sender, image);
  EXPECT_EQ(runs[0].code, kOpenAddressCommand);
  EXPECT_EQ(runs[0].text, "https://example.org/b");
}

}  // namespace
}  // namespace duduri
