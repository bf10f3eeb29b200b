#pragma once

#include <cstddef>
#include <cstdint>

// Fixed, zero-filled memory blocks handed to the mixer functions, with the flags and results of
// the calls that use them.
using HGLOBAL = void*;
constexpr unsigned GMEM_FIXED = 0x0000;
constexpr unsigned GMEM_ZEROINIT = 0x0040;

// A zero-filled block of `bytes` (the flags are accepted for form: every block is fixed and
// zeroed); nullptr when none could be had.
HGLOBAL GlobalAlloc(unsigned flags, std::size_t bytes);
// The block's address; fixed blocks never move, so no unlock is needed.
void* GlobalLock(HGLOBAL block);
// Frees the block; returns nullptr, as on success.
HGLOBAL GlobalFree(HGLOBAL block);
void RtlMoveMemory(void* destination, const void* source, std::size_t bytes);
