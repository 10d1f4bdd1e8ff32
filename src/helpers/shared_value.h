// A value that the user-interface thread and the multimedia timer thread both touch.
#pragma once
#include <atomic>
#include <cstdint>

// Where one thread writes a given field at a time, read-modify-write needs no locked instruction: a load and a
// store suffice (where both may write at once, the one that must not lose the other's write uses the atomic's
// exchange or compare-exchange). Stores release and loads acquire, which lets one write publish the writes
// before it (a lap's text before its count). On x86 both are plain moves, as cheap as the unshared field they
// replace.
template <typename T>
struct Shared {
  std::atomic<T> value;

  constexpr Shared(T initial = T()) noexcept : value(initial) {}
  Shared(const Shared& other) noexcept : value(other.get()) {}
  Shared& operator=(const Shared& other) noexcept { set(other.get()); return *this; }
  Shared& operator=(T v) noexcept { set(v); return *this; }

  T get() const noexcept { return value.load(std::memory_order_acquire); }
  void set(T v) noexcept { value.store(v, std::memory_order_release); }
  operator T() const noexcept { return get(); }

  Shared& operator+=(T delta) noexcept { set(get() + delta); return *this; }
  Shared& operator-=(T delta) noexcept { set(get() - delta); return *this; }
};

// A sequence count around the updates of a group of Shared fields (a seqlock), so that a reader on another thread
// gets the group as it stood at one moment. One thread updates at a time and brackets its stores with BeginUpdate
// and EndUpdate, never waiting for another thread in between; the count is odd meanwhile. A reader copies the group
// and keeps the copy when the count was even before it and unchanged after it: a copy that saw a store of a later
// update would see that update's odd count too, since the fields' release stores and acquire loads order them.
using UpdateSequence = Shared<uint32_t>;
inline void BeginUpdate(UpdateSequence& sequence) { sequence += 1; }
inline void EndUpdate(UpdateSequence& sequence) { sequence += 1; }
template <class Copy>
void ReadWhole(const UpdateSequence& sequence, Copy copy) {
  for (;;) {
    const uint32_t before = sequence;
    if (before % 2 != 0) continue;
    copy();
    if (sequence == before) return;
  }
}
