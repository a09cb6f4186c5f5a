// StoredText: the copy of a text that an entry object keeps, its key or its
// string value, in one counted block of its own (runtime/counted_block.h;
// null is the empty text).
//
// A dynamic string's layout without the trailing zero: a stored text is only
// ever read by its length, compared and hashed in place or copied out into a
// new DynString (which has its zero), so the byte would only cost room — at
// 20-byte keys it decides between a 24- and a 32-byte block.
//
// Assign copies in: the same length reuses the block and cannot fail; another
// length takes the new block before it lets go of the old one, so that when
// memory runs out the old text stays, Assign returns false and runtime error 7
// is recorded, as for a DynString copy.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "runtime/alloc.h"
#include "runtime/counted_block.h"
#include "runtime/dyn_string.h"
#include "runtime/errors.h"
#include "runtime/short_bytes.h"

namespace hb {

class StoredText {
 public:
  StoredText() noexcept = default;
  StoredText(const StoredText&) = delete;
  StoredText& operator=(const StoredText&) = delete;
  ~StoredText() { FreeBlockOf(data_); }

  uint32_t Length() const noexcept {
    if (data_ == nullptr) return 0;
    return counted_block::LengthOf(data_);
  }
  bool Empty() const noexcept { return data_ == nullptr; }
  // Address of the first byte; null for the empty text. No zero follows the
  // last byte.
  const char* Data() const noexcept { return data_; }
  std::string_view View() const noexcept {
    return data_ == nullptr ? std::string_view() : std::string_view(data_, Length());
  }

  // A new DynString with the same bytes.
  DynString Copy() const noexcept { return DynString(data_, Length()); }

  bool Assign(const char* bytes, uint32_t length) noexcept {
    if (length == 0 || bytes == nullptr) {
      Clear();
      return true;
    }
    if (length == Length()) {
      short_bytes::CopyRun(data_, bytes, length);
      return true;
    }
    void* block = AllocateSmallBlock(BlockBytes(length));
    if (block == nullptr) {
      RaiseError(kErrorOutOfMemory, "string allocation");
      return false;
    }
    char* fresh = counted_block::Start(block, length);
    short_bytes::CopyRun(fresh, bytes, length);
    FreeBlockOf(data_);
    data_ = fresh;
    return true;
  }

  void Clear() noexcept {
    FreeBlockOf(data_);
    data_ = nullptr;
  }

  // Same length and the same bytes, in the pieces short texts are written in.
  bool Holds(const char* bytes, uint32_t length) const noexcept {
    if (length != Length()) return false;
    return short_bytes::SameRun(data_, bytes, length);
  }

  // The same for a caller's bytes given as a view, which may be longer than
  // any stored text. Short texts compare in two overlapping pieces
  // (short_bytes::SameOverlapping): the stored side was written when the
  // key was stored, not just before the lookup.
  bool Holds(std::string_view bytes) const noexcept {
    if (bytes.size() != Length()) return false;
    const uint32_t length = static_cast<uint32_t>(bytes.size());
    if (length > short_bytes::kLongest) return std::memcmp(data_, bytes.data(), length) == 0;
    return short_bytes::SameOverlapping(data_, bytes.data(), length);
  }

  static constexpr std::size_t BlockBytes(uint32_t length) noexcept {
    return sizeof(uint32_t) + std::size_t{length};
  }

 private:
  static void FreeBlockOf(char* data) noexcept {
    if (data == nullptr) return;
    FreeSmallBlock(counted_block::BlockOf(data), BlockBytes(counted_block::LengthOf(data)));
  }

  char* data_ = nullptr;
};

}  // namespace hb
