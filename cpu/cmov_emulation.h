// CMOVcc for processors that lack it. The prebuilt C++ runtime is compiled
// for the Pentium Pro and carries a few conditional moves, some on the way
// from start-up to the results window; on a Pentium, 486, K5, K6 or Cyrix
// part each one raises an illegal-instruction fault. This decodes the faulting
// instruction and carries it out on the saved registers, so the program goes
// on exactly as a newer processor would have run it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

// The general registers in their encoding order (EAX, ECX, EDX, EBX, ESP,
// EBP, ESI, EDI), the flags and the instruction pointer.
struct CmovRegisters {
    std::uint32_t general[8] = {};
    std::uint32_t eflags = 0;
    std::uint32_t eip = 0;
};

// Reads four bytes of data at an address; empty when they cannot be read.
using DataReader = std::function<std::optional<std::uint32_t>(std::uint32_t address)>;

// When `code` (the bytes at EIP, `available` of them readable) holds a 32-bit
// CMOVcc, carries it out on `registers`, EIP included, and returns true.
// Anything else, including forms the program's code never holds (16-bit
// operands, 16-bit addresses, FS or GS), is left alone and returns false.
bool EmulateCmov(const std::uint8_t* code, std::size_t available, CmovRegisters& registers,
                 const DataReader& read);

// Whether condition `cc` (the low nibble of the opcode) holds for `eflags`.
bool ConditionHolds(unsigned cc, std::uint32_t eflags);
