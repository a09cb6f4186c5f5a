// The fault library: loaded into a program under test with LD_PRELOAD, it
// stands in front of the system's services and fails the one that
// HB_INJECT_FAULT names (see fault_injection.h); every other call goes
// through to the system.
#include <dlfcn.h>
#include <pthread.h>
#include <sys/eventfd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "tests/support/fault_injection.h"

namespace {

bool Injected(const char* fault) {
  const char* chosen = std::getenv("HB_INJECT_FAULT");
  return chosen != nullptr && std::strcmp(chosen, fault) == 0;
}

template <typename Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*), void* argument) {
  if (Injected(hb::test::kNoThreadFault)) return EAGAIN;
  using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
  static const Create next = Next<Create>("pthread_create");
  return next(thread, attributes, start, argument);
}

int eventfd(unsigned int initial, int flags) {
  if (Injected(hb::test::kNoEventFdFault)) {
    errno = EMFILE;
    return -1;
  }
  using Make = int (*)(unsigned int, int);
  static const Make next = Next<Make>("eventfd");
  return next(initial, flags);
}

}  // extern "C"
