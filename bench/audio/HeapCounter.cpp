// Counts every operator new and delete of the benchmark program, so decoding
// can report its peak memory.

#include "bench/audio/HeapCounter.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<size_t> g_inUse { 0 };
std::atomic<size_t> g_peak { 0 };

void* Allocate(size_t size) noexcept
{
    void* block = std::malloc(size ? size : 1);
    if (!block)
        return nullptr;
    size_t now = g_inUse += malloc_usable_size(block);
    size_t peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) { }
    return block;
}

void Free(void* block) noexcept
{
    if (!block)
        return;
    g_inUse -= malloc_usable_size(block);
    std::free(block);
}

}

namespace lumarra::bench {

size_t HeapInUse()
{
    return g_inUse.load();
}

size_t HeapPeak()
{
    return g_peak.load();
}

void ResetHeapPeak()
{
    g_peak = g_inUse.load();
}

}

void* operator new(size_t size)
{
    if (void* block = Allocate(size))
        return block;
    throw std::bad_alloc();
}

void* operator new[](size_t size)
{
    return operator new(size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void operator delete(void* block) noexcept
{
    Free(block);
}

void operator delete[](void* block) noexcept
{
    Free(block);
}

void operator delete(void* block, size_t) noexcept
{
    Free(block);
}

void operator delete[](void* block, size_t) noexcept
{
    Free(block);
}
