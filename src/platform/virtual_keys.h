#pragma once
// The Win32 virtual-key codes the game reads. Every backend maps its own keys onto these; the
// game's controls, the keys screen and the scripts that drive the game compare with them.

#include <cstdint>

constexpr uint32_t keyBackspace = 0x08;
constexpr uint32_t keyEnter = 13;
constexpr uint32_t keyShift = 0x10;
constexpr uint32_t keyCtrl = 0x11;
constexpr uint32_t keyAlt = 0x12;
constexpr uint32_t keyEscape = 27;
constexpr uint32_t keySpace = 0x20;
constexpr uint32_t keyLeft = 0x25;
constexpr uint32_t keyUp = 0x26;
constexpr uint32_t keyRight = 0x27;
constexpr uint32_t keyDown = 0x28;
constexpr uint32_t keyM = 'M';
constexpr uint32_t keyF2 = 0x71;
constexpr uint32_t keyF10 = 0x79;
constexpr uint32_t keyF11 = 0x7A;
constexpr uint32_t keyF12 = 0x7B;
