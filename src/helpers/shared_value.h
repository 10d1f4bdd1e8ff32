// A value that the user-interface thread and the multimedia timer thread both touch.
#pragma once
#include <atomic>

// A whole value is stored and loaded in one step; there is no read-modify-write, since a load and a store in a row
// would lose another thread's store between them. A field that two threads may write changes through the atomic's
// own exchange or compare-exchange. Stores release and loads acquire, which lets one write publish the writes
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
};
