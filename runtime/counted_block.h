// The block behind a counted text: a 32-bit length, then the bytes.
//
//   [uint32 length][length bytes]...
//                   ^ a text's handle points here
//
// DynString (which adds a trailing zero) and the containers' stored texts
// (which do not) share this layout; these read and write its length.
#pragma once

#include <cstdint>
#include <cstring>

namespace hb::counted_block {

// The length stored before the text's first byte.
inline uint32_t LengthOf(const char* text) noexcept {
  uint32_t length;
  std::memcpy(&length, text - sizeof(uint32_t), sizeof length);
  return length;
}

// Writes the length at the start of a new block; the text's first byte.
inline char* Start(void* block, uint32_t length) noexcept {
  std::memcpy(block, &length, sizeof length);
  return static_cast<char*>(block) + sizeof(uint32_t);
}

// The block a text's handle points into.
inline void* BlockOf(char* text) noexcept { return text - sizeof(uint32_t); }

}  // namespace hb::counted_block
