#pragma once
// Counts the bytes operator new hands out on this thread while an AllocationCount lives, so a
// test can bound what a call allocates, deterministically. The replaced operators
// (AllocationCount.cpp) serve the whole test program and count nothing otherwise.
#include <cstddef>

namespace pagemint::test {

class AllocationCount {
public:
    AllocationCount();
    ~AllocationCount();
    AllocationCount(const AllocationCount &) = delete;
    AllocationCount &operator=(const AllocationCount &) = delete;

    // Every byte asked for since this count began, freed or not: a bound on the peak.
    std::size_t bytes() const { return bytes_; }

private:
    std::size_t bytes_ = 0;
    std::size_t *outer_ = nullptr;
};

} // namespace pagemint::test
