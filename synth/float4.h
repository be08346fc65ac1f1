// Four float lanes for the engines' inner loops: lane-wise arithmetic and four interpolated
// wavetable reads at once, each lane bit for bit what the scalar operation gives.
#pragma once

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

#include <cstdint>

#include "synth/wavetables.h"

namespace zorbel {

#if defined(__SSE2__) && defined(__x86_64__)

using Float4 = __m128;

inline Float4 float4(float a, float b, float c, float d) { return _mm_setr_ps(a, b, c, d); }
// The same value in all four lanes.
inline Float4 splat4(float a) { return _mm_set1_ps(a); }
inline Float4 scale4(Float4 v, float k) { return _mm_mul_ps(v, _mm_set1_ps(k)); }
inline Float4 add4(Float4 a, Float4 b) { return _mm_add_ps(a, b); }
inline Float4 load4(const float* p) { return _mm_loadu_ps(p); }
inline void store4(float* p, Float4 v) { _mm_storeu_ps(p, v); }
inline Float4 mul4(Float4 a, Float4 b) { return _mm_mul_ps(a, b); }
inline Float4 div4(Float4 a, Float4 b) { return _mm_div_ps(a, b); }
// [a0, a2, b0, b2] and [a1, a3, b1, b3]: from pairs stored one after another, the firsts and
// the seconds of four pairs.
inline Float4 even_lanes(Float4 a, Float4 b) { return _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)); }
inline Float4 odd_lanes(Float4 a, Float4 b) { return _mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)); }
// [a2, a3, a2, a3]: the upper pair of lanes moved down; [a0, a1, b0, b1]: two lower pairs.
inline Float4 upper_pair(Float4 a) { return _mm_movehl_ps(a, a); }
inline Float4 lower_pairs(Float4 a, Float4 b) { return _mm_movelh_ps(a, b); }
// [a0, b0, a1, b1] and [a2, b2, a3, b3]: four lanes of a and b as pairs one after another.
inline Float4 interleave_low(Float4 a, Float4 b) { return _mm_unpacklo_ps(a, b); }
inline Float4 interleave_high(Float4 a, Float4 b) { return _mm_unpackhi_ps(a, b); }
// Whether any lane lies above `high` or below 0 (NaN does neither).
inline bool any_outside(Float4 v, float high) {
  const __m128 outside = _mm_or_ps(_mm_cmpgt_ps(v, _mm_set1_ps(high)), _mm_cmplt_ps(v, _mm_setzero_ps()));
  return _mm_movemask_ps(outside) != 0;
}

// Whether every lane lies in 0..128, where wrap_table_position returns the position unchanged
// (NaN fails).
inline bool all_in_table(Float4 pos) {
  const __m128 inside = _mm_and_ps(_mm_cmpge_ps(pos, _mm_setzero_ps()),
                                   _mm_cmple_ps(pos, _mm_set1_ps(static_cast<float>(kTablePoints))));
  return _mm_movemask_ps(inside) == 0xf;
}

// What read_table computes before its two reads, for each lane: the clamps (max and min keep
// read_table's NaN rule: a NaN lane reads point 0), the point below (at most 127; exact in
// float, so the clamp can be taken there) and the fraction above it.
struct TableCells {
  __m128 fraction;
  __m128i below;
};

inline TableCells table_cells(Float4 phase) {
  phase = _mm_max_ps(phase, _mm_setzero_ps());
  phase = _mm_min_ps(phase, _mm_set1_ps(static_cast<float>(kTablePoints)));
  const __m128 below = _mm_min_ps(_mm_cvtepi32_ps(_mm_cvttps_epi32(phase)),
                                  _mm_set1_ps(static_cast<float>(kTablePoints - 1)));
  return TableCells{_mm_sub_ps(phase, below), _mm_cvttps_epi32(below)};
}

// Two neighbouring points of each of two tables in one 64-bit load each: [a0, b0, a1, b1].
// `below` holds both indices (0..127), so each zero-extended half is one.
inline __m128 point_pairs(const float* table0, const float* table1, uint64_t below) {
  return _mm_loadh_pi(
      _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(table0 + static_cast<uint32_t>(below))),
      reinterpret_cast<const __m64*>(table1 + (below >> 32)));
}

// f * upper + (1 - f) * lower, as read_table sums them.
inline Float4 interpolate(__m128 fraction, __m128 lower, __m128 upper) {
  return _mm_add_ps(_mm_mul_ps(fraction, upper),
                    _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(1.0f), fraction), lower));
}

// read_table on each lane, from four table rows (they may be the same one).
inline Float4 read_tables4(const float* const tables[4], Float4 phase) {
  const TableCells cells = table_cells(phase);
  const __m128 pair01 = point_pairs(tables[0], tables[1],
                                    static_cast<uint64_t>(_mm_cvtsi128_si64(cells.below)));
  const __m128 pair23 = point_pairs(
      tables[2], tables[3],
      static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(cells.below, cells.below))));
  return interpolate(cells.fraction, _mm_shuffle_ps(pair01, pair23, _MM_SHUFFLE(2, 0, 2, 0)),
                     _mm_shuffle_ps(pair01, pair23, _MM_SHUFFLE(3, 1, 3, 1)));
}

