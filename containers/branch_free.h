// Branch-free selection, for choices that hang on a load the processor
// cannot predict: a mispredicted branch throws away the work begun after it,
// while a select only waits for both of its inputs.
#pragma once

#include <cstdint>

namespace hb::branch_free {

// All ones when `choose`, else zero. The empty asm statement hides the
// mask's origin from the compiler, which would otherwise turn a select made
// with it back into a branch.
inline uintptr_t MaskOf(bool choose) noexcept {
  uintptr_t mask = uintptr_t{0} - static_cast<uintptr_t>(choose);
  __asm__("" : "+r"(mask));
  return mask;
}

// `choose ? a : b`.
inline int32_t Select(bool choose, int32_t a, int32_t b) noexcept {
  const auto mask = static_cast<uint32_t>(MaskOf(choose));
  return static_cast<int32_t>(static_cast<uint32_t>(b) ^ ((static_cast<uint32_t>(a) ^ static_cast<uint32_t>(b)) & mask));
}
template <class T>
T* Select(bool choose, T* a, T* b) noexcept {
  const auto bitsA = reinterpret_cast<uintptr_t>(a);
  const auto bitsB = reinterpret_cast<uintptr_t>(b);
  return reinterpret_cast<T*>(bitsB ^ ((bitsA ^ bitsB) & MaskOf(choose)));
}

}  // namespace hb::branch_free
