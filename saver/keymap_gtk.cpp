#include "saver/keymap_gtk.h"

namespace {

struct KeyPair {
  guint keyval;
  int vk;
};

// Keys whose code is not simply their letter or digit.
constexpr KeyPair kKeys[] = {
    {GDK_KEY_BackSpace, 8},   {GDK_KEY_Tab, 9},          {GDK_KEY_ISO_Left_Tab, 9}, {GDK_KEY_Clear, 12},
    {GDK_KEY_Return, 13},     {GDK_KEY_KP_Enter, 13},    {GDK_KEY_Shift_L, 16},     {GDK_KEY_Shift_R, 16},
    {GDK_KEY_Control_L, 17},  {GDK_KEY_Control_R, 17},   {GDK_KEY_Alt_L, 18},       {GDK_KEY_Alt_R, 18},
    {GDK_KEY_Pause, 19},      {GDK_KEY_Caps_Lock, 20},   {GDK_KEY_Escape, 27},      {GDK_KEY_space, 32},
    {GDK_KEY_Page_Up, 33},    {GDK_KEY_Page_Down, 34},   {GDK_KEY_End, 35},         {GDK_KEY_Home, 36},
    {GDK_KEY_Left, 37},       {GDK_KEY_Up, 38},          {GDK_KEY_Right, 39},       {GDK_KEY_Down, 40},
    {GDK_KEY_KP_Left, 37},    {GDK_KEY_KP_Up, 38},       {GDK_KEY_KP_Right, 39},    {GDK_KEY_KP_Down, 40},
    {GDK_KEY_Print, 44},      {GDK_KEY_Insert, 45},      {GDK_KEY_Delete, 46},      {GDK_KEY_Super_L, 91},
    {GDK_KEY_Super_R, 92},    {GDK_KEY_Menu, 93},        {GDK_KEY_KP_Multiply, 106}, {GDK_KEY_KP_Add, 107},
    {GDK_KEY_KP_Subtract, 109}, {GDK_KEY_KP_Decimal, 110}, {GDK_KEY_KP_Divide, 111}, {GDK_KEY_Num_Lock, 144},
    {GDK_KEY_Scroll_Lock, 145},
};

// A key Windows would give a code we do not list still has to end the saver:
// report it as VK_OEM_CLEAR, which no handler treats specially.
constexpr int kUnknownKey = 0xFE;

}  // namespace

int VirtualKeyFromGdk(guint keyval) {
  if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z) return static_cast<int>('A' + (keyval - GDK_KEY_a));
  if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z) return static_cast<int>('A' + (keyval - GDK_KEY_A));
  if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return static_cast<int>('0' + (keyval - GDK_KEY_0));
  if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9) return static_cast<int>(96 + (keyval - GDK_KEY_KP_0));
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F24) return static_cast<int>(112 + (keyval - GDK_KEY_F1));
  for (const KeyPair& pair : kKeys)
    if (pair.keyval == keyval) return pair.vk;
  return kUnknownKey;
}

int ShiftStateFromGdk(guint state) {
  int shift = 0;
  if (state & GDK_SHIFT_MASK) shift |= 1;
  if (state & GDK_CONTROL_MASK) shift |= 2;
  if (state & GDK_MOD1_MASK) shift |= 4;
  return shift;
}
