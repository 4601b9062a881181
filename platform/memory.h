// Memory for the few large tables of a run. The operating system hands out fresh
// memory a page at a time, and on the first touch of each page the run waits for
// it; a table of megabytes is asked for in large pages where the system offers
// them, so that it arrives in a few steps instead of a thousand.
#pragma once

#include <cstddef>
#include <new>

// At least `bytes` bytes, aligned for any type. Throws std::bad_alloc.
void* AllocateTable(std::size_t bytes);
// Gives back what AllocateTable returned for `bytes`.
void FreeTable(void* table, std::size_t bytes) noexcept;

// An allocator for standard containers that holds one large table.
template <typename T>
struct TableAllocator {
  using value_type = T;
  TableAllocator() = default;
  template <typename U>
  TableAllocator(const TableAllocator<U>&) noexcept {}
  T* allocate(std::size_t count) { return static_cast<T*>(AllocateTable(count * sizeof(T))); }
  void deallocate(T* table, std::size_t count) noexcept { FreeTable(table, count * sizeof(T)); }
  friend bool operator==(const TableAllocator&, const TableAllocator&) { return true; }
};
