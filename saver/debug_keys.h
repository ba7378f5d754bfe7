#pragma once
// The two-key sequence that toggles the status overlay, shared by the saver
// window and the options dialog's preview (Windows virtual-key codes).
//
// F7 arms, F8 toggles. Both lie outside the keys the saver gives a meaning
// (arrows, Enter, Backspace, S), and neither has a system meaning: F10 comes
// as a system key on Windows (it opens the menu bar), F12 breaks into an
// attached debugger, F11 is full screen in many desktops, F6 moves the focus
// between panes in GTK.
inline constexpr int kDebugArmKey = 0x76;     // VK_F7
inline constexpr int kDebugToggleKey = 0x77;  // VK_F8
