#include "console/stream_console.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "console/program_message.h"
#include "console/raw_input.h"
#include "console/utf8.h"

namespace hb {
namespace {

// One byte, or nothing at the end of input or on a read error.
bool ReadByte(int fd, unsigned char& byte) {
  for (;;) {
    const ssize_t got = read(fd, &byte, 1);
    if (got == 1) return true;
    if (got < 0 && errno == EINTR) continue;
    return false;
  }
}

// 0 when all of `bytes` went out, else the system's error number.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return errno;
    if (put == 0) return EIO;  // a device that takes nothing will not take the rest either
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return 0;
}

}  // namespace

StreamConsole::StreamConsole(int32_t columns, int32_t rows)
    : grid_(columns, rows), lineByLine_(isatty(STDOUT_FILENO) == 1) {
  pending_.reserve(kBlockSize);
}

void StreamConsole::Print(std::u16string_view text) { grid_.Print(text, *this); }

void StreamConsole::NewLine() { grid_.NewLine(*this); }

void StreamConsole::Written(int32_t, int32_t, std::u16string_view text) {
  AppendUtf8(text, pending_);
  if (pending_.size() >= kBlockSize) Flush();
}

void StreamConsole::LineEnded(bool) {
  pending_ += '\n';
  if (lineByLine_ || pending_.size() >= kBlockSize) Flush();
}

void StreamConsole::Flush() {
  if (!ended_) {
    if (const int error = WriteAll(STDOUT_FILENO, pending_); error != 0) OutputEnded(error);
  }
  pending_.clear();
}

void StreamConsole::OutputEnded(int error) {
  ended_ = true;
  if (error == EPIPE) return;  // the reader went away: no news
  failed_ = true;
  SayOnStandardError(std::string("cannot write to standard output: ") + std::strerror(error));
}

std::u16string StreamConsole::WaitKey() {
  Flush();
  RawInput raw(STDIN_FILENO);
  unsigned char lead = 0;
  if (!ReadByte(STDIN_FILENO, lead)) return std::u16string();
  std::string bytes(1, static_cast<char>(lead));
  const int length = Utf8SequenceLength(lead);
  unsigned char next = 0;
  while (static_cast<int>(bytes.size()) < length && ReadByte(STDIN_FILENO, next)) {
    bytes += static_cast<char>(next);
  }
  // The key slot holds one 16-bit character: a pair keeps its first half.
  return FromUtf8(bytes).substr(0, 1);
}

}  // namespace hb
