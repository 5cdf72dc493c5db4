// Keeps the calling thread on one processor while it lives and gives the
// thread its previous affinity back at the end. Time-stamp counters of
// different processors need not agree, so both ends of a measured interval
// must be read on the same one.
#pragma once

#include <cstdint>

// The one-bit affinity mask of the processor the calling thread runs on;
// the lowest processor the process may use where the system cannot tell;
// 0 when neither is known.
std::uintptr_t CurrentProcessorMask();

class ProcessorPin {
public:
    // A zero mask, or one the system refuses, pins nothing.
    explicit ProcessorPin(std::uintptr_t processorMask);
    ~ProcessorPin();

    ProcessorPin(const ProcessorPin&) = delete;
    ProcessorPin& operator=(const ProcessorPin&) = delete;

    bool Pinned() const { return previousMask_ != 0; }

private:
    std::uintptr_t previousMask_ = 0;
};
