#include "shell/SoundEvents.h"

#include "project/Project.h"

namespace duduri {

TSoundEvents::TSoundEvents(ISoundPlatform& platform) : platform_(platform), players_(platform) {}

TSoundEvents::TSoundEvents(std::unique_ptr<ISoundPlatform> platform)
    : owned_(std::move(platform)), platform_(*owned_), players_(*owned_) {}

TSoundEvents::~TSoundEvents() = default;

int TSoundEvents::PlayerIndexOfEvent(const TJigsawProject2& project, int event) {
  if (event < 0 || std::size_t(event) >= project.SoundSlots.size()) return -1;
  const TSoundSlot& slot = project.SoundSlots[std::size_t(event)];
  if (slot.SoundIDs.empty()) return -1;
  const std::int32_t id = slot.SoundIDs.front();
  for (std::size_t i = 0; i < project.Sounds.size(); ++i) {
    if (project.Sounds[i].ID == id) return int(i);
  }
  return -1;
}

void TSoundEvents::LoadSounds(const TJigsawProject2& project) {
  players_.LoadProjectSounds(project);
  musicPlayer_ = PlayerIndexOfEvent(project, kMusicEvent);
}

void TSoundEvents::PlayEvent(const TJigsawProject2& project, int event) {
  TPzMediaPlayer* player = players_.Item(PlayerIndexOfEvent(project, event));
  if (!player) return;
  player->Open();
  player->Play();
}

void TSoundEvents::StartBackgroundMusic(const TJigsawProject2& project, bool play) {
  musicPlayer_ = PlayerIndexOfEvent(project, kMusicEvent);
  TPzMediaPlayer* player = players_.Item(musicPlayer_);
  if (!player) return;
  player->SetContinue(true);
  player->Open();
  if (play) player->Play();
}

void TSoundEvents::StopBackgroundMusic() {
  if (TPzMediaPlayer* player = players_.Item(musicPlayer_)) player->Stop();
  players_.StopMidi();
}

void TSoundEvents::StopSystemSound() {
  platform_.StopSystemSound();
}

}  // namespace duduri
