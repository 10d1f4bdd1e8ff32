// A value that the user-interface thread and the multimedia timer thread both touch.
#pragma once
#include <atomic>

// One thread writes a given field at a time, so read-modify-write needs no locked instruction: a load and a
// store suffice. Stores release and loads acquire, which lets one write publish the writes before it (a lap's
// text before its count). On x86 both are plain moves, as cheap as the unshared field they replace.
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
