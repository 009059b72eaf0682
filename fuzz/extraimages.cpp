// Extra-images reader: never throws for bad data; small pictures are also
// put into a project, which leaves out what does not decode.
#include "shell/ExtraImages.h"

#include "project/Project.h"
#include "raster/Picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  duduri::TExtJigsawImages images;
  images.ReadFromStream({reinterpret_cast<const std::byte*>(data), size});
  // Decoding large pictures is the picture readers' fuzzer's business.
  for (const duduri::TExtJigsawImage& image : images.Items) {
    try {
      const duduri::TPictureSize s = duduri::ReadPictureSize(image.Stream);
      if (std::int64_t(s.Width) * s.Height > 256 * 256) return 0;
    } catch (const duduri::EDuduriError&) {
    }
  }
  duduri::TJigsawProject2 project;
  project.AddPictureEntry(duduri::TPictureKind::pkPicture, 5);
  project.AddPictureEntry(duduri::TPictureKind::pkBackground, 65536);
  project.CurrentBackgroundIndex = 1;
  images.AssignTo(project);
  return 0;
}
