#include "platform/GlobalMemory.h"

#include <cstdlib>
#include <cstring>

HGLOBAL GlobalAlloc(unsigned, std::size_t bytes)
{
    return std::calloc(bytes ? bytes : 1, 1);
}

void* GlobalLock(HGLOBAL block)
{
    return block;
}

HGLOBAL GlobalFree(HGLOBAL block)
{
    std::free(block);
    return nullptr;
}

void RtlMoveMemory(void* destination, const void* source, std::size_t bytes)
{
    if (bytes)
        std::memmove(destination, source, bytes);
}
