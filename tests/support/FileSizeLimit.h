#pragma once

#include <sys/resource.h>

#include <csignal>

// A nearly full disk, without mounting one: the kernel refuses to let any
// file of this process grow past the limit, and the write that would do so
// fails (EFBIG) as it fails on a full disk. SIGXFSZ, which would otherwise
// kill the process first, is ignored; both are inherited by a child started
// afterwards.
inline void limitFileSizes(rlim_t bytes) {
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = bytes;
  setrlimit(RLIMIT_FSIZE, &limit);
}

// The limit for one scope of a test, lifted again at its end.
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &m_saved);
    limitFileSizes(bytes);
  }
  ~ScopedFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, SIG_DFL);
  }
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

 private:
  rlimit m_saved{};
};
