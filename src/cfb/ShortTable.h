#pragma once
// A table of n entries read from a document and used in place. The tables
// of ordinary documents are short: they live on the stack, a longer one on
// the heap, so that reading a document costs no allocation for them. Every
// entry starts zeroed, so a read that falls short leaves no garbage.
#include <cstddef>
#include <vector>

namespace tbx {

template <class Entry, size_t kOnStack>
class ShortTable {
 public:
  explicit ShortTable(size_t count) : count_(count) {
    if (count > kOnStack) heap_.resize(count);
  }
  ShortTable(const ShortTable&) = delete;
  ShortTable& operator=(const ShortTable&) = delete;

  Entry* begin() { return count_ > kOnStack ? heap_.data() : stack_; }
  Entry* end() { return begin() + count_; }

 private:
  size_t count_;
  Entry stack_[kOnStack] = {};
  std::vector<Entry> heap_;
};

}  // namespace tbx
