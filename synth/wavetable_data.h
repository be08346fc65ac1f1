// The wavetables given as data rather than computed (16-bit scale, 129 points with the guard).
#pragma once

namespace zorbel {

extern const float kIsineData[129];
extern const float kIsine2Data[129];
extern const float kIsine3Data[129];

}  // namespace zorbel
