#pragma once
// The banners of a window layout, without widgets. Each time the window is
// laid out, TBannerLayout frees the previous images and switchers and then:
//
// - on a skinned window (the project's style 19) with banner containers: one
//   image on the skin per container whose SkinID is the id of the skin entry
//   laid out, each with its own switcher;
// - otherwise, when the project has banners: the banner strip with one image
//   and one switcher over every banner of the project, in project order;
// - otherwise the strip is hidden.
//
// Every switch shows the current banner: its picture (decoded once, a
// picture that does not decode leaves the image as it was), its place, the
// hint "Visit " + URL and the hand cursor when its script has a command. A
// click runs the banner's script with the image as sender. Timers come from
// the factory handed in, so tests move time by hand.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "project/BannerSwitcher.h"
#include "project/Banners.h"
#include "raster/Bitmap32.h"

namespace duduri {

class TJigsawProject2;

enum class TBannerPlace { bpSkin, bpStrip };

// What one switch asks of an image.
struct TBannerShow {
  const TBanner* Banner = nullptr;
  // The decoded picture; nullptr when it does not decode (keep the old one).
  const TBitmap32* Picture = nullptr;
  TBannerPlace Place = TBannerPlace::bpStrip;
  std::int32_t Left = 0;  // on the skin (bpSkin)
  std::int32_t Top = 0;
  std::int32_t StripHeight = 0;  // the strip's client height (bpStrip)
  std::string Hint;              // "" for none
  bool HandCursor = false;
};

// The image controls the banners are shown in (TBannerImageManager's part):
// the window creates, fills and frees them.
class IBannerImages {
 public:
  virtual ~IBannerImages() = default;
  // Frees every image made by AddImage.
  virtual void ClearImages() = 0;
  // A new image on the skin or in the strip; the handle is what ShowBanner
  // and TBannerLayout::Click take.
  virtual void* AddImage(TBannerPlace place) = 0;
  virtual void ShowBanner(void* image, const TBannerShow& show) = 0;
  virtual void SetStripVisible(bool visible) = 0;
};

class TBannerLayout {
 public:
  TBannerLayout(TTimerFactory timers, IBannerImages& images);
  ~TBannerLayout();
  TBannerLayout(const TBannerLayout&) = delete;
  TBannerLayout& operator=(const TBannerLayout&) = delete;

  // Lays the banners out for the skin entry id (0 for windows without a
  // skin). True when any banner shows.
  bool Show(const TJigsawProject2& project, std::int32_t skinEntryId);
  // Frees images, switchers and the strip's container.
  void Clear();
  // A click on an image: runs its banner's script with the image as sender.
  void Click(void* image) const;

  TBannerSwitcherManager& Switchers() { return switchers_; }
  // The banner an image shows now, or nullptr.
  const TBanner* Shown(void* image) const;

 private:
  void switched(TBannerSwitcher& switcher);
  const TBitmap32* picture(const TBanner& banner);

  IBannerImages& images_;
  TBannerSwitcherManager switchers_;
  std::unique_ptr<TBannerContainer> strip_;  // every banner of the project
  std::map<void*, TBannerSwitcher*> byImage_;
  // Decoded pictures by banner, for the layout shown now.
  std::map<const TBanner*, TBitmap32> decoded_;
  std::map<const TBanner*, bool> undecodable_;
  bool skinned_ = false;
};

}  // namespace duduri
