// Shared pieces of the container tests: a fixture that checks every object
// made during a test is gone at its end, and a value object whose count the
// test can read.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "runtime/object.h"
#include "runtime/unknown.h"

namespace hb::testing {

// Fails a test that leaves objects alive (or destroys more than it made).
class LiveObjectTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(LiveObjectCount(), start_) << "objects leaked or over-released"; }

 private:
  int32_t start_ = LiveObjectCount();
};

// A value object owned by the test: Release never destroys it, so a test can
// read its count at any time. Answers QueryInterface for IUnknown only.
class CountedValue final : public IUnknown {
 public:
  HResult QueryInterface(const Guid& iid, void** object) override {
    *object = iid == kIidIUnknown ? this : nullptr;
    if (*object == nullptr) return kNoInterface;
    ++count_;
    return kOk;
  }
  uint32_t AddRef() override { return static_cast<uint32_t>(++count_); }
  uint32_t Release() override { return static_cast<uint32_t>(--count_); }
  int32_t count() const { return count_; }

 private:
  int32_t count_ = 1;  // the test's own reference
};

}  // namespace hb::testing
