// A fixture that fails a test which leaves objects alive (or destroys more
// than it made).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "runtime/object.h"

namespace hb::test {

class LiveObjectTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(LiveObjectCount(), start_) << "objects leaked or over-released"; }

 private:
  int32_t start_ = LiveObjectCount();
};

}  // namespace hb::test
