#pragma once
// Banners: small JPEG or BMP pictures shown beside the board that change on
// a timer and run a script command when clicked. TBanners owns the banners
// of a project; a TBannerContainer groups some of them for one skin and
// TBannerContainerManager owns the containers.
//
// A container refers to its banners by id and resolves them in the project's
// TBanners on every access, so removing a banner from the project can never
// leave a container pointing at freed memory: the banner simply drops out of
// every container that named it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "project/ByteStream.h"
#include "project/Scripts.h"

namespace duduri {

enum TTypeData : std::uint8_t { tdJPG = 0, tdBMP = 1 };

// The command code whose banners carry their URL as a text parameter.
inline constexpr std::int32_t kOpenAddressCommand = 11;

class TBanner {
 public:
  std::int32_t ID = 0;
  std::string Name;
  TBytes Data;  // the encoded picture
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Interval = 0;  // milliseconds this banner stays shown
  std::string URL;
  TTypeData TypeData = tdJPG;
  TScriptItem Script;

  std::int32_t EventID() const { return eventId_; }
  // Sets the script's code to the id and its parameters to the URL (code
  // 11) or nothing (any other code).
  void SetEventID(std::int32_t id);
  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  // Takes the picture size from Data. Data that is not a picture of the
  // kind TypeData names gives 0 x 0: the banner then shows nothing, as it
  // would when the picture fails to decode at display time.
  void RecomputeSize();

  // Copies id, data, place, event, interval, URL, kind, name and script.
  void Assign(const TBanner& source);

  // Payload of chunk 7888: i32 id, name, URL, i32 Left, Top, EventID,
  // Interval, u8 TypeData, i32 L + L bytes Data.
  void WriteStream(TByteWriter& out) const;
  void ReadStream(TByteReader& in);
  // What the package's size field says of a banner chunk: name and data
  // lengths + 25 (it leaves out the URL and its length field).
  std::int32_t StoredSizeField() const;

 private:
  std::int32_t eventId_ = 0;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
};

class TBanners {
 public:
  TBanners() = default;
  TBanners(const TBanners&) = delete;
  TBanners& operator=(const TBanners&) = delete;

  // Appends a banner with an id no other banner carries.
  TBanner& Add();
  // Appends a banner read from a stream, keeping its stored id.
  TBanner& Append(std::unique_ptr<TBanner> banner);
  TBanner* Banner(std::size_t index) const;  // nullptr outside the list
  TBanner* FindByID(std::int32_t id) const;  // first match, nullptr when absent
  std::size_t Count() const { return banners_.size(); }
  void Delete(std::size_t index);
  void Clear() { banners_.clear(); }
  // Clears this list and adds a copy of every banner, ids included.
  void Assign(const TBanners& source);
  // Moves every banner of source to the end of this list.
  void TakeFrom(TBanners& source);

 private:
  std::vector<std::unique_ptr<TBanner>> banners_;
};

class TBannerContainer {
 public:
  explicit TBannerContainer(TBanners* banners) : banners_(banners) {}

  std::int32_t ID = 0;
  std::string Name;
  std::int32_t SkinID = 0;
  std::int32_t Left = 0;
  std::int32_t Top = 0;

  TBanners* Banners() const { return banners_; }
  // Points the container at another project's banner list (used when a
  // loaded project is moved into the live one).
  void RebindBanners(TBanners* banners) { banners_ = banners; }
  void AddBanner(const TBanner& banner) { ids_.push_back(banner.ID); }
  void ClearBanners() { ids_.clear(); }
  // The banners it refers to that the project still has, in order.
  std::vector<TBanner*> ResolvedBanners() const;
  TBanner* Banner(std::size_t index) const;
  std::size_t Count() const { return ResolvedBanners().size(); }
  // The widest and tallest of its banners (0 when empty).
  std::int32_t Width() const;
  std::int32_t Height() const;

  void Assign(const TBannerContainer& source);

  // Payload of chunk 7889: i32 id, name, i32 SkinID, i32 count, count ids,
  // i32 Left, i32 Top. Reading keeps only ids that name a banner.
  void WriteStream(TByteWriter& out) const;
  void ReadStream(TByteReader& in);
  std::int32_t StoredSizeField() const;

 private:
  TBanners* banners_;
  std::vector<std::int32_t> ids_;
};

class TBannerContainerManager {
 public:
  explicit TBannerContainerManager(TBanners* banners) : banners_(banners) {}
  TBannerContainerManager(const TBannerContainerManager&) = delete;
  TBannerContainerManager& operator=(const TBannerContainerManager&) = delete;

  TBanners* Banners() const { return banners_; }
  // Appends a container with an id no other container carries.
  TBannerContainer& Add();
  TBannerContainer& Append(std::unique_ptr<TBannerContainer> container);
  TBannerContainer* Container(std::size_t index) const;
  std::size_t Count() const { return containers_.size(); }
  void Delete(std::size_t index);
  void Clear() { containers_.clear(); }
  void Assign(const TBannerContainerManager& source);
  // Moves every container of source here, bound to this manager's banners.
  void TakeFrom(TBannerContainerManager& source);

 private:
  TBanners* banners_;
  std::vector<std::unique_ptr<TBannerContainer>> containers_;
};

}  // namespace duduri
