// zorbel-make-presets: writes the shipped preset files, TYPE.FACTORY.preset.zbl in ./presets/,
// one for each synth type the built-in templates and the shipped custom templates (seq/custom.zbi)
// use. Each holds the built-in sounds of its type,
// then the sounds designed below; the remaining presets keep the type's defaults.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "engine/builtin_sounds.h"
#include "engine/init_engine.h"
#include "files/preset_file.h"
#include "engine/synth_tracks.h"
#include "synth/synth_types.h"

namespace {

using namespace zorbel;

constexpr const char* kFileName = "FACTORY";

// A designed sound: changes to the type's defaults (or to a built-in sound), each written
// "PART.NAME=value" with PART G (generator), E (effect) or V (voice), and a pitch in the
// preset's frequency mode (1: note numbers unless "MODE=0" asks for Hz).
struct Design {
  const char* name;
  int base_sound;  // built-in sound to start from, or -1 for the defaults
  const char* changes;
};

struct TypeSounds {
  const char* type;
  const char* builtin_names[10];  // names of the type's built-in sounds, in sound order
  std::vector<Design> designs;
};

const std::vector<TypeSounds> kShipped = {
    {"BAM", {"KICK1", "KICK2", "KICK3", "TOM", "ZAP", "CLICK"},
     {{"SAWBASS", -1, "G.FREQ1=36 G.WTTYPE2=20 G.OFFSET=1.006 V.EXPMULT=0.9993"},
      {"SQLEAD", -1, "G.FREQ1=64 G.WTTYPE1=27 G.WTTYPE2=27 G.OFFSET=2 G.OSCMIX=0.3 V.EXPMULT=0.9997"},
      {"RINGBELL", -1, "G.FREQ1=72 G.WTTYPE1=0 G.WTTYPE2=0 G.OFFSET=2.76 G.RINGMIX=0.7 V.EXPMULT=0.9995"},
      {"SYNCLEAD", -1, "G.FREQ1=57 G.OSCSYNC=1 G.OFFSET=2.5 V.EXPMULT=0.9996"},
      {"PLUCK", -1, "G.FREQ1=60 G.WTTYPE1=27 G.WTTYPE2=0 V.EXPMULT=0.998"},
      {"PAD", -1, "G.FREQ1=48 G.OFFSET=1.01 V.ENVTYPE=0 V.ATTACK=0.3 V.DECAY=0.5 V.DECAYMIN=0.7 V.SUSTAIN=800 V.RELEASE=0.8"}}},
    {"BAMDEC", {},
     {{"CRUSHBAS", -1, "G.FREQ1=36 E.SAMPHOLD=3 E.NQUANTS=16 V.EXPMULT=0.9993"},
      {"LOFILEAD", -1, "G.FREQ1=64 G.WTTYPE1=27 E.SAMPHOLD=8 E.NQUANTS=64 V.EXPMULT=0.9996"},
      {"BITKICK", 0, "E.SAMPHOLD=2 E.NQUANTS=8"},
      {"GRITTOM", 3, "E.SAMPHOLD=4 E.NQUANTS=24"},
      {"DIRTBELL", -1, "G.FREQ1=76 G.WTTYPE1=0 G.WTTYPE2=0 G.OFFSET=3.5 G.RINGMIX=0.6 E.SAMPHOLD=6 E.NQUANTS=12 V.EXPMULT=0.9994"},
      {"HALFMIX", -1, "G.FREQ1=48 E.SAMPHOLD=12 E.NQUANTS=6 E.MIX=0.5 V.EXPMULT=0.9995"}}},
    {"BAMPCF", {},
     {{"XORBASS", -1, "G.FREQ1=36 E.FILTTYPE=1 E.CONTROL=0.3 V.EXPMULT=0.9993"},
      {"ORLEAD", -1, "G.FREQ1=64 G.WTTYPE1=27 E.FILTTYPE=2 E.CONTROL=0.6 V.EXPMULT=0.9996"},
      {"ANDPLUCK", -1, "G.FREQ1=60 E.FILTTYPE=3 E.CONTROL=0.4 V.EXPMULT=0.998"},
      {"NOTKICK", 0, "E.FILTTYPE=4 E.CONTROL=0.5 E.MIX=0.5"},
      {"RMBELL", -1, "G.FREQ1=72 G.WTTYPE1=0 G.WTTYPE2=0 G.OFFSET=2.76 E.FILTTYPE=5 E.CONTROL=0.7 V.EXPMULT=0.9995"},
      {"SMOOTH", -1, "G.FREQ1=52 E.FILTTYPE=0 E.CONTROL=0.8 V.EXPMULT=0.9996"}}},
    {"BAMSVF", {"SNAPSVF"},
     {{"ACIDBASS", -1, "G.FREQ1=36 E.FREQTRACK=0 E.FREQ=0.08 E.RES=0.7 E.TYPE=2 V.EXPMULT=0.9993"},
      {"LOWPAD", -1, "G.FREQ1=48 G.OFFSET=1.01 E.FREQ=0.15 E.RES=0.3 E.TYPE=2 V.ENVTYPE=0 V.ATTACK=0.4 V.DECAY=0.5 V.DECAYMIN=0.8 V.SUSTAIN=900 V.RELEASE=1"},
      {"BANDLEAD", -1, "G.FREQ1=64 G.WTTYPE1=27 E.FREQ=0.3 E.RES=0.5 E.TYPE=1 V.EXPMULT=0.9996"},
      {"HIGHHAT", -1, "G.FREQ1=100 G.WTTYPE1=28 G.WTTYPE2=28 E.FREQ=0.7 E.RES=0.2 E.TYPE=0 V.EXPMULT=0.99"},
      {"TRACKLP", -1, "G.FREQ1=45 E.FREQTRACK=1 E.OFFSET=2 E.RES=0.6 E.TYPE=2 V.EXPMULT=0.9994"},
      {"NOTCHSAW", -1, "G.FREQ1=52 E.FREQ=0.2 E.RES=0.4 E.TYPE=3 V.EXPMULT=0.9996"}}},
    {"BFM", {"BFMBELL", "BFMBASS"},
     {{"EPIANO", -1, "G.CFREQ1=60 G.MFREQ1=1 G.MODINDEX=2 V.EXPMULT=0.9995"},
      {"METAL", -1, "G.CFREQ1=55 G.MFREQ1=3.5 G.MODINDEX=6 V.EXPMULT=0.9993"},
      {"FMKICK", -1, "G.CFREQ1=30 G.EXPMULT=0.95 G.ENDOFFSET=0.3 G.MFREQ1=1 G.MODINDEX=3 V.EXPMULT=0.998"},
      {"FEEDBACK", -1, "G.CFREQ1=48 G.FBTYPE=1 G.CARRFB=0.4 G.MODINDEX=1.5 V.EXPMULT=0.9995"}}},
    {"BFMDEC", {},
     {{"CRUSHEP", -1, "G.CFREQ1=60 G.MFREQ1=1 G.MODINDEX=2 E.SAMPHOLD=3 E.NQUANTS=32 V.EXPMULT=0.9995"},
      {"LOFIBELL", 15, "E.SAMPHOLD=5 E.NQUANTS=20"},
      {"GRITBASS", 16, "E.SAMPHOLD=2 E.NQUANTS=12"},
      {"BITMETAL", -1, "G.CFREQ1=55 G.MFREQ1=3.5 G.MODINDEX=6 E.SAMPHOLD=8 E.NQUANTS=8 V.EXPMULT=0.9993"},
      {"SOFTGRIT", -1, "G.CFREQ1=48 G.MFREQ1=2 G.MODINDEX=1 E.SAMPHOLD=4 E.NQUANTS=48 E.MIX=0.5 V.EXPMULT=0.9996"},
      {"FBDIRT", -1, "G.CFREQ1=40 G.FBTYPE=2 G.MODFB=0.5 G.MODINDEX=2 E.SAMPHOLD=6 E.NQUANTS=16 V.EXPMULT=0.9994"}}},
    {"BFMSVF", {},
     {{"FMBASSLP", 16, "E.FREQ=0.1 E.RES=0.6 E.TYPE=2"},
      {"BELLBAND", 15, "E.FREQ=0.35 E.RES=0.5 E.TYPE=1"},
      {"EPIANOLP", -1, "G.CFREQ1=60 G.MFREQ1=1 G.MODINDEX=2 E.FREQ=0.25 E.RES=0.3 E.TYPE=2 V.EXPMULT=0.9995"},
      {"METALHP", -1, "G.CFREQ1=67 G.MFREQ1=3.5 G.MODINDEX=6 E.FREQ=0.5 E.RES=0.4 E.TYPE=0 V.EXPMULT=0.999"},
      {"TRACKPAD", -1, "G.CFREQ1=48 G.MFREQ1=2 G.MODINDEX=1 E.FREQTRACK=1 E.OFFSET=3 E.RES=0.5 E.TYPE=2 V.ENVTYPE=0 V.ATTACK=0.3 V.DECAY=0.6 V.DECAYMIN=0.7 V.SUSTAIN=900 V.RELEASE=1"},
      {"NOTCHFB", -1, "G.CFREQ1=45 G.FBTYPE=1 G.CARRFB=0.3 G.MODINDEX=2 E.FREQ=0.2 E.RES=0.5 E.TYPE=3 V.EXPMULT=0.9995"}}},
    {"FM", {"FMNOISE"},
     {{"FMBASS", -1, "G.CARRFREQ=36 G.MODOFFSET=1 G.MODINDEX=3 V.EXPMULT=0.9993"},
      {"FMBELL", -1, "G.CARRFREQ=72 G.MODOFFSET=3.5 G.MODINDEX=5 V.EXPMULT=0.9996"},
      {"FMLEAD", -1, "G.CARRFREQ=64 G.MODOFFSET=2 G.MODINDEX=2 V.EXPMULT=0.9997"},
      {"FMKICK", -1, "G.CARRFREQ=33 G.EXPMULT=0.95 G.ENDOFFSET=0.3 G.MODINDEX=2 V.EXPMULT=0.998"}}},
    {"FMSVF", {},
     {{"FMBASSLP", -1, "G.CARRFREQ=36 G.MODOFFSET=1 G.MODINDEX=3 E.FREQ=0.1 E.RES=0.6 E.TYPE=2 V.EXPMULT=0.9993"},
      {"BELLBAND", -1, "G.CARRFREQ=72 G.MODOFFSET=3.5 G.MODINDEX=5 E.FREQ=0.4 E.RES=0.5 E.TYPE=1 V.EXPMULT=0.9996"},
      {"LEADLP", -1, "G.CARRFREQ=64 G.MODOFFSET=2 G.MODINDEX=2 E.FREQTRACK=1 E.OFFSET=2 E.RES=0.4 E.TYPE=2 V.EXPMULT=0.9997"},
      {"HATHP", -1, "G.CARRFREQ=96 G.MODOFFSET=7.1 G.MODINDEX=20 E.FREQ=0.7 E.RES=0.2 E.TYPE=0 V.EXPMULT=0.99"},
      {"SWEEPPAD", -1, "G.CARRFREQ=48 G.MODOFFSET=1.01 G.MODINDEX=1.5 E.FREQ=0.2 E.RES=0.7 E.TYPE=2 V.ENVTYPE=0 V.ATTACK=0.4 V.DECAY=0.6 V.DECAYMIN=0.7 V.SUSTAIN=900 V.RELEASE=1"},
      {"FBNOTCH", -1, "G.CARRFREQ=45 G.FBTYPE=1 G.CARRFB=0.3 G.MODINDEX=2 E.FREQ=0.25 E.RES=0.5 E.TYPE=3 V.EXPMULT=0.9995"}}},
    {"KSDEC", {"PLUCKDEC"},
     {{"NYLON", -1, "G.FREQ=57 G.AVEFAC=0.5 E.SAMPHOLD=1 E.NQUANTS=2000 V.EXPMULT=0.9996"},
      {"CRUSHKS", -1, "G.FREQ=45 E.SAMPHOLD=4 E.NQUANTS=16 V.EXPMULT=0.9995"},
      {"LOFIHARP", -1, "G.FREQ=69 G.FILTPROB=0.8 E.SAMPHOLD=2 E.NQUANTS=48 V.EXPMULT=0.9996"},
      {"BITBASS", -1, "G.FREQ=33 G.AVEFAC=0.45 E.SAMPHOLD=3 E.NQUANTS=24 V.EXPMULT=0.9995"},
      {"GRITPLK", 10, "E.SAMPHOLD=6 E.NQUANTS=10"},
      {"HALFDEC", -1, "G.FREQ=52 E.SAMPHOLD=10 E.NQUANTS=8 E.MIX=0.5 V.EXPMULT=0.9996"}}},
    {"KSPCF", {},
     {{"XORPLUCK", -1, "G.FREQ=52 E.FILTTYPE=1 E.CONTROL=0.3 V.EXPMULT=0.9996"},
      {"ORHARP", -1, "G.FREQ=64 E.FILTTYPE=2 E.CONTROL=0.5 V.EXPMULT=0.9996"},
      {"ANDBASS", -1, "G.FREQ=36 E.FILTTYPE=3 E.CONTROL=0.4 V.EXPMULT=0.9995"},
      {"NOTPLUCK", -1, "G.FREQ=57 E.FILTTYPE=4 E.CONTROL=0.5 E.MIX=0.5 V.EXPMULT=0.9996"},
      {"RMKS", -1, "G.FREQ=60 E.FILTTYPE=5 E.CONTROL=0.6 V.EXPMULT=0.9996"},
      {"SOFTKS", -1, "G.FREQ=48 G.AVEFAC=0.5 E.FILTTYPE=0 E.CONTROL=0.8 V.EXPMULT=0.9996"}}},
    {"KSSVF", {},
     {{"DARKPLK", -1, "G.FREQ=48 E.FREQ=0.1 E.RES=0.4 E.TYPE=2 V.EXPMULT=0.9996"},
      {"BANDHARP", -1, "G.FREQ=64 E.FREQ=0.3 E.RES=0.6 E.TYPE=1 V.EXPMULT=0.9996"},
      {"THINPLK", -1, "G.FREQ=60 E.FREQ=0.4 E.RES=0.3 E.TYPE=0 V.EXPMULT=0.9996"},
      {"TRACKKS", -1, "G.FREQ=52 E.FREQTRACK=1 E.OFFSET=2 E.RES=0.6 E.TYPE=2 V.EXPMULT=0.9996"},
      {"KSBASS", -1, "G.FREQ=33 G.AVEFAC=0.45 E.FREQ=0.08 E.RES=0.5 E.TYPE=2 V.EXPMULT=0.9995"},
      {"NOTCHKS", -1, "G.FREQ=57 E.FREQ=0.2 E.RES=0.5 E.TYPE=3 V.EXPMULT=0.9996"}}},
    {"NSVF", {"SNARE", "HATOPEN", "HATPEDAL", "HATCLOSE", "CLAP", "SHAKER", "BREATH", "ZAPPER",
              "RISER"},
     {{"KICKNZ", -1, "G.SAMPHOLD=60 G.EXPMULT=1.02 G.ENDOFFSET=100 E.FREQ=0.05 E.RES=0.3 E.TYPE=2 V.EXPMULT=0.997"},
      {"WIND", -1, "E.FREQ=0.15 E.RES=0.8 E.TYPE=1 V.ENVTYPE=0 V.ATTACK=0.5 V.DECAY=0.5 V.DECAYMIN=0.8 V.SUSTAIN=900 V.RELEASE=1"},
      {"RIMSHOT", -1, "G.SAMPHOLD=3 E.FREQ=0.5 E.RES=0.7 E.TYPE=1 V.EXPMULT=0.992"}}},
    {"N", {},
     {{"TICKNZ", -1, "V.EXPMULT=0.99"},
      {"SNARENZ", -1, "G.SAMPHOLD=2 V.EXPMULT=0.996"},
      {"KICKNZ", -1, "G.SAMPHOLD=60 G.EXPMULT=1.02 G.ENDOFFSET=100 V.EXPMULT=0.997"},
      {"RUMBLE", -1, "G.SAMPHOLD=40 V.EXPMULT=0.9995"},
      {"CRACKLE", -1, "G.SAMPHOLD=12 V.ENVTYPE=0 V.ATTACK=0.2 V.DECAY=0.4 V.DECAYMIN=0.6 V.SUSTAIN=600 V.RELEASE=0.6"}}},
    {"KS", {},
     {{"NYLON", -1, "G.FREQ=57 G.AVEFAC=0.5 V.EXPMULT=0.9996"},
      {"HARP", -1, "G.FREQ=69 G.FILTPROB=0.8 V.EXPMULT=0.9996"},
      {"KSBASS", -1, "G.FREQ=33 G.AVEFAC=0.45 V.EXPMULT=0.9995"},
      {"WARPKS", -1, "G.FREQ=52 G.WARP=0.5 G.WARPWT=3 V.EXPMULT=0.9996"},
      {"DRUMKS", -1, "G.FREQ=40 G.ASPROB1=0.5 V.EXPMULT=0.998"}}},
    {"ZBQ", {},
     {{"PWMBASS", -1, "G.FREQ1=36 G.PW1=0.3 G.PW2=0.7 G.OFFSET2=1.006 V.EXPMULT=0.9993"},
      {"SQLEAD", -1, "G.FREQ1=64 G.OFFSET2=2 V.EXPMULT=0.9997"},
      {"NARROW", -1, "G.FREQ1=60 G.PW1=0.1 G.PW2=0.1 V.EXPMULT=0.9996"},
      {"ZBQPAD", -1, "G.FREQ1=48 G.OFFSET2=1.01 V.ENVTYPE=0 V.ATTACK=0.4 V.DECAY=0.6 V.DECAYMIN=0.7 V.SUSTAIN=900 V.RELEASE=1"},
      {"WARPZBQ", -1, "G.FREQ1=52 G.WARP=0.5 G.WARPWT=5 V.EXPMULT=0.9995"}}},
    {"ZBQSVF", {},
     {{"PWMBASS", -1, "G.FREQ1=36 G.PW1=0.3 G.PW2=0.7 G.OFFSET2=1.006 E.FREQ=0.12 E.RES=0.5 E.TYPE=2 V.EXPMULT=0.9993"},
      {"SQLEAD", -1, "G.FREQ1=64 G.OFFSET2=2 E.FREQ=0.4 E.RES=0.3 E.TYPE=2 V.EXPMULT=0.9997"},
      {"NARROW", -1, "G.FREQ1=60 G.PW1=0.1 G.PW2=0.1 E.FREQ=0.35 E.RES=0.5 E.TYPE=1 V.EXPMULT=0.9996"},
      {"ZBQPAD", -1, "G.FREQ1=48 G.OFFSET2=1.01 E.FREQ=0.2 E.RES=0.4 E.TYPE=2 V.ENVTYPE=0 V.ATTACK=0.4 V.DECAY=0.6 V.DECAYMIN=0.7 V.SUSTAIN=900 V.RELEASE=1"},
      {"TRACKED", -1, "G.FREQ1=52 E.FREQTRACK=1 E.OFFSET=3 E.RES=0.6 E.TYPE=2 V.EXPMULT=0.9995"},
      {"HIGHBUZZ", -1, "G.FREQ1=72 G.MIX=0.2 E.FREQ=0.5 E.RES=0.3 E.TYPE=0 V.EXPMULT=0.9994"}}},
    {"ROT", {"ROTKICK"},
     {{"ROTBASS", -1, "G.FREQ=36 G.DIST=3 V.EXPMULT=0.9993"},
      {"ROTLEAD", -1, "G.FREQ=64 G.DIST=7 G.VAL=30000 V.EXPMULT=0.9997"},
      {"GRAIN", -1, "G.FREQ=52 G.DIST=12 G.VAL=4000 V.EXPMULT=0.9995"},
      {"ROTTOM", 4, "G.FREQ=220 G.ENDOFFSET=0.3"},
      {"BUZZ", -1, "G.FREQ=48 G.DIST=15 G.VAL=65000 V.EXPMULT=0.9996"},
      {"SOFTROT", -1, "G.FREQ=57 G.DIST=1 G.VAL=1000 V.EXPMULT=0.9996"}}},
    {"ROTPCF", {},
     {{"XORROT", -1, "G.FREQ=36 G.DIST=3 E.FILTTYPE=1 E.CONTROL=0.3 V.EXPMULT=0.9993"},
      {"ORROT", -1, "G.FREQ=64 G.DIST=7 E.FILTTYPE=2 E.CONTROL=0.5 V.EXPMULT=0.9997"},
      {"ANDROT", -1, "G.FREQ=52 G.DIST=12 E.FILTTYPE=3 E.CONTROL=0.4 V.EXPMULT=0.9995"},
      {"NOTKICK", 4, "E.FILTTYPE=4 E.CONTROL=0.5 E.MIX=0.5"},
      {"RMROT", -1, "G.FREQ=60 E.FILTTYPE=5 E.CONTROL=0.6 V.EXPMULT=0.9996"},
      {"SMOOTH", -1, "G.FREQ=48 E.FILTTYPE=0 E.CONTROL=0.8 V.EXPMULT=0.9996"}}},
};

[[noreturn]] void die(const std::string& why) {
  std::fprintf(stderr, "zorbel-make-presets: %s\n", why.c_str());
  std::exit(1);
}

int kind_params(int kind) {
  const KindOps* ops = kind >= 0 ? kind_ops(kind) : nullptr;
  return ops ? ops->param_count : 0;
}

// Position in the type's parameter list of PART.NAME.
int param_index(int type, const std::string& key) {
  const std::size_t dot = key.find('.');
  if (dot != 1) die("bad change " + key);
  const int generator = kind_params(type_engine_kind(type));
  const int effect = kind_params(type_effect_kind(type));
  int first = 0, last = generator;
  if (key[0] == 'E') first = generator, last = generator + effect;
  if (key[0] == 'V') first = generator + effect, last = type_param_count(type);
  for (int q = first; q < last; ++q)
    if (key.compare(2, std::string::npos, type_param(type, q)->name) == 0) return q;
  die(std::string("no parameter ") + key + " in " + type_name_from_code(type));
}

PresetValues base_values(int type, int sound) {
  PresetValues v;
  v.count = type_param_count(type);
  for (int q = 0; q < v.count; ++q) v.values[q] = type_param(type, q)->def;
  v.freq_mode = type_engine_kind(type) == kKindN || type_engine_kind(type) == kKindWav ? 3 : 1;
  if (sound < 0) return v;
  // A sound of the same engine lends its generator and voice values, and its effect values when
  // the effect is the same too.
  const BuiltinSound& s = kBuiltinSounds[sound];
  if (type_engine_kind(s.type) != type_engine_kind(type)) die("sound of another engine");
  const int generator = kind_params(type_engine_kind(type));
  const int effect = kind_params(type_effect_kind(type));
  const int sound_effect = kind_params(type_effect_kind(s.type));
  const bool same_effect = type_effect_kind(s.type) == type_effect_kind(type);
  for (int q = 0; q < v.count; ++q) {
    if (q < generator || same_effect)
      v.values[q] = s.values[q];
    else if (q >= generator + effect)
      v.values[q] = s.values[q - effect + sound_effect];
  }
  v.freq_mode = s.freq_mode;
  return v;
}

void save(int type, int index, const char* name, const PresetValues& values) {
  std::string why;
  const std::string file = preset_file_name(type, kFileName);
  if (!save_preset(file.c_str(), type, index, name, values, &why)) die(file + ": " + why);
}

}  // namespace

int main() {
  init_engine(1);
  for (const TypeSounds& shipped : kShipped) {
    const int type = type_code_from_name(shipped.type);
    std::string why;
    if (!make_preset_file(type, kFileName, &why)) die(why);
    int index = 0;
    int named = 0;
    for (int sound = 0; sound < kBuiltinSoundCount; ++sound) {
      if (kBuiltinSounds[sound].type != type) continue;
      const char* name = shipped.builtin_names[named++];
      if (!name) die(std::string("a built-in sound of ") + shipped.type + " has no name");
      save(type, index++, name, base_values(type, sound));
    }
    for (const Design& design : shipped.designs) {
      PresetValues values = base_values(type, design.base_sound);
      std::istringstream changes(design.changes);
      std::string change;
      while (changes >> change) {
        const std::size_t eq = change.find('=');
        if (eq == std::string::npos) die("bad change " + change);
        values.values[param_index(type, change.substr(0, eq))] = std::stof(change.substr(eq + 1));
      }
      save(type, index++, design.name, values);
    }
    std::printf("%s: %d sounds\n", preset_file_name(type, kFileName).c_str(), index);
  }
  return 0;
}
