#include "app/floating_point.h"

namespace hb {

#if defined(__x86_64__) || defined(__i386__)
void SetFloatingPointControlWord(uint16_t word) noexcept { __asm__ volatile("fldcw %0" : : "m"(word)); }

uint16_t FloatingPointControlWord() noexcept {
  uint16_t word = 0;
  __asm__ volatile("fnstcw %0" : "=m"(word));
  return word;
}
#else
void SetFloatingPointControlWord(uint16_t) noexcept {}
uint16_t FloatingPointControlWord() noexcept { return kProgramControlWord; }
#endif

}  // namespace hb
