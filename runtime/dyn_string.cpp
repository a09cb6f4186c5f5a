#include "runtime/dyn_string.h"

#include <cstdint>
#include <limits>
#include <ostream>

#include "runtime/alloc.h"
#include "runtime/errors.h"

namespace hb {
namespace {

// Short texts in the same pieces as every other copy and comparison of them
// (short_bytes.h).
void CopyBytes(char* to, const char* from, uint32_t length) noexcept {
  if (length <= short_bytes::kLongest) {
    short_bytes::Copy(to, from, length);
  } else {
    std::memcpy(to, from, length);
  }
}

}  // namespace

uint32_t DynString::Checked(std::size_t size) noexcept {
  // A text longer than the length field can count cannot be stored.
  constexpr std::size_t kMax = std::numeric_limits<uint32_t>::max() - sizeof(uint32_t) - 1;
  return size > kMax ? std::numeric_limits<uint32_t>::max() : static_cast<uint32_t>(size);
}

char* DynString::AllocateBuffer(uint32_t length) noexcept {
  constexpr std::size_t kMax = std::numeric_limits<uint32_t>::max() - sizeof(uint32_t) - 1;
  void* block =
      length > kMax ? nullptr : AllocateSmallBlock(BlockBytes(length));
  if (block == nullptr) {
    RaiseError(kErrorOutOfMemory, "string allocation");
    return nullptr;
  }
  char* data = static_cast<char*>(block) + sizeof(uint32_t);
  std::memcpy(block, &length, sizeof length);
  data[length] = '\0';
  return data;
}

void DynString::CopyFrom(const char* bytes, uint32_t length) noexcept {
  data_ = nullptr;
  if (length == 0 || bytes == nullptr) return;
  data_ = AllocateBuffer(length);
  if (data_ != nullptr) CopyBytes(data_, bytes, length);
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
      CopyBytes(data_, bytes, length);
    }
    return;
  }
  char* fresh = AllocateBuffer(length);
  if (fresh != nullptr) CopyBytes(fresh, bytes, length);
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
