// Lines for the mutation script's generator: each operator where it applies, and what it must leave alone.
#include <windows.h>
#define SQUARE(x) \
  ((x) + (x) < 10)
/* A block comment: a < b && c + 1
   over two lines: true */
template <typename T>
int Limited(const std::vector<int>& values, int64_t offset, T* item) {
  int total = values.size() > 2 ? values[0] + values[1] : -1;  // a comment: a < b + 1
  if (total <= 0x1F && !item->empty() || total != 1.5) total += 10u;
  Record(total << 1, total >> 2, "a < b + 1", '<');
  bool done = total >= 3 == true;
  std::vector<int> copy(values.begin(), values.end());
  if (done)
    Record(0);
  Record(std::min(total, 4),
         std::max(total, 5));
  ++total;
  Notify(total - -offset);
  item->Reset(!done);
  return Compute(total);
}
