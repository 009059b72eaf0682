#pragma once
// TAudioThread: the player's one thread for sound output. The shared
// device's mixer is pulled by a QAudioSink living here, the media players of
// MP3 and WMA sounds live here, and MIDI synthesisers load their soundfonts
// here; so neither starting Qt Multimedia (GStreamer, the sound server) nor
// loading a soundfont ever runs on the user-interface thread, and a busy UI
// thread (making sprites) never makes the sound stutter.
//
// There is one per process (SharedAudioThread): Qt Multimedia keeps objects
// on the thread that first used it, so that thread must live as long as the
// application. It ends when the application object is destroyed.
//
// Without a sound server or device the sink does not start; voices then
// play to nobody, which is silence. Nothing here is ever waited for by the
// UI thread except the bounded wait at the end.

#include <QObject>
#include <functional>
#include <memory>

#include "shell/SoundMixer.h"

class QThread;

namespace duduri {

class TAudioOutput;

class TAudioThread {
 public:
  TAudioThread();
  // Stops the output and ends the thread; waits a bounded time for it.
  ~TAudioThread();
  TAudioThread(const TAudioThread&) = delete;
  TAudioThread& operator=(const TAudioThread&) = delete;

  // Runs `call` later on the audio thread, in the order posted.
  void Post(std::function<void()> call);
  // An object living on the audio thread (receiver of posts, and where
  // objects made there may be parented).
  QObject* Context() const;
  TPcmMixer& Mixer() { return *mixer_; }
  // Something was asked to play: starts the output when it is not running.
  void Wake();

 private:
  std::shared_ptr<TPcmMixer> mixer_;
  QThread* thread_ = nullptr;
  TAudioOutput* output_ = nullptr;  // lives on thread_
};

// The process's audio thread, made on first use (a QCoreApplication must
// exist).
std::shared_ptr<TAudioThread> SharedAudioThread();

}  // namespace duduri
