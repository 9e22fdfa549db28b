#pragma once
// The processor's own SHA-256 instructions, where it has them: several times the speed of
// the portable rounds, which matters when a part of a few hundred megabytes is checked.
#include <cstddef>
#include <cstdint>

// Whether this processor can run Sha256ProcessorBlocks.
bool Sha256ProcessorBlocksAvailable();
// Runs Count 64-byte blocks from Data through State; only when the above says so.
void Sha256ProcessorBlocks(uint32_t State[8], const uint8_t* Data, size_t Count);
