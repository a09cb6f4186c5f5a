#include "console/console_thread.h"

#include <sched.h>
#include <time.h>

#include <cerrno>
#include <utility>

namespace hb {

ConsoleThread::~ConsoleThread() {
  if (started_) pthread_detach(thread_);
}

int ConsoleThread::Start(std::function<void()> body, std::size_t stackBytes) {
  if (started_) return EBUSY;
  body_ = std::move(body);
  pthread_attr_t attributes;
  int error = pthread_attr_init(&attributes);
  if (error != 0) return error;
  error = pthread_attr_setstacksize(&attributes, stackBytes);
  if (error == 0) error = pthread_create(&thread_, &attributes, Trampoline, this);
  pthread_attr_destroy(&attributes);
  started_ = error == 0;
  return error;
}

void* ConsoleThread::Trampoline(void* self) {
  static_cast<ConsoleThread*>(self)->body_();
  return nullptr;
}

bool ConsoleThread::CanRunBesideCaller() const {
  if (!started_) return false;
  cpu_set_t caller;
  cpu_set_t console;
  if (pthread_getaffinity_np(pthread_self(), sizeof caller, &caller) != 0 ||
      pthread_getaffinity_np(thread_, sizeof console, &console) != 0) {
    return false;
  }
  cpu_set_t either;
  CPU_OR(&either, &caller, &console);
  return CPU_COUNT(&either) >= 2;
}

bool ConsoleThread::JoinWithin(std::chrono::milliseconds bound) {
  if (!started_) return true;
  timespec deadline{};
  clock_gettime(CLOCK_REALTIME, &deadline);
  const long long nanoseconds = deadline.tv_nsec + (bound.count() % 1000) * 1'000'000LL;
  deadline.tv_sec += static_cast<time_t>(bound.count() / 1000 + nanoseconds / 1'000'000'000LL);
  deadline.tv_nsec = static_cast<long>(nanoseconds % 1'000'000'000LL);
  int error = 0;
  while ((error = pthread_timedjoin_np(thread_, nullptr, &deadline)) == EINTR) {
  }
  if (error == ETIMEDOUT) return false;
  started_ = false;
  return true;
}

}  // namespace hb
