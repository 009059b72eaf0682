// Opening files for play: telling a picture from a project, finding the
// sample and the master template set, and making a project of a picture.

#include "shell/PlayFiles.h"

#include <algorithm>
#include <system_error>

#include "project/Overlay.h"
#include "project/Package.h"
#include "raster/Bitmap32.h"
#include "raster/Error.h"
#include "shell/ExtraImages.h"

namespace duduri {

namespace {

// Pictures played from a file are stored at this quality in the project the
// game is made from; nobody sees the difference at jigsaw sizes.
constexpr int kPlayedJpegQuality = 92;
constexpr std::int32_t kPlayMaxSide = 2560;
constexpr std::int32_t kPlainRangeMin = 51;
constexpr std::int32_t kPlainRangeMax = 100;

[[noreturn]] void failFor(const std::filesystem::path& file, const std::string& reason) {
  throw EDuduriError("Cannot open \"" + file.filename().string() + "\": " + reason);
}

std::unique_ptr<TJigsawProject2> projectFromBytes(const std::filesystem::path& file,
                                                  const TBytes& bytes) {
  auto project = std::make_unique<TJigsawProject2>();
  try {
    const TOverlayLayout overlay = FindOverlay(bytes);
    if (overlay.HasPackage) {
      const TByteSpan all(bytes);
      project->LoadFromStream(all.subspan(overlay.PackageOffset, overlay.PackageSize));
      if (overlay.HasExtraImages) {
        TExtJigsawImages images;
        images.ReadFromStream(all.subspan(overlay.ExtraImagesOffset, overlay.ExtraImagesSize));
        images.AssignTo(*project);
      }
    } else {
      project->LoadFromStream(bytes);
    }
  } catch (const EDuduriError& e) {
    failFor(file, std::string("it is neither a picture nor a puzzle the player can read (") +
                      e.what() + ")");
  }
  return project;
}

// A camera's full resolution is far more than any play area shows, and
// every copy a game makes of it costs time at start; the long side is
// brought down to what the largest screens show, each new pixel the mean of
// the block of old pixels it covers.
TPicture shrinkForPlay(const TPicture& picture) {
  const std::int64_t w = picture.Width, h = picture.Height;
  const std::int64_t longest = std::max(w, h);
  if (longest <= kPlayMaxSide) return picture;
  TPicture out;
  out.Width = std::int32_t(std::max<std::int64_t>(1, w * kPlayMaxSide / longest));
  out.Height = std::int32_t(std::max<std::int64_t>(1, h * kPlayMaxSide / longest));
  out.BitsPerPixel = picture.BitsPerPixel;
  out.Format = picture.Format;
  out.Pixels.resize(std::size_t(out.Width) * std::size_t(out.Height));
  // Where each new column starts and ends among the old ones.
  std::vector<std::int64_t> columnStart(std::size_t(out.Width) + 1);
  for (std::int64_t ox = 0; ox <= out.Width; ++ox)
    columnStart[std::size_t(ox)] = ox * w / out.Width;
  std::vector<std::uint32_t> sums(std::size_t(out.Width) * 4);
  for (std::int64_t oy = 0; oy < out.Height; ++oy) {
    const std::int64_t y0 = oy * h / out.Height, y1 = std::max(y0 + 1, (oy + 1) * h / out.Height);
    std::fill(sums.begin(), sums.end(), 0);
    for (std::int64_t y = y0; y < y1; ++y) {
      const TColor32* row = picture.Pixels.data() + y * w;
      std::uint32_t* sum = sums.data();
      for (std::int64_t ox = 0; ox < out.Width; ++ox, sum += 4) {
        const std::int64_t x1 = columnStart[std::size_t(ox) + 1];
        for (std::int64_t x = columnStart[std::size_t(ox)]; x < x1; ++x) {
          const TColor32 c = row[x];
          sum[0] += AlphaComponent(c), sum[1] += RedComponent(c);
          sum[2] += GreenComponent(c), sum[3] += BlueComponent(c);
        }
      }
    }
    TColor32* target = out.Pixels.data() + oy * out.Width;
    for (std::int64_t ox = 0; ox < out.Width; ++ox) {
      const std::int64_t x0 = columnStart[std::size_t(ox)], x1 = columnStart[std::size_t(ox) + 1];
      const std::uint32_t n = std::uint32_t((x1 - x0) * (y1 - y0));
      const std::uint32_t* sum = &sums[std::size_t(ox) * 4];
      auto mean = [n](std::uint32_t v) { return std::uint8_t((v + n / 2) / n); };
      target[ox] = Color32(mean(sum[1]), mean(sum[2]), mean(sum[3]), mean(sum[0]));
    }
  }
  return out;
}

// A project for a picture when there is no sample: the default menus and
// settings, pictures in sequence.
std::unique_ptr<TJigsawProject2> plainProject() {
  auto project = std::make_unique<TJigsawProject2>();
  project->Title.Caption = "Morvenhal Duduri";
  project->PictureChoice = kChoiceSequence;
  project->PieceRangeMin = kPlainRangeMin;
  project->PieceRangeMax = kPlainRangeMax;
  return project;
}

}  // namespace

std::string LeaveGameQuestion(const std::filesystem::path& file) {
  return "Leave the game in progress and play \"" + file.filename().string() + "\"?";
}

std::unique_ptr<TJigsawProject2> OpenPlayFile(const std::filesystem::path& file,
                                              const std::filesystem::path& exeDir,
                                              const TPictureDecoder& decoder) {
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) {
    failFor(file, "it is a folder, not a picture or a puzzle.");
  }
  if (!std::filesystem::exists(file, ec)) failFor(file, "there is no such file.");
  TBytes bytes;
  try {
    bytes = ReadFileBytes(file);
  } catch (const EDuduriError& e) {
    failFor(file, e.what());
  }
  if (bytes.empty()) failFor(file, "the file is empty.");
  if (!LooksLikePicture(bytes)) return projectFromBytes(file, bytes);
  const TPicture picture = DecodeUserPicture(bytes, file.filename().string(), decoder);
  return PictureProject(picture, file.filename().string(), exeDir);
}

