#include "shell/PicturePrefetch.h"

#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#include "project/Project.h"
#include "shell/BigPuzzle.h"

namespace duduri {

namespace {

struct TPrefetched {
  TOwnOverlay Overlay;
  TBytes Jpeg;  // the bytes the picture was decoded from
  int Eighths = 8;
  std::optional<TPicture> Picture;
};

struct TPrefetch {
  std::shared_future<std::shared_ptr<TPrefetched>> Overlay;
  std::shared_future<void> Decoded;
  std::shared_ptr<TPrefetched> Result;
  std::mutex Taken;
};

TPrefetch* gPrefetch = nullptr;

// The picture the flow will build the first game with, as it chooses it.
const TBMPData* firstPicture(const TJigsawProject2& project) {
  std::vector<const TBMPData*> playList;
  for (const TBMPData& p : project.Pictures) {
    if (IsPictureId(p.ID)) playList.push_back(&p);
  }
  if (playList.empty()) return nullptr;
  if (playList.size() == 1 || project.PictureChoice == kChoiceSequence) return playList.front();
  return nullptr;
}

}  // namespace

TShellEnvironment StartPicturePrefetch(TShellEnvironment environment) {
  if (gPrefetch) return environment;
  auto* prefetch = new TPrefetch;  // lives as long as the process
  gPrefetch = prefetch;
  auto result = std::make_shared<TPrefetched>();
  prefetch->Result = result;
  auto overlayPromise = std::make_shared<std::promise<std::shared_ptr<TPrefetched>>>();
  prefetch->Overlay = overlayPromise->get_future().share();
  std::packaged_task<void()> task([environment, result, overlayPromise] {
    try {
      if (environment.ReadOwnOverlay) result->Overlay = environment.ReadOwnOverlay();
    } catch (...) {
      overlayPromise->set_exception(std::current_exception());
      return;
    }
    overlayPromise->set_value(result);
    // Everything from here on is a guess; any failure leaves the work to the
    // flow, which reports it properly.
    try {
      TJigsawProject2 project;
      if (result->Overlay.Package) {
        project.LoadFromStream(*result->Overlay.Package);
      } else if (!environment.Args.empty()) {
        project.LoadFromFile(environment.Args[0]);
      } else {
        return;
      }
      const TBMPData* picture = firstPicture(project);
      if (!picture) return;
      result->Jpeg = picture->Data;
      result->Eighths = GamePictureEighths(picture->Data, project, picture->ID, nullptr);
      result->Picture = DecodeJpegScaled(picture->Data, result->Eighths);
    } catch (...) {
      result->Picture.reset();
    }
  });
  prefetch->Decoded = task.get_future().share();
  std::thread(std::move(task)).detach();

  const std::shared_future<std::shared_ptr<TPrefetched>> overlay = prefetch->Overlay;
  auto handedOut = std::make_shared<bool>(false);
  environment.ReadOwnOverlay = [overlay, handedOut, read = environment.ReadOwnOverlay] {
    // The prefetched bytes once; any later load reads the file again.
    if (*handedOut) return read ? read() : TOwnOverlay{};
    *handedOut = true;
    return std::move(overlay.get()->Overlay);
  };
  return environment;
}

std::optional<TPicture> TakePrefetchedPicture(std::span<const std::byte> jpeg, int eighths) {
  TPrefetch* prefetch = gPrefetch;
  if (!prefetch) return std::nullopt;
  std::lock_guard lock(prefetch->Taken);
  if (!prefetch->Result) return std::nullopt;
  prefetch->Decoded.wait();
  std::shared_ptr<TPrefetched> result = std::move(prefetch->Result);
  if (!result->Picture || result->Eighths != eighths || result->Jpeg.size() != jpeg.size() ||
      std::memcmp(result->Jpeg.data(), jpeg.data(), jpeg.size()) != 0) {
    return std::nullopt;
  }
  return std::move(result->Picture);
}

void WaitForPicturePrefetch() {
  if (gPrefetch && gPrefetch->Decoded.valid()) gPrefetch->Decoded.wait();
}

}  // namespace duduri
