// Banner and banner-container streams: the first byte picks which.
#include <cstddef>
#include <cstdint>

#include "project/Banners.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  duduri::TByteReader in({reinterpret_cast<const std::byte*>(data + 1), size - 1});
  duduri::TBanners banners;
  try {
    if (data[0] % 2 == 0) {
      duduri::TBanner banner;
      banner.ReadStream(in);
    } else {
      for (int id = 0; id < 4; ++id) banners.Add().ID = id;
      duduri::TBannerContainer container(&banners);
      container.ReadStream(in);
      (void)container.Width();
    }
  } catch (const duduri::EDuduriError&) {
  }
  return 0;
}
