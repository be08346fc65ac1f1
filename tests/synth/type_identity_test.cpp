// One-second renders of every synth type (and a full sixteen-synth song) with seeded random
// step values, compared bit for bit with stored fingerprints. Changes to the DSP code that are
// meant to keep the sound (speed work) must leave every fingerprint as it is.
// Run with ZORBEL_REGENERATE_GOLDEN=1 to rewrite the stored fingerprints after an intended change.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "engine/audio_stream.h"
#include "engine/init_engine.h"
#include "engine/mixer.h"
#include "engine/synth_tracks.h"
#include "synth/module_graph.h"
#include "synth/synth_types.h"
#include "synth/wav_engine.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/signal_measure.h"

namespace zorbel {
namespace {

const char* const kFingerprintPath = ZORBEL_SOURCE_DIR "/tests/synth/golden/type_renders.txt";
constexpr int kBuffers = 44;  // just over one second at 44100 Hz
// Counts (holds, delays, sustains, step lengths) are half the time their minimum, otherwise drawn
// from the first 64 of their range, so that notes sound and oscillators move within the second.
constexpr float kCountSpan = 64.0f;
const char* const kMixedName = "SIXTEEN";
// A sixteen-synth song of varied engines and effects: every engine, most effects.
const int kMixedTypes[MAX_TRACKS] = {0, 15, 16, 26, 39, 40, 52, 1, 23, 24, 32, 47, 48, 5, 31, 59};

// splitmix64: a fixed generator, so the values never depend on the standard library.
struct Random {
  uint64_t state;
  uint64_t next() {
    uint64_t z = (state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
  }
  double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
};

// Classes whose destination holds a whole number (counts, switches, table numbers).
bool whole_number_class(ParamClass cls) {
  using enum ParamClass;
  switch (cls) {
    case kWord: case kEnvelopeType: case kFmView: case kHoldCount: case kWavetable:
    case kShaperTable: case kOnOff: case kFilterMode: case kHumanizedCount: case kHexWord:
    case kPlayType: case kMaskOp: case kClipMode: case kDecimateMode: case kFeedbackRouting:
    case kQuantLevels: case kNoiseColour: case kLfoTable: case kSampleNumber:
      return true;
    default:
      return false;
  }
}

// Counts of samples or control periods.
bool count_class(ParamClass cls) { return cls == ParamClass::kHoldCount || cls == ParamClass::kHumanizedCount; }

// A random in-range value for parameter q of a type; whole numbers are spread evenly over their
// range, so that two-state switches take both states.
float random_value(Random& rng, int type, int q, ParamClass cls) {
  float lo = 0.0f, hi = 0.0f;
  if (!type_param_range(type, q, cls, &lo, &hi)) return 0.0f;
  if (count_class(cls)) {
    if (rng.next() % 2 == 0) return lo;
    hi = std::fmin(hi, lo + kCountSpan);
  }
  if (!whole_number_class(cls)) return static_cast<float>(lo + rng.unit() * (hi - lo));
  const float v = std::floor(static_cast<float>(lo + rng.unit() * (hi - lo + 1.0f)));
  return v > hi ? hi : v;
}

// A short deterministic 16-bit sample (a rough saw with noise) for the sample player.
SampleData* make_sample(Random& rng) {
  constexpr int kFrames = 3000;
  SampleData* sample = new SampleData;
  sample->data16 = new int16_t[kFrames];
  sample->length = kFrames;
  sample->bits = 16;
  sample->rate_factor = 1.0f;
  for (int i = 0; i < kFrames; ++i)
    sample->data16[i] = static_cast<int16_t>((i * 97) % 40000 - 20000 + static_cast<int>(rng.next() % 2001) - 1000);
  std::snprintf(sample->name, sizeof sample->name, "TEST.WAV");
  return sample;
}

// How many of a synth's parameters take random step values.
enum class Variety {
  kBusy,    // every parameter
  kSparse,  // each parameter with odds of one half; the others keep their defaults
  kPlain,   // only the pitch: the plain cases (no hold, no feedback, no sync) at many pitches
  kSwitch,  // the pitch and every switch, choice and table; counts and levels keep their defaults
};

// Parameters that pick a case rather than set an amount or a count.
bool switch_class(ParamClass cls) {
  return whole_number_class(cls) && !count_class(cls) && cls != ParamClass::kSampleNumber;
}

// Builds synth `track` as `type` with random values in the steps of loop 0, every step
// triggered at a random volume, and about one step in four legato.
void build_random_synth(Random& rng, int track, int type, Variety variety) {
  build_synth(track, type);
  if (type_engine_kind(type) == kKindWav) wav_set_sample(track, make_sample(rng));
  for (int q = 0; q < song.param_count[track]; ++q) {
    ParamSlot& slot = song.param_slot[track][q];
    const bool pitch = is_pitch_class(slot.cls);
    if (variety == Variety::kPlain && !pitch) continue;
    if (variety == Variety::kSwitch && !pitch && !switch_class(slot.cls)) continue;
    if (variety == Variety::kSparse && rng.next() % 2 == 0 && !pitch) continue;
    for (int s = 0; s < MAX_STEPS; ++s) slot.lane[s] = random_value(rng, type, q, slot.cls);
  }
  uint64_t legato = 0;
  for (int s = 0; s < MAX_STEPS; ++s) {
    song.step_trig[0][track][s] = 100;
    song.step_vol[0][track][s] = static_cast<float>(0.3 + 0.7 * rng.unit());
    if (rng.next() % 4 == 0) legato |= 1ull << s;
  }
  song.legato_steps[0][track] = legato;
}

// FNV-1a over the bytes of the rendered floats: any changed bit changes it.
uint64_t fingerprint(const std::vector<float>& samples) {
  uint64_t h = 0xcbf29ce484222325ull;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(samples.data());
  for (size_t i = 0; i < samples.size() * sizeof(float); ++i) {
    h ^= bytes[i];
    h *= 0x100000001b3ull;
  }
  return h;
}

// Renders the song built by `build` (tracks synths) for kBuffers device buffers.
template <typename Build>
std::vector<float> render(int tracks, Build build) {
  init_engine(test::kTestSeed);
  build();
  sort_registry();
  song.track_count = static_cast<int16_t>(tracks);
  for (int t = 0; t < tracks; ++t) reset_play_cursor(t);
  song.bpm = 300.0f;  // twenty steps a second
  transport.step_countdown = 1.0f;
  std::vector<float> all;
  std::vector<float> out(2 * kBufferFrames);
  for (int b = 0; b < kBuffers; ++b) {
    render_buffer(out.data());
    all.insert(all.end(), out.begin(), out.end());
  }
  return all;
}

std::map<std::string, uint64_t> read_fingerprints() {
  std::map<std::string, uint64_t> stored;
  std::FILE* f = std::fopen(kFingerprintPath, "r");
  if (!f) return stored;
  char name[32];
  unsigned long long value = 0;
  while (std::fscanf(f, "%31s %llx", name, &value) == 2) stored[name] = value;
  std::fclose(f);
  return stored;
}

TEST(TypeIdentity, EveryTypeAndASixteenSynthSongRenderBitForBitAsStored) {
  std::vector<std::pair<std::string, uint64_t>> rendered;
  int sounding = 0;
  const struct {
    Variety variety;
    uint64_t seed;
    const char* suffix;
  } kVarieties[] = {{Variety::kBusy, 0x5eed0000ull, ""},
                    {Variety::kSparse, 0x5eed4000ull, "/SPARSE"},
                    {Variety::kPlain, 0x5eed8000ull, "/PLAIN"},
                    {Variety::kSwitch, 0x5eedc000ull, "/SWITCH"}};
  for (const auto& v : kVarieties)
    for (int type = 0; type < kTypeCount; ++type) {
      Random rng{v.seed + static_cast<uint64_t>(type)};
      const std::vector<float> out = render(1, [&] { build_random_synth(rng, 0, type, v.variety); });
      const std::string name = std::string(type_name_from_code(type)) + v.suffix;
      ASSERT_TRUE(test::all_finite(out.data(), static_cast<int>(out.size()))) << name;
      if (test::rms(out.data(), static_cast<int>(out.size())) > 1e-4) ++sounding;
      rendered.emplace_back(name, fingerprint(out));
    }
  // Random values could silence a type (long delays, a zero mix); nearly all must sound, or the
  // fingerprints would guard nothing.
  EXPECT_GE(sounding, 4 * kTypeCount - 8);

  Random rng{0x5eed1600ull};
  const std::vector<float> mixed = render(MAX_TRACKS, [&] {
    for (int t = 0; t < MAX_TRACKS; ++t) build_random_synth(rng, t, kMixedTypes[t], t % 2 ? Variety::kSparse : Variety::kBusy);
  });
  ASSERT_GT(test::rms(mixed.data(), static_cast<int>(mixed.size())), 1e-3);
  rendered.emplace_back(kMixedName, fingerprint(mixed));

  // The same render twice gives the same fingerprint: nothing outside the seed leaks in.
  Random again{0x5eed0000ull + 15};
  EXPECT_EQ(fingerprint(render(1, [&] { build_random_synth(again, 0, 15, Variety::kBusy); })), rendered[15].second);

  if (std::getenv("ZORBEL_REGENERATE_GOLDEN")) {
    std::FILE* f = std::fopen(kFingerprintPath, "w");
    ASSERT_NE(f, nullptr);
    for (const auto& [name, value] : rendered)
      std::fprintf(f, "%s %016llx\n", name.c_str(), static_cast<unsigned long long>(value));
    std::fclose(f);
    GTEST_SKIP() << "stored fingerprints rewritten";
  }
  const std::map<std::string, uint64_t> stored = read_fingerprints();
  ASSERT_EQ(stored.size(), rendered.size()) << "run with ZORBEL_REGENERATE_GOLDEN=1 to store them";
  for (const auto& [name, value] : rendered) {
    const auto it = stored.find(name);
    ASSERT_NE(it, stored.end()) << name << " has no stored fingerprint";
    EXPECT_EQ(it->second, value) << name << " no longer renders bit for bit as stored";
  }
}

}  // namespace
}  // namespace zorbel
