#pragma once
// The Win32 virtual-key codes the game reads. Every backend maps its own keys onto these; the
// screens, the race and the scripts that drive the game compare with them.

#include <cstdint>

constexpr uint32_t keyEnter = 13;
constexpr uint32_t keyEscape = 27;
constexpr uint32_t keySpace = 0x20;
constexpr uint32_t keyLeft = 0x25;
constexpr uint32_t keyUp = 0x26;
constexpr uint32_t keyRight = 0x27;
constexpr uint32_t keyDown = 0x28;
constexpr uint32_t keyM = 'M';
