#include "project/Banners.h"

#include <algorithm>

#include "project/NewId.h"
#include "raster/Picture.h"

namespace duduri {

// ---- TBanner ---------------------------------------------------------------

void TBanner::SetEventID(std::int32_t id) {
  eventId_ = id;
  Script.Code = id;
  Script.Parameter.Clear();
  if (id == kOpenAddressCommand) Script.AddTextParameter(URL);
}

void TBanner::RecomputeSize() {
  width_ = 0;
  height_ = 0;
  const TPictureFormat expected =
      TypeData == tdBMP ? TPictureFormat::pfBMP : TPictureFormat::pfJPEG;
  try {
    if (DetectPictureFormat(Data) != expected) return;
    const TPictureSize size = ReadPictureSize(Data);
    width_ = size.Width;
    height_ = size.Height;
  } catch (const EDuduriError&) {
    width_ = 0;
    height_ = 0;
  }
}

void TBanner::Assign(const TBanner& source) {
  if (&source == this) return;
  ID = source.ID;
  Data = source.Data;
  Left = source.Left;
  Top = source.Top;
  eventId_ = source.eventId_;
  Interval = source.Interval;
  URL = source.URL;
  TypeData = source.TypeData;
  Name = source.Name;
  Script.Assign(source.Script);
  RecomputeSize();
}

void TBanner::WriteStream(TByteWriter& out) const {
  out.I32(ID);
  out.String(Name);
  out.String(URL);
  out.I32(Left);
  out.I32(Top);
  out.I32(eventId_);
  out.I32(Interval);
  out.U8(TypeData);
  out.LengthPrefixedBytes(Data);
}

void TBanner::ReadStream(TByteReader& in) {
  ID = in.I32();
  Name = in.String();
  URL = in.String();
  Left = in.I32();
  Top = in.I32();
  const std::int32_t eventId = in.I32();
  Interval = in.I32();
  TypeData = TTypeData(in.U8());
  Data = in.LengthPrefixedBytes();
  SetEventID(eventId);  // after URL, so a code-11 script carries the stored address
  RecomputeSize();
}

std::int32_t TBanner::StoredSizeField() const {
  return CheckedLength(Name.size() + Data.size() + 25);
}

// ---- TBanners --------------------------------------------------------------

TBanner& TBanners::Add() {
  auto banner = std::make_unique<TBanner>();
  banner->ID = DrawAnyId([&](std::int32_t id) { return FindByID(id) != nullptr; }, "banner");
  return Append(std::move(banner));
}

TBanner& TBanners::Append(std::unique_ptr<TBanner> banner) {
  banners_.push_back(std::move(banner));
  return *banners_.back();
}

TBanner* TBanners::Banner(std::size_t index) const {
  return index < banners_.size() ? banners_[index].get() : nullptr;
}

TBanner* TBanners::FindByID(std::int32_t id) const {
  for (const auto& b : banners_)
    if (b->ID == id) return b.get();
  return nullptr;
}

void TBanners::Delete(std::size_t index) {
  if (index < banners_.size()) banners_.erase(banners_.begin() + std::ptrdiff_t(index));
}

void TBanners::Assign(const TBanners& source) {
  if (&source == this) return;
  Clear();
  for (const auto& b : source.banners_) {
    auto copy = std::make_unique<TBanner>();
    copy->Assign(*b);
    Append(std::move(copy));
  }
}

void TBanners::TakeFrom(TBanners& source) {
  if (&source == this) return;
  for (auto& b : source.banners_) banners_.push_back(std::move(b));
  source.banners_.clear();
}

// ---- TBannerContainer ------------------------------------------------------

std::vector<TBanner*> TBannerContainer::ResolvedBanners() const {
  std::vector<TBanner*> result;
  if (banners_ == nullptr) return result;
  for (std::int32_t id : ids_)
    if (TBanner* b = banners_->FindByID(id)) result.push_back(b);
  return result;
}

TBanner* TBannerContainer::Banner(std::size_t index) const {
  const std::vector<TBanner*> banners = ResolvedBanners();
  return index < banners.size() ? banners[index] : nullptr;
}

std::int32_t TBannerContainer::Width() const {
  std::int32_t w = 0;
  for (const TBanner* b : ResolvedBanners()) w = std::max(w, b->Width());
  return w;
}

std::int32_t TBannerContainer::Height() const {
  std::int32_t h = 0;
  for (const TBanner* b : ResolvedBanners()) h = std::max(h, b->Height());
  return h;
}

void TBannerContainer::Assign(const TBannerContainer& source) {
  if (&source == this) return;
  Left = source.Left;
  Top = source.Top;
  ID = source.ID;
  SkinID = source.SkinID;
  Name = source.Name;
  ids_ = source.ids_;
}

void TBannerContainer::WriteStream(TByteWriter& out) const {
  const std::vector<TBanner*> banners = ResolvedBanners();
  out.I32(ID);
  out.String(Name);
  out.I32(SkinID);
  out.I32(CheckedLength(banners.size()));
  for (const TBanner* b : banners) out.I32(b->ID);
  out.I32(Left);
  out.I32(Top);
}

void TBannerContainer::ReadStream(TByteReader& in) {
  ID = in.I32();
  Name = in.String();
  SkinID = in.I32();
  const std::size_t count = in.Count(4);
  ids_.clear();
  for (std::size_t i = 0; i < count; ++i) {
    const std::int32_t id = in.I32();
    if (banners_ != nullptr && banners_->FindByID(id) != nullptr) ids_.push_back(id);
  }
  Left = in.I32();
  Top = in.I32();
}

std::int32_t TBannerContainer::StoredSizeField() const {
  return CheckedLength(4 * ResolvedBanners().size() + Name.size() + 24);
}

// ---- TBannerContainerManager -----------------------------------------------

TBannerContainer& TBannerContainerManager::Add() {
  auto container = std::make_unique<TBannerContainer>(banners_);
  container->ID = DrawAnyId(
      [&](std::int32_t id) {
        for (const auto& c : containers_)
          if (c->ID == id) return true;
        return false;
      },
      "banner container");
  return Append(std::move(container));
}

TBannerContainer& TBannerContainerManager::Append(std::unique_ptr<TBannerContainer> container) {
  containers_.push_back(std::move(container));
  return *containers_.back();
}

TBannerContainer* TBannerContainerManager::Container(std::size_t index) const {
  return index < containers_.size() ? containers_[index].get() : nullptr;
}

void TBannerContainerManager::Delete(std::size_t index) {
  if (index < containers_.size()) containers_.erase(containers_.begin() + std::ptrdiff_t(index));
}

void TBannerContainerManager::Assign(const TBannerContainerManager& source) {
  if (&source == this) return;
  Clear();
  for (const auto& c : source.containers_) {
    auto copy = std::make_unique<TBannerContainer>(banners_);
    copy->Assign(*c);
    Append(std::move(copy));
  }
}

}  // namespace duduri

namespace duduri {

void TBannerContainerManager::TakeFrom(TBannerContainerManager& source) {
  if (&source == this) return;
  for (auto& c : source.containers_) {
    c->RebindBanners(banners_);
    containers_.push_back(std::move(c));
  }
  source.containers_.clear();
}

}  // namespace duduri
