#pragma once
// The soft background behind a picture that does not fill its box: the
// picture itself, stretched to cover the box, heavily blurred and darkened.
// It is made small, a few dozen pixels across, and drawn scaled back up
// smoothly, which is the blur.
#include "decode/picture_layout.h"
#include "decode/pixels.h"

// The picture cut to the box's shape around its middle, reduced to at most
// 32 pixels across and darkened; opaque. Empty when there is no picture.
Pixels MakeSoftBackdrop(const Pixels& picture, int box_width, int box_height);

// Whether a picture so placed leaves some of its box bare.
bool LeavesBoxBare(const PicturePlacement& at, int box_width, int box_height);
