#pragma once
// What decoding one file may cost. Files the user merely points at (previews,
// thumbnails, scans) are decoded too, so a few hostile bytes must not buy
// gigabytes or minutes: every decoder checks what it is about to hold against
// DecoderMemoryLimit, and its work against what the input can justify.

#include <cstdint>

// Bytes one decode may hold (picture and the decoder's own buffers): half of
// the memory available now, never more than 4 GiB.
std::uint64_t DecoderMemoryLimit();

// Throws KelvastoError when `bytes` exceed `limit` (DecoderMemoryLimit when 0).
// `what` names the file kind in the message.
void CheckDecodeMemory(std::uint64_t bytes, std::uint64_t limit, const char* what);
