// Where a parameter's step value lands: a module field of one of four types, never untyped.
#pragma once

#include <cstdint>

namespace zorbel {

// A field pointer tagged with its type, so each parameter class writes the field it was bound to
// and a reader can follow a value from the step to the field by name.
struct ParamDest {
  enum class Kind : uint8_t { kNone, kFloat, kInt16, kInt32, kTable };

  Kind kind = Kind::kNone;
  float* f = nullptr;            // kFloat
  int16_t* i16 = nullptr;        // kInt16
  int32_t* i32 = nullptr;        // kInt32
  const float** table = nullptr; // kTable: a row of the wavetables

  constexpr ParamDest() = default;
  constexpr ParamDest(std::nullptr_t) {}
  constexpr ParamDest(float* p) : kind(p ? Kind::kFloat : Kind::kNone), f(p) {}
  constexpr ParamDest(int16_t* p) : kind(p ? Kind::kInt16 : Kind::kNone), i16(p) {}
  constexpr ParamDest(int32_t* p) : kind(p ? Kind::kInt32 : Kind::kNone), i32(p) {}
  constexpr ParamDest(const float** p) : kind(p ? Kind::kTable : Kind::kNone), table(p) {}

  constexpr bool empty() const { return kind == Kind::kNone; }
  // Whether this is the field at p.
  constexpr bool aims_at(const float* p) const { return kind == Kind::kFloat && f == p; }
  constexpr bool aims_at(const int16_t* p) const { return kind == Kind::kInt16 && i16 == p; }
  constexpr bool aims_at(const int32_t* p) const { return kind == Kind::kInt32 && i32 == p; }
  constexpr bool aims_at(const float* const* p) const { return kind == Kind::kTable && table == p; }
  constexpr bool operator==(const ParamDest& o) const {
    return kind == o.kind && f == o.f && i16 == o.i16 && i32 == o.i32 && table == o.table;
  }
};

}  // namespace zorbel
