// The pitch-glide module: multiplies the pitch by a ratio every block until it passes an end value.
#include "synth/pitch_glide.h"

#include "synth/param_value.h"

namespace zorbel {

namespace {

void write_target(const PitchGlide& glide, float y) {
  if (glide.target.kind == ParamDest::Kind::kInt16)
    *glide.target.i16 = truncate_to_16(y);
  else if (glide.target.kind == ParamDest::Kind::kFloat)
    *glide.target.f = y;
}

}  // namespace

void glide_init(PitchGlide& glide, ParamDest target, float value, float end_value) {
  glide.target = target;
  glide.stop_count = 1;
  glide.stop_counter = 0;
  glide.m = 1.0f;
  glide.v = value;
  glide.e = end_value;
  glide.r = 1.0f;
}

void glide_block(PitchGlide& g) {
  // No glide: a ratio of 1, or an end that lies behind the start in the direction of travel.
  if (g.r == 1.0f || (g.r > 1.0f && g.e <= g.v && g.v > 0.0f) ||
      (g.r < 1.0f && g.v <= g.e && g.v > 0.0f)) {
    write_target(g, g.v);
    return;
  }
  if (g.stop_counter == g.stop_count) {
    write_target(g, g.m * g.v);  // ended: hold
    return;
  }
  g.m *= g.r;
  const float y = g.v * g.m;
  bool ended;
  if (g.r <= 1.0f)
    ended = (y < g.e && g.e > 0.0f) || (y > g.e && g.e < 0.0f);
  else
    ended = (y > g.e && g.e > 0.0f) || (y < g.e && g.e < 0.0f);
  if (ended)
    g.stop_counter = static_cast<int16_t>(g.stop_counter + 1);
  else
    write_target(g, y);
}

void glide_restart(PitchGlide& g) {
  g.stop_counter = 0;
  g.m = g.r >= 1.0f ? g.r : 1.0f;
}

void glide_step(PitchGlide& g, float ratio, float end, bool legato) {
  if (!legato) glide_restart(g);
  g.r = ratio;
  if (g.v * g.m != 0.0f) {
    float y;
    if ((g.r > 1.0f && g.e <= g.v) || (g.r < 1.0f && g.v < g.e))
      y = legato ? g.m * g.v : g.v;
    else
      y = g.r == 1.0f ? g.v : g.m * g.v;
    write_target(g, y);
  }
  g.e = end;
}

}  // namespace zorbel
