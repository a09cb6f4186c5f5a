// Memory the allocator has just taken from the system: its pages are mapped
// one fault at a time on their first touch, which on virtual machines costs a
// few microseconds a page. Where the system can map a range in one call, the
// allocator asks for it on blocks whose every page is about to be written
// (the small-block chunks), so that the pages come in one go.
#pragma once

#include <cstddef>

namespace hb {

// Maps the whole pages inside [block, block + bytes) for writing, if the
// system offers that; a hint only, whose failure changes nothing.
void MapFreshPages(void* block, std::size_t bytes) noexcept;

}  // namespace hb
