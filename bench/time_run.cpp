// time_run: runs one command and prints its wall time and its processor time
// (user and system) in microseconds, its peak resident memory in kilobytes and
// its count of minor page faults, "<wall_us> <cpu_us> <maxrss_kb> <faults>", for
// the benchmark
// script (scripts/benchmark.sh). The command's standard output and standard
// error go to /dev/null, as console text is not part of what is measured.
//
//   time_run [-C DIR] COMMAND [ARGS...]
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
  int first = 1;
  const char* dir = nullptr;
  if (argc > 2 && std::strcmp(argv[1], "-C") == 0) {
    dir = argv[2];
    first = 3;
  }
  if (first >= argc) {
    std::fprintf(stderr, "usage: time_run [-C DIR] COMMAND [ARGS...]\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child < 0) {
    std::perror("time_run: fork");
    return 2;
  }
  if (child == 0) {
    if (dir != nullptr && ::chdir(dir) != 0) ::_exit(126);
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::execvp(argv[first], argv + first);
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  if (::wait4(child, &status, 0, &usage) != child) {
    std::perror("time_run: wait4");
    return 2;
  }
  const auto wall = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "time_run: %s failed (status %d)\n", argv[first], status);
    return 1;
  }
  const long long cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL +
                        usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
  std::printf("%lld %lld %ld %ld\n", static_cast<long long>(wall.count()), cpu, usage.ru_maxrss,
              usage.ru_minflt);
  return 0;
}
