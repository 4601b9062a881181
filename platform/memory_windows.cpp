#include "platform/memory.h"

#include <cstdlib>

// Large tables come from the ordinary heap on Windows: large pages there need a
// privilege that a player's account does not hold.
void* AllocateTable(std::size_t bytes) {
  void* table = std::malloc(bytes == 0 ? 1 : bytes);
  if (table == nullptr) throw std::bad_alloc();
  return table;
}

void FreeTable(void* table, std::size_t) noexcept { std::free(table); }
