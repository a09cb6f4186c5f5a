// DynString: a counted byte string that owns its buffer.
//
// Layout of a buffer:  [uint32 length][length bytes][0]
//                                      ^ the handle points here
// The empty string is the null handle: every operation that would produce
// length 0 produces null, and null reads as length 0 with no bytes. The length
// is authoritative: zero bytes inside the text are data. The trailing zero is
// not counted; it only makes the bytes usable as a C string when they hold no
// zero of their own.
//
// Every variable owns its own buffer: copying copies the bytes (reusing the
// destination's buffer when the lengths are equal), moving hands the buffer
// over without copying. When memory runs out the result is the empty string
// and runtime error 7 is recorded (see errors.h).
#pragma once

#include <compare>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "runtime/alloc.h"
#include "runtime/counted_block.h"
#include "runtime/short_bytes.h"

namespace hb {

class DynString {
 public:
  DynString() noexcept = default;
  DynString(const char* bytes, uint32_t length) noexcept {
    if (!CopySmall(bytes, length)) CopyFrom(bytes, length);
  }
  DynString(std::string_view text) noexcept { CopyFrom(text.data(), Checked(text.size())); }
  DynString(const char* text) noexcept
      : DynString(std::string_view(text == nullptr ? "" : text)) {}
  // A copy of the bytes of `text`, zero bytes included.
  explicit DynString(const std::string& text) noexcept : DynString(std::string_view(text)) {}

  DynString(const DynString& other) noexcept {
    if (!CopySmall(other.data_, other.Length())) CopyFrom(other.data_, other.Length());
  }
  DynString(DynString&& other) noexcept : data_(other.data_) { other.data_ = nullptr; }
  ~DynString() { FreeBuffer(data_); }

  // Copies; reuses this string's buffer when the lengths are equal.
  DynString& operator=(const DynString& other) noexcept {
    if (this != &other) Assign(other.data_, other.Length());
    return *this;
  }
  // Takes the other string's buffer; the other string becomes empty.
  DynString& operator=(DynString&& other) noexcept {
    if (this != &other) {
      FreeBuffer(data_);
      data_ = other.data_;
      other.data_ = nullptr;
    }
    return *this;
  }

  // A string of `length` bytes whose contents the caller fills in through
  // MutableData(). Empty (and error 7 recorded) when memory is exhausted.
  static DynString WithLength(uint32_t length) noexcept;

  // Replaces the contents with a copy of `length` bytes at `bytes`; reuses the
  // buffer when the length is unchanged. `bytes` may point into this string.
  // Null `bytes` reads as the empty text, whatever `length` says.
  void Assign(const char* bytes, uint32_t length) noexcept;

  // Frees the buffer; the string becomes empty (null).
  void Clear() noexcept {
    FreeBuffer(data_);
    data_ = nullptr;
  }

  uint32_t Length() const noexcept {
    if (data_ == nullptr) return 0;
    return counted_block::LengthOf(data_);
  }
  bool Empty() const noexcept { return data_ == nullptr; }
  // Address of the first byte; null for the empty string.
  const char* Data() const noexcept { return data_; }
  char* MutableData() noexcept { return data_; }
  // The bytes in place, valid while this string lives unchanged. Not offered
  // on a temporary, whose bytes go away at the end of the statement: copy a
  // returned string into a variable first (or into a std::string).
  std::string_view View() const& noexcept {
    return data_ == nullptr ? std::string_view() : std::string_view(data_, Length());
  }
  std::string_view View() const&& = delete;

  // A std::string holding a copy of the bytes.
  explicit operator std::string() const { return std::string(data_ == nullptr ? "" : data_, Length()); }

  // Bytes of the block behind a buffer of `length` text bytes.
  static constexpr std::size_t BlockBytes(uint32_t length) noexcept {
    return sizeof(uint32_t) + std::size_t{length} + 1;
  }

 private:
  // The copy of a text of 1 to kSmallText bytes from a small block taken
  // inline; false, with nothing done, for other lengths and when the inline
  // path has no block at hand (CopyFrom then does the whole work).
  static constexpr uint32_t kSmallText = short_bytes::kLongest;
  bool CopySmall(const char* bytes, uint32_t length) noexcept {
    if (length - 1 >= kSmallText || bytes == nullptr) return false;
    void* block = alloc_detail::TakeReadySmallBlock(BlockBytes(length));
    if (block == nullptr) return false;
    char* data = counted_block::Start(block, length);
    short_bytes::Copy(data, bytes, length);
    data[length] = '\0';
    data_ = data;
    return true;
  }
  static uint32_t Checked(std::size_t size) noexcept;
  static char* AllocateBuffer(uint32_t length) noexcept;
  static void FreeBuffer(char* data) noexcept {
    if (data == nullptr) return;
    FreeSmallBlock(counted_block::BlockOf(data), BlockBytes(counted_block::LengthOf(data)));
  }
  void CopyFrom(const char* bytes, uint32_t length) noexcept;

  char* data_ = nullptr;
};

// Equal length and equal bytes; case-sensitive, no locale. Null equals "".
// Up to 32 bytes are compared inline, without a call.
inline bool Equal(const DynString& a, const DynString& b) noexcept {
  const uint32_t length = a.Length();
  if (length != b.Length()) return false;
  return short_bytes::SameRun(a.Data(), b.Data(), length);
}
inline bool operator==(const DynString& a, const DynString& b) noexcept { return Equal(a, b); }

// Byte-wise comparison as unsigned values over the shorter length; when that
// prefix is equal the shorter string is the smaller. Returns <0, 0 or >0.
int Compare(const DynString& a, const DynString& b) noexcept;

// The order of Compare, so that strings sort and key ordered containers.
inline std::strong_ordering operator<=>(const DynString& a, const DynString& b) noexcept {
  return Compare(a, b) <=> 0;
}

// Writes the bytes, zero bytes included, without any formatting.
std::ostream& operator<<(std::ostream& out, const DynString& text);

}  // namespace hb

// Hashes the bytes as std::string_view does, so that equal strings hash equally.
template <>
struct std::hash<hb::DynString> {
  std::size_t operator()(const hb::DynString& text) const noexcept {
    return std::hash<std::string_view>{}(text.View());
  }
};
