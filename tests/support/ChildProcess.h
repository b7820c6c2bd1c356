#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>

namespace kestrel::test {

// A forked child that reports progress through a pipe and waits for "go".
class ChildProcess {
 public:
  explicit ChildProcess(const std::function<int(ChildProcess&)>& body) {
    int up[2];
    int down[2];
    if (::pipe(up) != 0 || ::pipe(down) != 0) throw std::runtime_error("pipe");
    m_pid = ::fork();
    if (m_pid == 0) {
      ::close(up[0]);
      ::close(down[1]);
      m_write = up[1];
      m_read = down[0];
      int status = 90;
      try {
        status = body(*this);
      } catch (...) {
        status = 91;
      }
      ::_exit(status);
    }
    ::close(up[1]);
    ::close(down[0]);
    m_read = up[0];
    m_write = down[1];
  }
  ~ChildProcess() {
    if (m_pid > 0) wait();
    ::close(m_read);
    ::close(m_write);
  }
  void send(char c) { (void)!::write(m_write, &c, 1); }
  char receive() {
    char c = 0;
    return ::read(m_read, &c, 1) == 1 ? c : '\0';
  }
  int wait() {
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t m_pid = -1;
  int m_read = -1;
  int m_write = -1;
};

}  // namespace kestrel::test
