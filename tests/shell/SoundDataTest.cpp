// The WAV and MIDI readers on good and bad data, the waveform voice's
// conversion to the mixer's rate, and the mixer.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "raster/Picture.h"
#include "shell/SoundBackend.h"
#include "shell/SoundMidi.h"
#include "shell/SoundMixer.h"
#include "shell/SoundWave.h"

namespace duduri {
namespace {

const std::string kSoundData = std::string(DUDURI_TEST_DATA) + "/sound/";

// ---- Building files -------------------------------------------------------------

void put(TBytes& b, const char* text) {
  for (; *text; ++text) b.push_back(std::byte(*text));
}
void le(TBytes& b, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(std::byte((v >> (8 * i)) & 0xFF));
}
void be(TBytes& b, std::uint64_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) b.push_back(std::byte((v >> (8 * i)) & 0xFF));
}

struct TWaveLayout {
  std::uint16_t Tag = 1;
  std::uint16_t Channels = 1;
  std::uint32_t Rate = 44100;
  std::uint16_t Bits = 16;
  bool Extensible = false;
};

// A WAVE file of layout `s` whose samples are `samples` as given (raw bytes).
TBytes wave(const TWaveLayout& s, const TBytes& samples, std::int64_t dataSize = -1) {
  TBytes b;
  put(b, "RIFF");
  le(b, 0, 4);  // wrong on purpose: readers must not trust it
  put(b, "WAVE");
  put(b, "LIST");  // a chunk to skip, of odd size
  le(b, 3, 4);
  put(b, "abc");
  b.push_back(std::byte{0});
  put(b, "fmt ");
  le(b, s.Extensible ? 40 : 16, 4);
  le(b, s.Extensible ? 0xFFFE : s.Tag, 2);
  le(b, s.Channels, 2);
  le(b, s.Rate, 4);
  const std::uint16_t align = std::uint16_t(s.Channels * s.Bits / 8);
  le(b, std::uint64_t(s.Rate) * align, 4);
  le(b, align, 2);
  le(b, s.Bits, 2);
  if (s.Extensible) {
    le(b, 22, 2);
    le(b, s.Bits, 2);
    le(b, 3, 4);
    le(b, s.Tag, 2);
    b.insert(b.end(), 14, std::byte{0});
  }
  put(b, "data");
  le(b, dataSize < 0 ? samples.size() : std::uint64_t(dataSize), 4);
  b.insert(b.end(), samples.begin(), samples.end());
  return b;
}

TBytes pcm16(std::initializer_list<int> values) {
  TBytes b;
  for (int v : values) le(b, std::uint16_t(std::int16_t(v)), 2);
  return b;
}

// Renders a voice to its end (at most `limit` frames).
std::vector<std::int32_t> renderAll(IPcmVoice& voice, std::size_t limit = 1 << 22) {
  std::vector<std::int32_t> mix;
  for (;;) {
    const std::size_t at = mix.size();
    mix.resize(at + 2 * 4096, 0);
    const std::size_t got = voice.MixInto(mix.data() + at, 4096);
    mix.resize(at + 2 * got);
    if (got < 4096 || mix.size() / 2 >= limit) return mix;
  }
}

std::shared_ptr<const TBytes> share(TBytes b) {
  return std::make_shared<const TBytes>(std::move(b));
}

// ---- WAV -------------------------------------------------------------------------

TEST(WaveReader, ReadsEveryPlainLayoutAndConvertsToTheMixRate) {
  {  // the committed tone: 0.6 s of 440 Hz at half volume, 22050 Hz mono
    const auto file = share(ReadFileBytes(kSoundData + "tone.wav"));
    const TWaveData w = ReadWave(*file);
    EXPECT_EQ(w.Format.SampleRate, 22050u);
    EXPECT_EQ(w.Format.Channels, 1);
    EXPECT_EQ(w.Frames, 13230u);
    TWaveVoice voice(file, w);
    const auto mix = renderAll(voice);
    EXPECT_NEAR(double(mix.size() / 2), 26460.0, 2.0);
    double sum = 0;
    for (std::size_t i = 0; i < mix.size(); i += 2) {
      EXPECT_EQ(mix[i], mix[i + 1]);  // mono on both sides
      sum += double(mix[i]) * mix[i];
    }
    EXPECT_NEAR(std::sqrt(sum / double(mix.size() / 2)), 11585.0, 300.0);
    voice.Rewind();
    EXPECT_EQ(renderAll(voice).size(), mix.size());
  }
  struct TCase {
    TWaveLayout Layout;
    TBytes Samples;
    std::int32_t Left, Right;  // the first frame as 16-bit values
  };
  TBytes f32(8);
  const float quarter = 0.25f, minusHalf = -0.5f;
  std::memcpy(f32.data(), &quarter, 4);
  std::memcpy(f32.data() + 4, &minusHalf, 4);
  TBytes f64(8);
  const double full = 2.0;  // out of range: clipped
  std::memcpy(f64.data(), &full, 8);
  const TCase cases[] = {
      {{.Channels = 2, .Bits = 8}, {std::byte{0xC0}, std::byte{0x40}}, 64 * 256, -64 * 256},
      {{.Channels = 2}, pcm16({1000, -2000}), 1000, -2000},
      {{.Channels = 2, .Bits = 24},
       {std::byte{0}, std::byte{0x10}, std::byte{0}, std::byte{0}, std::byte{0}, std::byte{0xF0}},
       0x10, -0x1000},
      {{.Channels = 2, .Bits = 32}, {std::byte{0}, std::byte{0}, std::byte{0x34}, std::byte{0x12},
                                     std::byte{0}, std::byte{0}, std::byte{0}, std::byte{0x80}},
       0x1234, -32768},
      {{.Tag = 3, .Channels = 2, .Bits = 32}, f32, 8191, -16383},
      {{.Tag = 3, .Bits = 64}, f64, 32767, 32767},
      {{.Channels = 2, .Extensible = true}, pcm16({-7, 7}), -7, 7},
  };
  for (const TCase& c : cases) {
    const auto file = share(wave(c.Layout, c.Samples));
    const TWaveData w = ReadWave(*file);
    EXPECT_EQ(w.Frames, 1u);
    TWaveVoice voice(file, w);
    std::int32_t mix[2] = {0, 0};
    ASSERT_EQ(voice.MixInto(mix, 1), 1u) << c.Layout.Bits;
    EXPECT_NEAR(mix[0], c.Left, 1) << c.Layout.Bits << " bits, tag " << c.Layout.Tag;
    EXPECT_NEAR(mix[1], c.Right, 1) << c.Layout.Bits << " bits, tag " << c.Layout.Tag;
  }
  // At the mix rate the samples pass unchanged; at half of it each one is
  // followed by the point halfway to the next.
  const auto same = share(wave({.Rate = kMixRate}, pcm16({100, 200, 300})));
  TWaveVoice v1(same, ReadWave(*same));
  EXPECT_EQ(renderAll(v1), (std::vector<std::int32_t>{100, 100, 200, 200, 300, 300}));
  const auto half = share(wave({.Rate = kMixRate / 2}, pcm16({100, 200})));
  TWaveVoice v2(half, ReadWave(*half));
  EXPECT_EQ(renderAll(v2), (std::vector<std::int32_t>{100, 100, 150, 150, 200, 200, 200, 200}));
}

TEST(WaveReader, BadDataIsRefusedAndACutDataChunkPlaysWhatIsThere) {
  const TBytes good = wave({}, pcm16({1, 2, 3, 4}));
  auto refused = [](const TBytes& b) {
    try {
      ReadWave(b);
    } catch (const ESoundError& e) {
      return std::string(e.what()).rfind("Invalid WAV sound: ", 0) == 0;
    }
    return false;
  };
  EXPECT_TRUE(refused({}));
  EXPECT_TRUE(refused(TBytes(good.begin(), good.begin() + 12)));         // header only
  EXPECT_TRUE(refused(TBytes(good.begin(), good.begin() + 40)));         // fmt cut short
  EXPECT_TRUE(refused(ReadFileBytes(kSoundData + "tone.mp3")));          // wrong format
  EXPECT_TRUE(refused(ReadFileBytes(kSoundData + "tone.mid")));
  EXPECT_TRUE(refused(wave({.Tag = 2}, pcm16({1, 2}))));                 // ADPCM
  EXPECT_TRUE(refused(wave({.Bits = 12}, pcm16({1, 2}))));
  EXPECT_TRUE(refused(wave({.Channels = 0}, pcm16({1}))));
  EXPECT_TRUE(refused(wave({.Rate = 0}, pcm16({1}))));
  EXPECT_TRUE(refused(wave({}, {})));                                    // no frame at all
  EXPECT_TRUE(refused(wave({.Channels = 2}, pcm16({1}))));               // half a frame
  TBytes noData(good.begin(), good.begin() + 48);
  EXPECT_TRUE(refused(noData));
  TBytes badAlign = good;
  badAlign[32 + 12] = std::byte{3};  // block align of the fmt chunk
  EXPECT_TRUE(refused(badAlign));
  // A chunk claiming 4 GB before the format: nothing read past the end.
  TBytes huge;
  put(huge, "RIFF");
  le(huge, 0, 4);
  put(huge, "WAVE");
  put(huge, "junk");
  le(huge, 0xFFFFFFFF, 4);
  EXPECT_TRUE(refused(huge));

  // A data chunk longer than the file (a recording never finished): the
  // whole frames there are played.
  TBytes cut = wave({.Channels = 2}, pcm16({5, 6, 7}), 0xFFFFFFF0);
  const TWaveData w = ReadWave(cut);
  EXPECT_EQ(w.Frames, 1u);
  EXPECT_EQ(w.Samples.size(), 4u);
}

// ---- MIDI ------------------------------------------------------------------------

TBytes track(const TBytes& events) {
  TBytes b;
  put(b, "MTrk");
  be(b, events.size(), 4);
  b.insert(b.end(), events.begin(), events.end());
  return b;
}
TBytes smf(std::uint16_t format, std::uint16_t tracks, std::uint16_t division,
           const std::vector<TBytes>& chunks) {
  TBytes b;
  put(b, "MThd");
  be(b, 6, 4);
  be(b, format, 2);
  be(b, tracks, 2);
  be(b, division, 2);
  for (const TBytes& c : chunks) b.insert(b.end(), c.begin(), c.end());
  return b;
}
TBytes bytes(std::initializer_list<int> values) {
  TBytes b;
  for (int v : values) b.push_back(std::byte(v));
  return b;
}

TEST(MidiReader, ReadsTracksAndItsLengthFromTheTempoMap) {
  const TBytes tone = ReadFileBytes(kSoundData + "tone.mid");
  const TMidiInfo info = ReadMidi(tone);
  EXPECT_EQ(info.Format, 1);
  EXPECT_EQ(info.Tracks, 2);
  EXPECT_EQ(info.Division, 480);
  EXPECT_EQ(info.LengthMs, 1000);
  EXPECT_EQ(info.Smf.size(), tone.size());

  // 480 ticks at 120 bpm, then 480 ticks at 60 bpm after a tempo change in
  // the other track; running status carries the second note-on.
  const TBytes tempo = track(bytes({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,    // 500000
                                    0x83, 0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,  // 1000000
                                    0x00, 0xFF, 0x2F, 0x00}));
  const TBytes notes = track(bytes({0x00, 0x90, 60, 100, 0x83, 0x60, 64, 100,  // running
                                    0x83, 0x60, 0x80, 60, 0, 0x00, 0xC0, 5,    // program
                                    0x00, 0xF0, 0x02, 0x7E, 0xF7,              // sysex
                                    0x00, 0xFF, 0x2F, 0x00,
                                    0x99, 0x99}));  // after the end: not read
  const TMidiInfo two = ReadMidi(smf(1, 2, 480, {tempo, bytes({'X', 'Y', 'Z', 'W', 0, 0, 0, 1, 0}),
                                                 notes}));
  EXPECT_EQ(two.LengthMs, 1500);

  // The same file inside a RIFF RMID wrapper.
  TBytes rmid;
  put(rmid, "RIFF");
  le(rmid, 4 + 8 + tone.size(), 4);
  put(rmid, "RMID");
  put(rmid, "data");
  le(rmid, tone.size(), 4);
  rmid.insert(rmid.end(), tone.begin(), tone.end());
  EXPECT_EQ(ReadMidi(rmid).LengthMs, 1000);
  EXPECT_EQ(ReadMidi(rmid).Smf.size(), tone.size());

  // Absurd deltas make a long sound, not an overflow.
  std::vector<TBytes> slow;
  TBytes events;
  for (int i = 0; i < 1000; ++i) {
    for (int b : {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x51, 0x03, 0xFF, 0xFF, 0xFF}) {
      events.push_back(std::byte(b));
    }
  }
  const TMidiInfo absurd = ReadMidi(smf(0, 1, 1, {track(events)}));
  EXPECT_GT(absurd.LengthMs, 0);
}

TEST(MidiReader, MalformedFilesAreRefusedBeforeTheSynthesiserSeesThem) {
  const TBytes end = bytes({0x00, 0xFF, 0x2F, 0x00});
  auto refused = [](const TBytes& b) {
    try {
      ReadMidi(b);
    } catch (const ESoundError& e) {
      return std::string(e.what()).rfind("Invalid MIDI sound: ", 0) == 0;
    }
    return false;
  };
  EXPECT_FALSE(refused(smf(0, 1, 96, {track(end)})));
  EXPECT_TRUE(refused({}));
  EXPECT_TRUE(refused(ReadFileBytes(kSoundData + "tone.wav")));
  EXPECT_TRUE(refused(smf(1, 65535, 96, {track(end)})));  // absurd track count
  EXPECT_TRUE(refused(smf(0, 2, 96, {track(end), track(end)})));
  EXPECT_TRUE(refused(smf(3, 1, 96, {track(end)})));
  EXPECT_TRUE(refused(smf(0, 1, 0, {track(end)})));
  EXPECT_TRUE(refused(smf(0, 1, 0xE728, {track(end)})));  // SMPTE timing
  EXPECT_TRUE(refused(smf(0, 0, 96, {})));
  TBytes longTrack = smf(0, 1, 96, {track(end)});
  longTrack[14 + 4] = std::byte{0x7F};  // the track's length: 2 GB
  EXPECT_TRUE(refused(longTrack));
  TBytes longHeader = smf(0, 1, 96, {track(end)});
  longHeader[4] = std::byte{0x10};
  EXPECT_TRUE(refused(longHeader));
  const std::initializer_list<int> badTracks[] = {
      {0x00, 0x40, 0x40},                    // running status with nothing before it
      {0x80, 0x80, 0x80, 0x80, 0x00, 0x90},  // a delta of five bytes
      {0x00, 0xFF, 0x01, 0x7F, 'a'},         // a meta event longer than its track
      {0x00, 0xF0, 0x8F, 0xFF, 0xFF, 0x7F},  // a sysex of 256 MB
      {0x00, 0x90, 0x3C},                    // a note cut short
      {0x00, 0x90, 0x3C, 0xC0},              // a data byte with its top bit set
      {0x00, 0xF2, 0x00, 0x00},              // a system message
  };
  for (const auto& t : badTracks) EXPECT_TRUE(refused(smf(0, 1, 96, {track(bytes(t))})));
}

// ---- Mixer -----------------------------------------------------------------------

// `frames` frames of `value` on both sides.
class TConstantVoice : public IPcmVoice {
 public:
  TConstantVoice(std::int32_t value, std::size_t frames, bool prepares = true)
      : value_(value), frames_(frames), prepares_(prepares) {}
  bool Prepare() override {
    ++prepared;
    return prepares_;
  }
  std::size_t MixInto(std::int32_t* mix, std::size_t frames) override {
    const std::size_t n = std::min(frames, frames_ - at_);
    for (std::size_t i = 0; i < 2 * n; ++i) mix[i] += value_;
    at_ += n;
    return n;
  }
  void Rewind() override {
    at_ = 0;
    ++rewinds;
  }
  int prepared = 0;
  int rewinds = 0;