std::unique_ptr<TJigsawProject2> PictureProject(const TPicture& picture, const std::string& name,
                                                const std::filesystem::path& exeDir) {
  std::unique_ptr<TJigsawProject2> project;
  const std::filesystem::path sample = FindProgramData(exeDir, kSampleProjectFile);
  if (!sample.empty()) {
    project = std::make_unique<TJigsawProject2>();
    try {
      project->LoadFromFile(sample);
    } catch (const EDuduriError&) {
      // A damaged sample costs its settings, not the game.
      project = plainProject();
    }
  } else {
    project = plainProject();
  }
  const std::filesystem::path master = FindProgramData(exeDir, kMasterTemplateFile);
  if (!master.empty()) project->MasterTemplateSet = master;

  TBitmap32 bitmap;
  bitmap.Assign(shrinkForPlay(picture));
  TBMPData record;
  record.Name = name;
  record.Data = EncodeJpeg(bitmap, kPlayedJpegQuality);

  // The sample's first picture gives its id and so its per-picture settings.
  std::vector<TBMPData>& pictures = project->Pictures;
  const auto first = std::find_if(pictures.begin(), pictures.end(),
                                  [](const TBMPData& p) { return IsPictureId(p.ID); });
  record.ID = first != pictures.end() ? first->ID : 1;
  const std::int32_t background = project->CurrentBackgroundIndex;
  const bool backgroundInList = background >= 0 && std::size_t(background) < pictures.size();
  std::vector<TBMPData> kept;
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    if (IsPictureId(pictures[i].ID)) continue;
    if (backgroundInList && i == std::size_t(background)) {
      project->CurrentBackgroundIndex = std::int32_t(kept.size());
    }
    kept.push_back(std::move(pictures[i]));
  }
  kept.push_back(std::move(record));
  pictures = std::move(kept);
  project->CountPictures();

  const std::int32_t id = pictures.back().ID;
  std::erase_if(project->PieceCountRanges, [id](const auto& r) { return r.PictureID != id; });
  std::erase_if(project->PieceValues, [id](const auto& v) { return v.PictureID != id; });
  project->PictureLayouts.clear();
  project->StoredLayout = {};
  project->StoreGameLayout = 0;
  for (TPicturePieceRange& r : project->PieceCountRanges) r.HasStoredLayout = 0;
  if (project->PieceCountRanges.empty()) {
    project->PieceCountRanges.push_back({id, project->PieceRangeMin, project->PieceRangeMax, 0});
  }

  if (!master.empty()) {
    RefreshTemplateSet(*project);
  } else if (project->TemplateSetStore.empty()) {
    throw EDuduriError("Cannot play \"" + name + "\": the template set " + kMasterTemplateFile +
                       " was found neither beside the player nor in share/duduri.");
  }
  return project;
}

}  // namespace duduri
