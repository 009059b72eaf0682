#include "shell/BannerLayout.h"

#include "project/Project.h"
#include "raster/Picture.h"

namespace duduri {

namespace {

// The strip's image keeps a small margin above and below the banner.
constexpr std::int32_t kStripMargin = 4;

TPicture decodeBanner(const TBanner& banner) {
  return banner.TypeData == tdBMP ? DecodeBmp(banner.Data) : DecodeJpeg(banner.Data);
}

}  // namespace

TBannerLayout::TBannerLayout(TTimerFactory timers, IBannerImages& images)
    : images_(images), switchers_(std::move(timers)) {}

TBannerLayout::~TBannerLayout() {
  // Switchers first: their timers must not fire into freed images.
  switchers_.Clear();
}

void TBannerLayout::Clear() {
  switchers_.Clear();
  byImage_.clear();
  images_.ClearImages();
  strip_.reset();
  // Pictures are keyed by banner: a later layout may come from another
  // project whose banners happen to live at the same addresses.
  decoded_.clear();
  undecodable_.clear();
}

bool TBannerLayout::Show(const TJigsawProject2& project, std::int32_t skinEntryId) {
  Clear();
  // Containers hold the banners' list by pointer; the layout only reads it.
  auto* banners = const_cast<TBanners*>(&project.Banners);

  std::vector<const TBannerContainer*> shown;
  skinned_ = project.WindowStyle == kStyleSkinned && project.BannerContainers.Count() > 0;
  if (skinned_) {
    images_.SetStripVisible(false);
    for (std::size_t i = 0; i < project.BannerContainers.Count(); ++i) {
      const TBannerContainer* c = project.BannerContainers.Container(i);
      if (c->SkinID == skinEntryId) shown.push_back(c);
    }
  } else if (project.Banners.Count() > 0) {
    strip_ = std::make_unique<TBannerContainer>(banners);
    for (std::size_t i = 0; i < project.Banners.Count(); ++i) {
      strip_->AddBanner(*project.Banners.Banner(i));
    }
    shown.push_back(strip_.get());
    images_.SetStripVisible(true);
  } else {
    images_.SetStripVisible(false);
    return false;
  }

  bool any = false;
  for (const TBannerContainer* container : shown) {
    void* image = images_.AddImage(skinned_ ? TBannerPlace::bpSkin : TBannerPlace::bpStrip);
    TBannerSwitcher& switcher = switchers_.Add(container);
    switcher.Image = image;
    switcher.OnSwitchBanner = [this](TBannerSwitcher& s) { switched(s); };
    byImage_[image] = &switcher;
    switcher.Start();
    any = any || container->Count() > 0;
  }
  return any;
}

const TBitmap32* TBannerLayout::picture(const TBanner& banner) {
  if (const auto it = decoded_.find(&banner); it != decoded_.end()) return &it->second;
  if (undecodable_.count(&banner)) return nullptr;
  try {
    TBitmap32& bitmap = decoded_[&banner];
    bitmap.Assign(decodeBanner(banner));
    return &bitmap;
  } catch (const EDuduriError&) {
    decoded_.erase(&banner);
    undecodable_[&banner] = true;
    return nullptr;
  }
}

void TBannerLayout::switched(TBannerSwitcher& switcher) {
  const TBannerContainer* container = switcher.Banners();
  const TBanner* banner = container ? container->Banner(std::size_t(switcher.BannerIndex())) : nullptr;
  if (!banner) return;
  TBannerShow show;
  show.Banner = banner;
  show.Picture = picture(*banner);
  if (skinned_) {
    show.Place = TBannerPlace::bpSkin;
    show.Left = container->Left;
    show.Top = container->Top;
  } else {
    show.Place = TBannerPlace::bpStrip;
    show.StripHeight = container->Height() + kStripMargin;
  }
  if (!banner->URL.empty()) show.Hint = "Visit " + banner->URL;
  show.HandCursor = banner->Script.Code != 0;
  images_.ShowBanner(switcher.Image, show);
}

const TBanner* TBannerLayout::Shown(void* image) const {
  const auto it = byImage_.find(image);
  if (it == byImage_.end()) return nullptr;
  const TBannerContainer* container = it->second->Banners();
  return container ? container->Banner(std::size_t(it->second->BannerIndex())) : nullptr;
}

void TBannerLayout::Click(void* image) const {
  const TBanner* banner = Shown(image);
  if (!banner) return;
  TScriptItem script;
  script.Assign(banner->Script);
  script.ActualSender = image;
  script.Run();
}

}  // namespace duduri
