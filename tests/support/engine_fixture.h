// Test fixture that puts the whole engine back to its start-up state before every case.
#pragma once

#include <gtest/gtest.h>

#include "edit/undo_journal.h"
#include "engine/init_engine.h"
#include "engine/song.h"

namespace zorbel::test {

constexpr uint32_t kTestSeed = 12345;

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    init_engine(kTestSeed);
    reset_journal();
  }
  void TearDown() override { init_engine(kTestSeed); }
};

// Runs the clock for `frames` frames and returns the frame numbers (1-based) at which a step
// event fired, detected by step_pos moving.
std::vector<long> step_frames(long frames);

}  // namespace zorbel::test
