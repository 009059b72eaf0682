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
  bitmap.Assign(picture);
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
