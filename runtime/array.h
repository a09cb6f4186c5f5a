// Array<T>: a runtime table with explicit lower and upper bounds.
//
// Elements are 32-bit integers, DynStrings or Refs: kinds whose all-zero bytes
// are the empty value (0, the empty string, null) and which may be moved as
// raw bytes. A new block is therefore zero-filled, and growing it keeps the
// old elements where they are.
//
//   undimensioned:  no block, UpperBound() == -1
//   dimensioned:    block of (upper - lower + 1) elements, element i at i - lower
//
// Element access does no bounds check: callers keep indices in range.
// Failures are recorded as runtime errors and leave the array as documented:
// 7 (out of memory) and 9 (upper bound below lower bound).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <algorithm>
#include <utility>
#include <type_traits>

#include "runtime/alloc.h"
#include "runtime/dyn_string.h"
#include "runtime/errors.h"
#include "runtime/ref.h"

namespace hb {

template <class T>
inline constexpr bool kIsArrayElement = std::is_same_v<T, int32_t> || std::is_same_v<T, DynString>;
template <class T>
inline constexpr bool kIsArrayElement<Ref<T>> = true;

template <class T>
class Array {
  static_assert(kIsArrayElement<T>, "Array holds int32_t, DynString or Ref<T>");

 public:
  Array() noexcept = default;
  Array(const Array&) = delete;
  Array& operator=(const Array&) = delete;
  ~Array() { Erase(); }

  bool Dimensioned() const noexcept { return data_ != nullptr; }
  int32_t LowerBound() const noexcept { return Dimensioned() ? lower_ : -1; }
  // The upper bound, or -1 while the array is not dimensioned.
  int32_t UpperBound() const noexcept { return Dimensioned() ? upper_ : -1; }
  // Number of elements; 0 while not dimensioned.
  std::size_t Size() const noexcept { return Dimensioned() ? Count(lower_, upper_) : 0; }

  T& operator[](int32_t index) noexcept { return data_[index - lower_]; }
  const T& operator[](int32_t index) const noexcept { return data_[index - lower_]; }
  T* Data() noexcept { return data_; }
  const T* Data() const noexcept { return data_; }

  // Gives an undimensioned array the bounds lower..upper, every element empty.
  // Does nothing on a dimensioned array. Error 9 for upper < lower and error 7
  // when memory is exhausted; the array then stays undimensioned.
  void Dimension(int32_t lower, int32_t upper) noexcept {
    if (Dimensioned()) return;
    if (upper < lower) {
      RaiseError(kErrorSubscriptOutOfRange, "Dimension");
      return;
    }
    void* block = AllocateZeroedBlock(Bytes(lower, upper));
    if (block == nullptr) {
      RaiseError(kErrorOutOfMemory, "Dimension");
      return;
    }
    data_ = static_cast<T*>(block);
    lower_ = lower;
    upper_ = upper;
  }

  // Changes the upper bound keeping the contents: elements that fall away are
  // released, new ones are empty. Dimension when undimensioned. The lower
  // bound must stay the same. Errors 9 and 7 as for Dimension; the array is
  // then unchanged.
  void DimensionPreserve(int32_t lower, int32_t upper) noexcept {
    if (!Dimensioned()) {
      Dimension(lower, upper);
      return;
    }
    if (upper < lower || lower != lower_) {
      RaiseError(kErrorSubscriptOutOfRange, "DimensionPreserve");
      return;
    }
    const std::size_t oldCount = Count(lower_, upper_);
    const std::size_t newCount = Count(lower, upper);
    // Grow first and only then release what falls away, so that a failed
    // allocation leaves the array exactly as it was.
    if (newCount > oldCount) {
      void* block = ReallocateBlock(data_, Bytes(lower, upper));
      if (block == nullptr) {
        RaiseError(kErrorOutOfMemory, "DimensionPreserve");
        return;
      }
      data_ = static_cast<T*>(block);
      std::memset(static_cast<void*>(data_ + oldCount), 0, (newCount - oldCount) * sizeof(T));
    } else if (newCount < oldCount) {
      ReleaseElements(data_ + newCount, data_ + oldCount);
      // Shrinking in place cannot fail; a smaller block is only an economy.
      if (void* block = ReallocateBlock(data_, Bytes(lower, upper))) data_ = static_cast<T*>(block);
    }
    upper_ = upper;
  }

  // New bounds lower..upper with every element empty, without copying the
  // old contents: the new block is taken first and the old one released and
  // freed only then, so that error 7 (memory exhausted) leaves the array as it
  // was. Error 9 for upper < lower, also unchanged. A large zeroed block comes
  // from the system already zero, so the new table costs no writes.
  void Redimension(int32_t lower, int32_t upper) noexcept {
    if (upper < lower) {
      RaiseError(kErrorSubscriptOutOfRange, "Redimension");
      return;
    }
    void* block = AllocateZeroedBlock(Bytes(lower, upper));
    if (block == nullptr) {
      RaiseError(kErrorOutOfMemory, "Redimension");
      return;
    }
    Erase();
    data_ = static_cast<T*>(block);
    lower_ = lower;
    upper_ = upper;
  }

  // Releases every element and frees the block; does nothing when not
  // dimensioned, so erasing twice is harmless.
  void Erase() noexcept {
    if (!Dimensioned()) return;
    if constexpr (!std::is_same_v<T, int32_t>) ReleaseElements(data_, data_ + Count(lower_, upper_));
    FreeBlock(data_);
    data_ = nullptr;
    lower_ = upper_ = 0;
  }

  // Releases every element and leaves it empty, keeping the bounds.
  void Reset() noexcept {
    if (!Dimensioned()) return;
    ReleaseElements(data_, data_ + Count(lower_, upper_));
  }

 private:
  // Leaves every cell in [first, last) empty, releasing what it held. Each
  // element is taken out of its cell before it is released, so a Release that
  // reaches back into this array meets empty cells, never a dangling one.
  // Strings are freed in table order: sorting the buffers by address first
  // was measured with glibc malloc and only pays for string tables of 100000
  // and more elements in shuffled order; it is slower for small tables and
  // for tables filled in allocation order, which is how ours are filled.
  static void ReleaseElements(T* first, T* last) noexcept {
    if constexpr (std::is_same_v<T, int32_t>) {
      std::fill(first, last, 0);
    } else {
      for (T* cell = first; cell != last; ++cell) {
        T taken(std::move(*cell));
      }
    }
  }

  static std::size_t Count(int32_t lower, int32_t upper) noexcept {
    return static_cast<std::size_t>(int64_t{upper} - int64_t{lower} + 1);
  }
  static std::size_t Bytes(int32_t lower, int32_t upper) noexcept {
    return Count(lower, upper) * sizeof(T);
  }

  T* data_ = nullptr;
  int32_t lower_ = 0;
  int32_t upper_ = 0;
};

}  // namespace hb
