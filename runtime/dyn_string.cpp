#include "runtime/dyn_string.h"

#include <cstdint>
#include <limits>
#include <ostream>

#include "runtime/alloc.h"
#include "runtime/errors.h"

namespace hb {
namespace {

// The longest text the length field and the block size can count.
constexpr std::size_t kLongestText = std::numeric_limits<uint32_t>::max() - sizeof(uint32_t) - 1;

}  // namespace

uint32_t DynString::Checked(std::size_t size) noexcept {
  // A text longer than the length field can count cannot be stored.
  return size > kLongestText ? std::numeric_limits<uint32_t>::max() : static_cast<uint32_t>(size);
}

char* DynString::AllocateBuffer(uint32_t length) noexcept {
  void* block =
      length > kLongestText ? nullptr : AllocateSmallBlock(BlockBytes(length));
  if (block == nullptr) {
    RaiseError(kErrorOutOfMemory, "string allocation");
    return nullptr;
  }
  char* data = counted_block::Start(block, length);
  data[length] = '\0';
  return data;
}

void DynString::CopyFrom(const char* bytes, uint32_t length) noexcept {
  data_ = nullptr;
  if (length == 0 || bytes == nullptr) return;
  data_ = AllocateBuffer(length);
  if (data_ != nullptr) short_bytes::CopyRun(data_, bytes, length);
}

DynString DynString::WithLength(uint32_t length) noexcept {
  DynString result;
  if (length != 0) result.data_ = AllocateBuffer(length);
  return result;
}

void DynString::Assign(const char* bytes, uint32_t length) noexcept {
  if (length == 0 || bytes == nullptr) {
    Clear();
    return;
  }
  if (length == Length()) {
    // Same length: the buffer is reused. Bytes that overlap it (its own
    // start, in practice) are moved as memmove would.
    const auto from = reinterpret_cast<std::uintptr_t>(bytes);
    const auto to = reinterpret_cast<std::uintptr_t>(data_);
    const bool overlaps = from < to + length && to < from + length;
    if (overlaps) {
      std::memmove(data_, bytes, length);
    } else {
      short_bytes::CopyRun(data_, bytes, length);
    }
    return;
  }
  char* fresh = AllocateBuffer(length);
  if (fresh != nullptr) short_bytes::CopyRun(fresh, bytes, length);
  FreeBuffer(data_);
  data_ = fresh;
}

int Compare(const DynString& a, const DynString& b) noexcept {
  const uint32_t la = a.Length();
  const uint32_t lb = b.Length();
  const uint32_t shorter = la < lb ? la : lb;
  if (shorter != 0) {
    const int bytes = std::memcmp(a.Data(), b.Data(), shorter);
    if (bytes != 0) return bytes;
  }
  return la < lb ? -1 : (la > lb ? 1 : 0);
}

std::ostream& operator<<(std::ostream& out, const DynString& text) {
  if (!text.Empty()) out.write(text.Data(), static_cast<std::streamsize>(text.Length()));
  return out;
}

}  // namespace hb
