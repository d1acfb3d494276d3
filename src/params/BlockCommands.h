#pragma once
// Which block bytes each write command sets. The controller keeps a command's
// value bytes as they arrive, so the bytes a write sends say what the block
// holds afterwards, and a block's own bytes, sent back with the same commands,
// restore it. One table serves both directions.
#include "link/Controller.h"
#include "params/ParameterSet.h"

#include <cstdint>
#include <vector>

namespace params {

struct BlockCommand {
    std::uint8_t code;
    std::vector<int> offsets; // the block byte each value byte lands in, in the order they are sent
};

// The commands that write block bytes, in the order of the full write (0x0B
// once), then the ignition write 0x1F (bytes 32-33). Derived from the
// parameter table.
const std::vector<BlockCommand>& blockCommands();
// nullptr for a byte that is no command writing the block.
const BlockCommand* blockCommand(std::uint8_t code);

// The ignition write restores bytes 32-33 only for the values the program
// itself writes there (0-5); any other value is kept as not restorable.
bool ignitionRestorable(const ParameterBlock& b);
// Block offsets no command can bring back for this block, ascending.
std::vector<int> unrestorableOffsets(const ParameterBlock& b);

// The commands of a byte-exact restore: each with the block's own bytes at its
// offsets; the ignition write only when ignitionRestorable().
std::vector<std::vector<std::uint8_t>> restoreCommands(const ParameterBlock& b);

// Puts the value bytes of commands as they went out (a byte stream as sent:
// 0xAA prefixes, 0x0A closings, the analog threshold 0xAA 0x23 v and the
// fixed lambda pair 0x1A, which live outside the block, are taken and passed
// over) into the block. False when the stream holds a byte that is no write
// command or ends inside one: the block is then uncertain.
bool applySentBytes(ParameterBlock& b, const std::vector<std::uint8_t>& bytes);

// The parameters whose block bytes a command sets (0x0B: every flag bit).
std::vector<ParamId> parametersOfCommand(std::uint8_t code);

// Offsets where two blocks differ, ascending.
std::vector<int> differingOffsets(const ParameterBlock& a, const ParameterBlock& b);

} // namespace params
