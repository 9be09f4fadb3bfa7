#pragma once
// Window handles are opaque here; the Qt program gives each window its own value.
using HWND = void*;

struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};
