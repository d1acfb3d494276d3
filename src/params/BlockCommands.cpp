#include "params/BlockCommands.h"

#include "params/Encoding.h"
#include "params/ParamTable.h"
#include "params/WriteSequence.h"

#include <algorithm>

namespace params {

namespace {

constexpr std::uint8_t Prefix = 0xAA;
constexpr std::uint8_t Closing = 0x0A;
constexpr std::uint8_t ThresholdWrite = 0x23; // after the prefix: one value byte, not in the block
constexpr std::uint8_t IgnitionWrite = 0x1F;
constexpr int IgnitionByte = 32;
constexpr int MaxIgnitionValue = 5;

std::vector<BlockCommand> buildCommands() {
    // The order of the full write: its plan for any set names every command.
    std::vector<BlockCommand> out;
    for (const WriteStep& s : planParameterWrite(defaultParameterSet(), 4800, std::uint8_t{0}, 5)) {
        if (!s.command.sends()) continue;
        const std::uint8_t code = s.command.bytes[0];
        if (std::any_of(out.begin(), out.end(), [code](const BlockCommand& c) { return c.code == code; }))
            continue;
        BlockCommand c{code, {}};
        if (code == FlagsCommand) c.offsets = {FlagsByte};
        for (const ParamDef& d : paramTable()) {
            const WireFacts& w = d.wire;
            if (w.command != code || w.width == 0) continue;
            const auto need = static_cast<std::size_t>(w.valueOffset + w.width);
            if (c.offsets.size() < need) c.offsets.resize(need, -1);
            for (int i = 0; i < w.width; ++i)
                c.offsets[static_cast<std::size_t>(w.valueOffset + i)] = w.blockByte + i;
        }
        // The fixed second lambda pair has no place in the block.
        if (c.offsets.empty() || std::find(c.offsets.begin(), c.offsets.end(), -1) != c.offsets.end())
            continue;
        out.push_back(std::move(c));
    }
    out.push_back({IgnitionWrite, {IgnitionByte, IgnitionByte + 1}});
    return out;
}

} // namespace

const std::vector<BlockCommand>& blockCommands() {
    static const std::vector<BlockCommand> commands = buildCommands();
    return commands;
}

const BlockCommand* blockCommand(std::uint8_t code) {
    for (const BlockCommand& c : blockCommands())
        if (c.code == code) return &c;
    return nullptr;
}

bool ignitionRestorable(const ParameterBlock& b) {
    const int value = b[IgnitionByte] + 256 * b[IgnitionByte + 1];
    return value <= MaxIgnitionValue;
}

std::vector<int> unrestorableOffsets(const ParameterBlock& b) {
    std::vector<bool> written(b.size(), false);
    for (const BlockCommand& c : blockCommands()) {
        if (c.code == IgnitionWrite && !ignitionRestorable(b)) continue;
        for (int at : c.offsets)
            written[static_cast<std::size_t>(at)] = true;
    }
    std::vector<int> out;
    for (std::size_t i = 0; i < written.size(); ++i)
        if (!written[i]) out.push_back(static_cast<int>(i));
    return out;
}

std::vector<std::vector<std::uint8_t>> restoreCommands(const ParameterBlock& b) {
    std::vector<std::vector<std::uint8_t>> out;
    for (const BlockCommand& c : blockCommands()) {
        if (c.code == IgnitionWrite && !ignitionRestorable(b)) continue;
        std::vector<std::uint8_t> bytes{c.code};
        for (int at : c.offsets)
            bytes.push_back(b[static_cast<std::size_t>(at)]);
        out.push_back(std::move(bytes));
    }
    return out;
}

bool applySentBytes(ParameterBlock& b, const std::vector<std::uint8_t>& bytes) {
    static const std::vector<std::uint8_t> secondPair = encodeSecondLambdaPair().bytes;
    std::size_t i = 0;
    auto valuesFollow = [&](std::size_t n) { return i + n <= bytes.size(); };
    while (i < bytes.size()) {
        const std::uint8_t code = bytes[i++];
        if (code == Closing) continue;
        if (code == Prefix) {
            if (i < bytes.size() && bytes[i] == ThresholdWrite) {
                if (!valuesFollow(2)) return false;
                i += 2;
            }
            continue;
        }
        if (code == secondPair[0]) {
            if (!valuesFollow(secondPair.size() - 1)) return false;
            i += secondPair.size() - 1;
            continue;
        }
        const BlockCommand* c = blockCommand(code);
        if (!c || !valuesFollow(c->offsets.size())) return false;
        for (int at : c->offsets)
            b[static_cast<std::size_t>(at)] = bytes[i++];
    }
    return true;
}

std::vector<ParamId> parametersOfCommand(std::uint8_t code) {
    std::vector<ParamId> out;
    for (const ParamDef& d : paramTable()) {
        const bool flagBit = code == FlagsCommand && d.wire.flagBit >= 0;
        if (flagBit || (d.wire.command == code && d.wire.width > 0)) out.push_back(d.id);
    }
    return out;
}

std::vector<int> differingOffsets(const ParameterBlock& a, const ParameterBlock& b) {
    std::vector<int> out;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) out.push_back(static_cast<int>(i));
    return out;
}

} // namespace params
