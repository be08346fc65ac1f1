// Marks the functions that run on the audio thread, so the realtime sanitizer build checks
// that nothing under them allocates, locks or blocks.
#pragma once

#if defined(ZORBEL_RTSAN) && defined(__clang__)
#define ZORBEL_REALTIME [[clang::nonblocking]]
#else
#define ZORBEL_REALTIME
#endif
