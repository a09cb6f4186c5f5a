#include "runtime/fresh_pages.h"

namespace hb {

// Windows maps committed pages on first touch and offers no call that maps a
// range for writing ahead; the pages come as they are touched.
void MapFreshPages(void*, std::size_t) noexcept {}

}  // namespace hb
