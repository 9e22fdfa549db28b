#pragma once
// The caption of a right-to-left window, aligned at the right and read right to left. A
// program asks for that with WS_EX_RIGHT and WS_EX_RTLREADING; a system whose classic frame
// ignores both draws it at the left in left-to-right order, so the text is drawn again over
// the caption bar. A composited desktop, which draws the frames itself and follows the
// styles, is left alone.
#include <windows.h>

// Call after the system painted the frame (WM_NCPAINT, WM_NCACTIVATE, WM_SETTEXT).
void RedrawRightToLeftCaption(HWND Window, bool Active);
