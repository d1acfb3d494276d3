#pragma once
// Parameter blocks for the parameter tests.
#include "link/Controller.h"

#include <initializer_list>
#include <utility>

// The block a controller holds after the default set was written with
// ignition constant 4800 (ignition index 2), worked out by hand.
inline ParameterBlock defaultParameterBlock() {
    ParameterBlock b{};
    const std::pair<int, int> bytes[] = {
        {0, 111},   {1, 122},   {2, 0},     {3, 244},   {4, 0},     {5, 25},    {6, 0x80},  {7, 0x07},
        {8, 0},     {9, 25},    {10, 245},  {11, 55},   {12, 155},  {13, 0x25}, {14, 0x02}, {15, 24},
        {16, 0},    {17, 0x80}, {18, 0x02}, {19, 0x00}, {20, 0x0A}, {21, 225},  {22, 5},    {27, 30},
        {28, 0xAE}, {29, 0xC4}, {31, 1},    {32, 2},    {33, 0},    {34, 0xBC}, {35, 0xE3},
    };
    for (auto [i, v] : bytes)
        b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v);
    return b;
}

// A 16-bit value into two block bytes, low byte first.
inline void putWord(ParameterBlock& b, int at, int value) {
    b[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(value & 0xFF);
    b[static_cast<std::size_t>(at + 1)] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}
