// Scoped device contexts and selections, and safe deletion of GDI objects.
#pragma once
#include <windows.h>

// The device context of a window's client area (of the screen for a null window) from GetDC, released when the
// scope ends; null when GetDC failed.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects `object` into `dc` for the life of this guard and then puts back whatever the DC held before, so
// that nothing is ever deleted while selected, whatever failed to be created.
class SelectionGuard {
 public:
  SelectionGuard(HDC dc, HGDIOBJ object, UINT objectType)
      : dc_(dc), kept_(GetCurrentObject(dc, objectType)) {
    SelectObject(dc, object);
  }
  ~SelectionGuard() {
    if (kept_) SelectObject(dc_, kept_);
  }
  SelectionGuard(const SelectionGuard&) = delete;
  SelectionGuard& operator=(const SelectionGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ kept_;
};

// Deletes a GDI object if there is one and clears the handle.
template <class Handle>
void DeleteIfAny(Handle& object) {
  if (!object) return;
  DeleteObject(object);
  object = nullptr;
}
