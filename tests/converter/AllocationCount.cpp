#include "AllocationCount.h"

#include <cstdlib>
#include <new>

namespace pagemint::test {

namespace {
thread_local std::size_t *counted = nullptr;

void *allocate(std::size_t size)
{
    if (counted)
        *counted += size;
    return std::malloc(size == 0 ? 1 : size);
}

void *allocateOrThrow(std::size_t size)
{
    if (void *p = allocate(size))
        return p;
    throw std::bad_alloc();
}
} // namespace

AllocationCount::AllocationCount() : outer_(counted)
{
    counted = &bytes_;
}

AllocationCount::~AllocationCount()
{
    counted = outer_;
}

} // namespace pagemint::test

// Every plain form is replaced, so that what one allocates another frees (the sanitizer's own
// operators would report a mismatch).
void *operator new(std::size_t size)
{
    return pagemint::test::allocateOrThrow(size);
}
void *operator new[](std::size_t size)
{
    return pagemint::test::allocateOrThrow(size);
}
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    return pagemint::test::allocate(size);
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    return pagemint::test::allocate(size);
}
void operator delete(void *p) noexcept
{
    std::free(p);
}
void operator delete[](void *p) noexcept
{
    std::free(p);
}
void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void *p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void *p, const std::nothrow_t &) noexcept
{
    std::free(p);
}
void operator delete[](void *p, const std::nothrow_t &) noexcept
{
    std::free(p);
}
