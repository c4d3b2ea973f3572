// Reads another process' window back the way a user's inspection tools do: texts,
// classes, styles, rectangles, enabled state, visibility and focus.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/registry_writer.h"

namespace uvantic::e2e {

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct ControlInfo {
  HWND handle = nullptr;
  std::wstring className;
  std::wstring text;
  Rect rect;  // in the parent's client coordinates
  int id = 0;
  LONG style = 0;
  bool enabled = false;
  bool visible = false;
};

// The text through WM_GETTEXT, which the system carries across processes.
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
Rect ClientSize(HWND window);
// The window's rectangle in its parent's client coordinates.
Rect RectInParent(HWND child);
Rect ScreenRect(HWND window);
ControlInfo DescribeControl(HWND control);

// The direct children of parent, in Z order (the order they were created in unless the
// program reordered them).
std::vector<ControlInfo> ChildControls(HWND parent);

// The window that has the keyboard focus in the thread that owns window.
HWND FocusedWindow(HWND window);

using testing::Narrow;

}  // namespace uvantic::e2e
