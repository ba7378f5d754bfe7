#pragma once
// The system-wide screen-saver grace period as the dialog edits it: free text
// in txtGrace, read from and written to the machine-wide Winlogon key.
#include <string>

inline constexpr char kGraceKeyPath[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
inline constexpr char kGraceValueName[] = "ScreenSaverGracePeriod";
// Shown when the stored value cannot be read or is not a number.
inline constexpr char kGraceFallback[] = "5";
inline constexpr char kGraceWriteRefused[] =
    "Cannot save Grace Period change. Other settings were saved successfully anyway.\r\n\r\n"
    "Only Administrators can save system-wide settings.";

// A decimal number (sign, digits, decimal point, exponent), blanks around it
// allowed; its value in *value when given.
bool IsDecimalNumber(const std::string& text, double* value = nullptr);
// A number as text: whole numbers without a decimal point ("10", "-3"),
// others with up to 15 significant digits.
std::string NumberText(double value);
// What txtGrace shows after the read: the number read, normalised (" 10"
// shows "10"), or "5" when the read failed or gave no number.
std::string GraceTextFromStore(bool read_ok, const std::string& stored);
