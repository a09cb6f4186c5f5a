// A reference-counted test object that never destroys itself, so a test can
// read its count and the number of Release calls at any time. Answers
// QueryInterface for IUnknown only.
#pragma once

#include <cstdint>
#include <functional>

#include "runtime/unknown.h"

namespace hb::test {

class CountedObject final : public IUnknown {
 public:
  // Starts with one reference, the test's own.
  CountedObject() = default;
  // Starts with `references`; 0 when the references under test are all there is.
  explicit CountedObject(int32_t references) : count_(references) {}

  HResult QueryInterface(const Guid& iid, void** object) override {
    if (iid != kIidIUnknown) {
      *object = nullptr;
      return kNoInterface;
    }
    AddRef();
    *object = static_cast<IUnknown*>(this);
    return kOk;
  }
  uint32_t AddRef() override { return static_cast<uint32_t>(++count_); }
  uint32_t Release() override {
    ++releases_;
    if (onRelease) onRelease();
    return static_cast<uint32_t>(--count_);
  }

  int32_t Count() const { return count_; }
  int32_t Releases() const { return releases_; }

  std::function<void()> onRelease;  // runs inside Release, before the count drops

 private:
  int32_t count_ = 1;
  int32_t releases_ = 0;
};

}  // namespace hb::test