// read_table on lanes 0 and 1 of phase, from two tables (lanes 2 and 3 repeat them).
inline Float4 read_tables2(const float* table0, const float* table1, Float4 phase) {
  const TableCells cells = table_cells(phase);
  const __m128 pair = point_pairs(table0, table1, static_cast<uint64_t>(_mm_cvtsi128_si64(cells.below)));
  return interpolate(cells.fraction, _mm_shuffle_ps(pair, pair, _MM_SHUFFLE(2, 0, 2, 0)),
                     _mm_shuffle_ps(pair, pair, _MM_SHUFFLE(3, 1, 3, 1)));
}

// Lanes below lo give lo, above hi give hi, anything else (NaN too) itself: the comparisons
// `y < lo ? lo : y`, then `y > hi ? hi : y`.
inline Float4 clamp4(Float4 y, float lo, float hi) {
  return _mm_min_ps(_mm_set1_ps(hi), _mm_max_ps(_mm_set1_ps(lo), y));
}

inline float lane0(Float4 v) { return _mm_cvtss_f32(v); }
inline float lane1(Float4 v) { return _mm_cvtss_f32(_mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 1, 1, 1))); }
inline float lane2(Float4 v) { return _mm_cvtss_f32(_mm_movehl_ps(v, v)); }
inline float lane3(Float4 v) { return _mm_cvtss_f32(_mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 3, 3, 3))); }

#else

// Without SSE2 the same reads one after another.
struct Float4 {
  float v[4];
};

inline Float4 float4(float a, float b, float c, float d) { return Float4{{a, b, c, d}}; }
inline Float4 splat4(float a) { return Float4{{a, a, a, a}}; }
inline Float4 scale4(Float4 v, float k) { return Float4{{v.v[0] * k, v.v[1] * k, v.v[2] * k, v.v[3] * k}}; }
inline Float4 load4(const float* p) { return Float4{{p[0], p[1], p[2], p[3]}}; }
inline void store4(float* p, Float4 v) {
  for (int k = 0; k < 4; ++k) p[k] = v.v[k];
}
inline Float4 add4(Float4 a, Float4 b) {
  return Float4{{a.v[0] + b.v[0], a.v[1] + b.v[1], a.v[2] + b.v[2], a.v[3] + b.v[3]}};
}
inline Float4 mul4(Float4 a, Float4 b) {
  return Float4{{a.v[0] * b.v[0], a.v[1] * b.v[1], a.v[2] * b.v[2], a.v[3] * b.v[3]}};
}
inline Float4 div4(Float4 a, Float4 b) {
  return Float4{{a.v[0] / b.v[0], a.v[1] / b.v[1], a.v[2] / b.v[2], a.v[3] / b.v[3]}};
}
inline Float4 even_lanes(Float4 a, Float4 b) { return Float4{{a.v[0], a.v[2], b.v[0], b.v[2]}}; }
inline Float4 odd_lanes(Float4 a, Float4 b) { return Float4{{a.v[1], a.v[3], b.v[1], b.v[3]}}; }
inline Float4 upper_pair(Float4 a) { return Float4{{a.v[2], a.v[3], a.v[2], a.v[3]}}; }
inline Float4 lower_pairs(Float4 a, Float4 b) { return Float4{{a.v[0], a.v[1], b.v[0], b.v[1]}}; }
inline Float4 interleave_low(Float4 a, Float4 b) { return Float4{{a.v[0], b.v[0], a.v[1], b.v[1]}}; }
inline Float4 interleave_high(Float4 a, Float4 b) { return Float4{{a.v[2], b.v[2], a.v[3], b.v[3]}}; }
inline bool any_outside(Float4 v, float high) {
  for (float x : v.v)
    if (x > high || x < 0.0f) return true;
  return false;
}

inline bool all_in_table(Float4 pos) {
  for (float p : pos.v)
    if (!(p >= 0.0f && p <= static_cast<float>(kTablePoints))) return false;
  return true;
}

inline Float4 read_tables4(const float* const tables[4], Float4 phase) {
  Float4 r;
  for (int k = 0; k < 4; ++k) r.v[k] = read_table(tables[k], phase.v[k]);
  return r;
}

inline Float4 clamp4(Float4 y, float lo, float hi) {
  for (float& v : y.v) {
    v = v < lo ? lo : v;
    v = v > hi ? hi : v;
  }
  return y;
}

inline Float4 read_tables2(const float* table0, const float* table1, Float4 phase) {
  const float a = read_table(table0, phase.v[0]), b = read_table(table1, phase.v[1]);
  return Float4{{a, b, a, b}};
}

inline float lane0(Float4 v) { return v.v[0]; }
inline float lane1(Float4 v) { return v.v[1]; }
inline float lane2(Float4 v) { return v.v[2]; }
inline float lane3(Float4 v) { return v.v[3]; }

#endif

}  // namespace zorbel