 private:
  std::int32_t value_;
  std::size_t frames_;
  bool prepares_;
  std::size_t at_ = 0;
};

std::vector<std::int16_t> render(TPcmMixer& mixer, std::size_t frames) {
  std::vector<std::int16_t> out(2 * frames, 1234);
  mixer.Render(out.data(), frames);
  return out;
}

TEST(PcmMixer, SumsClipsRepeatsAndForgetsVoicesThatEnded) {
  TPcmMixer mixer;
  EXPECT_EQ(render(mixer, 2), (std::vector<std::int16_t>{0, 0, 0, 0}));  // silence
  auto loud = std::make_shared<TConstantVoice>(30000, 3);
  auto quiet = std::make_shared<TConstantVoice>(-100, 10);
  mixer.Play(loud, 1);  // plays twice
  mixer.Play(quiet, 0);
  EXPECT_TRUE(mixer.Busy());
  const auto a = render(mixer, 4);
  EXPECT_EQ(a, (std::vector<std::int16_t>{29900, 29900, 29900, 29900, 29900, 29900, 29900, 29900}));
  EXPECT_EQ(mixer.FramesPlayed(loud.get()), 1u);  // one frame into its second play
  mixer.Play(quiet, 0);                           // playing: starts again
  const auto b = render(mixer, 4);
  EXPECT_EQ(b[0], 29900);
  EXPECT_EQ(b[4], -100);  // the loud voice has ended
  EXPECT_FALSE(mixer.Playing(loud.get()));
  EXPECT_EQ(mixer.FramesPlayed(quiet.get()), 4u);
  mixer.Stop(quiet.get());
  EXPECT_FALSE(mixer.Busy());
  EXPECT_EQ(render(mixer, 1), (std::vector<std::int16_t>{0, 0}));
  EXPECT_EQ(loud->prepared, 1);  // prepared once for all its plays

  // Clipping, an empty voice asked to repeat forever, and one whose first
  // use fails: all end at once.
  auto a1 = std::make_shared<TConstantVoice>(30000, 100);
  auto a2 = std::make_shared<TConstantVoice>(30000, 100);
  auto empty = std::make_shared<TConstantVoice>(5, 0);
  auto broken = std::make_shared<TConstantVoice>(5, 100, false);
  mixer.Play(a1, 0);
  mixer.Play(a2, 0);
  mixer.Play(empty, 65535);
  mixer.Play(broken, 65535);
  const auto c = render(mixer, 2);
  EXPECT_EQ(c[0], 32767);
  EXPECT_LT(empty->rewinds, 3);
  EXPECT_FALSE(mixer.Playing(empty.get()));
  EXPECT_FALSE(mixer.Playing(broken.get()));
  mixer.Play(broken, 0);
  render(mixer, 1);
  EXPECT_EQ(broken->prepared, 1);
}

}  // namespace
}  // namespace duduri
