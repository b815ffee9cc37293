#pragma once
// The system's mouse pointers by name. windows.h spells IDC_ARROW and its kind as narrow or wide
// resource names depending on UNICODE, which this program does not define; these are the wide
// ones the framework's calls take.
#include <windows.h>

namespace lexmora {

inline HCURSOR ArrowCursor() noexcept {
  return LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
}
inline HCURSOR WaitCursor() noexcept {
  return LoadCursorW(nullptr, MAKEINTRESOURCEW(32514));  // IDC_WAIT
}
inline HCURSOR HandCursor() noexcept {
  return LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));  // IDC_HAND
}

}  // namespace lexmora
