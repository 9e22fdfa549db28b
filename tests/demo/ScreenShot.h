#pragma once
// Pictures of the screen. A Windows program under Wine sees only its own windows through the
// screen's device context, so the picture is asked of the script that started the driver:
// NAME.request holds the rectangle; the script saves the X screen's pixels there as NAME.bmp
// (24-bit) and removes the request.
#include <windows.h>

#include <string>

#include "framework/Graphics.h"

// Window's outer rectangle widened by Margin, saved as Path + ".bmp"; false when no picture
// came.
bool RequestShot(HWND Window, const std::wstring& Path, int Margin = 0);
// A 24-bit bottom-up BMP file as the script saves it.
bool LoadShot(const std::wstring& Path, TBitmap& Picture);
