// The player's sound heard for real: the sound seam over Qt Multimedia and
// FluidSynth plays into a PulseAudio null sink of the test's own, whose
// monitor is recorded.

#include <QtTest>
#include <memory>

#include "SoundRig.h"
#include "qtmain/QtTestRegistry.h"
#include "project/SoundFormats.h"
#include "shell/SoundEvents.h"
#include "shell/ui/QtSound.h"

using namespace duduri;
using namespace duduri::test;

namespace {

// Adds a sound with its stored format code; `event` >= 0 puts it in that
// event's slot.
void addSound(TJigsawProject2& p, TBytes data, std::uint8_t code, int event) {
  const std::int32_t id = std::int32_t(p.Sounds.size() + 1);
  p.Sounds.push_back({id, "sound", std::move(data)});
  p.SoundFormats.Add(id, code);
  if (event >= 0) p.SoundSlots[std::size_t(event)].SoundIDs = {id};
}

// Text: no MPEG sync word or ASF header for a demuxer to find.
TBytes garbage(std::size_t size) {
  const char* text = "not a sound at all, only words ";
  TBytes b(size);
  for (std::size_t i = 0; i < size; ++i) b[i] = std::byte(text[i % 31]);
  return b;
}

}  // namespace

class SoundOutputTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    server_ = std::make_unique<TNullSinkServer>();
    QVERIFY2(server_->Ready(), "pulseaudio with a null sink did not start");
    qputenv("PULSE_SERVER", server_->Address().toUtf8());
  }
  void cleanupTestCase() { server_.reset(); }

  void backgroundMusicOfEachFormatIsHeard_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("code");
    QTest::newRow("WAV") << "tone.wav" << int(kSoundCodeWave);
    QTest::newRow("MIDI") << "tone.mid" << int(kSoundCodeMidi);
    QTest::newRow("MP3") << "tone.mp3" << int(kSoundCodeMp3);
    QTest::newRow("WMA") << "tone.wma" << int(kSoundCodeWma);
  }
  void backgroundMusicOfEachFormatIsHeard() {
    QFETCH(QString, file);
    QFETCH(int, code);
    TRecorder recorder(server_->Address());
    QVERIFY(recorder.WaitForSilence());
    TJigsawProject2 p;
    addSound(p, soundFile(file.toUtf8().constData()), std::uint8_t(code), 0);
    TSoundEvents sound(std::make_unique<TQtSoundPlatform>());
    sound.LoadSounds(p);
    sound.StartBackgroundMusic(p, true);
    QVERIFY(recorder.WaitForSound());
    sound.StopBackgroundMusic();
    QVERIFY(recorder.WaitForSilence());
  }

  void mp3WithContinuePlaysAgainPastItsEnd() {
    TRecorder recorder(server_->Address());
    TJigsawProject2 p;
    addSound(p, soundFile("tone.mp3"), kSoundCodeMp3, 0);
    TSoundEvents sound(std::make_unique<TQtSoundPlatform>());
    sound.LoadSounds(p);
    sound.StartBackgroundMusic(p, true);
    const TPzMediaPlayer& music = *sound.Players().Item(0);
    QVERIFY(recorder.WaitForSound());
    auto eventually = [](const std::function<bool()>& done) {
      QElapsedTimer t;
      t.start();
      while (!done() && t.elapsed() < kSoundBoundMs) pumpEvents(10);
      return done();
    };
    // The tone lasts 653 ms. GStreamer does not always find the length of an
    // MP3 without a header frame, so the test goes by the position alone:
    // far into the sound, then back at its start.
    const auto where = [&] { return QString("at %1 ms").arg(music.Position()).toUtf8(); };
    for (int loop = 0; loop < 2; ++loop) {
      QVERIFY2(eventually([&] { return music.Position() > 450; }), where().constData());
      QVERIFY2(eventually([&] { return music.Position() < 200; }), where().constData());
      QVERIFY(recorder.WaitForSound());
    }
    QVERIFY(music.PlayRequested());
  }

  void aSoundAfterALongSilenceIsHeard() {
    // The output closes its stream after some seconds of silence and must
    // open it again for the next sound.
    TRecorder recorder(server_->Address());
    TJigsawProject2 p;
    addSound(p, soundFile("tone.wav"), kSoundCodeWave, 9);
    TSoundEvents sound(std::make_unique<TQtSoundPlatform>());
    sound.LoadSounds(p);
    sound.PlayEvent(p, 9);
    QVERIFY(recorder.WaitForSound());
    QVERIFY(recorder.WaitForSilence());
    pumpEvents(3500);
    sound.PlayEvent(p, 9);
    QVERIFY(recorder.WaitForSound());
  }

  void midiWithoutContinuePlaysOnce() {
    TRecorder recorder(server_->Address());
    QVERIFY(recorder.WaitForSilence());  // what the test before left in the server
    TJigsawProject2 p;
    addSound(p, soundFile("tone.mid"), kSoundCodeMidi, 7);
    TSoundEvents sound(std::make_unique<TQtSoundPlatform>());
    sound.LoadSounds(p);
    sound.PlayEvent(p, 7);
    QVERIFY(recorder.WaitForSound());
    QVERIFY(recorder.WaitForSilence());
    QVERIFY(!recorder.WaitForSound(2000));
  }

  void withoutASoundfontMidiIsSilentAndTheRestPlays() {
    TRecorder recorder(server_->Address());
    QVERIFY(recorder.WaitForSilence());
    TJigsawProject2 p;
    addSound(p, soundFile("tone.mid"), kSoundCodeMidi, 0);
    addSound(p, soundFile("tone.wav"), kSoundCodeWave, 7);
    TSoundEvents sound(std::make_unique<TQtSoundPlatform>(
        std::vector<std::filesystem::path>{"/nonexistent/soundfont.sf2"}));
    sound.LoadSounds(p);
    sound.StartBackgroundMusic(p, true);
    QVERIFY(!recorder.WaitForSound(2000));
    sound.PlayEvent(p, 7);
    QVERIFY(recorder.WaitForSound());
  }

  void soundsThatDoNotDecodeStaySilent() {
    TRecorder recorder(server_->Address());
    QVERIFY(recorder.WaitForSilence());
    TJigsawProject2 p;
    const TBytes wave = soundFile("tone.wav");
    TBytes manyTracks = soundFile("tone.mid");
    manyTracks[10] = std::byte{0xFF};  // the header's track count: 65535
    manyTracks[11] = std::byte{0xFF};
    addSound(p, garbage(3000), kSoundCodeMp3, 0);
    addSound(p, TBytes(wave.begin(), wave.begin() + 30), kSoundCodeWave, 4);
    addSound(p, {}, kSoundCodeWave, 5);
    addSound(p, soundFile("tone.mp3"), kSoundCodeWave, 6);
    addSound(p, manyTracks, kSoundCodeMidi, 7);
    addSound(p, wave, kSoundCodeMidi, 8);
    addSound(p, garbage(5000), kSoundCodeWma, 9);
    addSound(p, wave, kSoundCodeWave, -1);
    TSoundEvents sound(std::make_unique<TQtSoundPlatform>());
    sound.LoadSounds(p);
    sound.StartBackgroundMusic(p, true);
    for (int event = 4; event <= 9; ++event) sound.PlayEvent(p, event);
    QVERIFY(!recorder.WaitForSound(2000));
    // The good sound among them still plays, and playing the bad ones
    // again changes nothing.
    p.SoundSlots[3].SoundIDs = {8};
    sound.PlayEvent(p, 3);
    QVERIFY(recorder.WaitForSound());
    for (int event = 4; event <= 9; ++event) sound.PlayEvent(p, event);
  }

 private:
  std::unique_ptr<TNullSinkServer> server_;
};

DUDURI_QT_TEST(SoundOutputTest)
#include "SoundOutputTest.moc"
