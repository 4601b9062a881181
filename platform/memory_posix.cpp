#include "platform/memory.h"

#include <cstdlib>
#include <sys/mman.h>

namespace {

// Below this a table comes from the ordinary heap.
constexpr std::size_t kLargeTable = std::size_t{1} << 20;
constexpr std::size_t kLargePage = std::size_t{2} << 20;

std::size_t MappedBytes(std::size_t bytes) {
  return (bytes + kLargePage - 1) / kLargePage * kLargePage;
}

}  // namespace

void* AllocateTable(std::size_t bytes) {
  if (bytes < kLargeTable) {
    void* table = std::malloc(bytes == 0 ? 1 : bytes);
    if (table == nullptr) throw std::bad_alloc();
    return table;
  }
  const std::size_t mapped = MappedBytes(bytes);
  void* table = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (table == MAP_FAILED) throw std::bad_alloc();
  // Advice only: where large pages are not offered, the table is ordinary memory.
  ::madvise(table, mapped, MADV_HUGEPAGE);
  return table;
}

void FreeTable(void* table, std::size_t bytes) noexcept {
  if (table == nullptr) return;
  if (bytes < kLargeTable) {
    std::free(table);
    return;
  }
  ::munmap(table, MappedBytes(bytes));
}
