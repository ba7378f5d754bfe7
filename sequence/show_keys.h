#pragma once
// The keys the show gives a meaning, in the saver windows and in the options
// dialog's preview alike, as Windows virtual-key codes (the Linux windows map
// GDK key values to them).
inline constexpr int kKeyBackspace = 0x08;
inline constexpr int kKeyEnter = 0x0D;
inline constexpr int kKeyLeft = 0x25;
inline constexpr int kKeyUp = 0x26;
inline constexpr int kKeyRight = 0x27;
inline constexpr int kKeyDown = 0x28;
inline constexpr int kKeyS = 0x53;

// The status overlay's two-key sequence: F7 arms, F8 toggles. Both lie
// outside the keys above, and neither has a system meaning: F10 comes as a
// system key on Windows (it opens the menu bar), F12 breaks into an attached
// debugger, F11 is full screen in many desktops, F6 moves the focus between
// panes in GTK.
inline constexpr int kOverlayArmKey = 0x76;     // VK_F7
inline constexpr int kOverlayToggleKey = 0x77;  // VK_F8

// Enter, Right and Down show the next pictures at once.
constexpr bool IsForwardKey(int key) { return key == kKeyEnter || key == kKeyRight || key == kKeyDown; }
// Backspace, Left and Up go back one slide.
constexpr bool IsBackKey(int key) { return key == kKeyBackspace || key == kKeyLeft || key == kKeyUp; }
