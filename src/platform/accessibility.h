// What assistive technology learns of standard controls beyond what they tell it
// themselves, added through the system's dynamic annotation (oleacc's IAccPropServices).
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct IAccPropServices;

namespace uvantic {

// The annotations of one window's controls, from the first Set call until Clear or the
// end of this object, which must come before the controls are destroyed. For the
// user-interface thread, which it joins to a single-threaded COM apartment while it
// lives. Where the system cannot annotate (no COM, or an oleacc without these calls,
// such as Wine's), every call returns false and no client hears the annotations;
// ChildDescription still answers as the system would.
class AccessibleAnnotations {
 public:
  AccessibleAnnotations();
  ~AccessibleAnnotations();
  AccessibleAnnotations(const AccessibleAnnotations&) = delete;
  AccessibleAnnotations& operator=(const AccessibleAnnotations&) = delete;

  // The control's role (ROLE_SYSTEM_*).
  bool SetRole(HWND control, long role);

  // The description of each child element of the control, such as a list view's items,
  // asked of describe with the child's id (1 for the first item) whenever a client reads
  // it, so that it follows the rows wherever sorting moves them. nullopt leaves the
  // control's own description.
  using DescribeChild = std::function<std::optional<std::wstring>(long childId)>;
  bool DescribeChildren(HWND control, DescribeChild describe);

  // What a client reading the description of the control's child childId is told,
  // by the same function the system asks; nullopt where the control's own stands.
  std::optional<std::wstring> ChildDescription(HWND control, long childId) const;

  // Removes every annotation made here.
  void Clear();

 private:
  bool comStarted_ = false;
  IAccPropServices* services_ = nullptr;
  // The controls annotated, with the property set on each.
  std::vector<std::pair<HWND, GUID>> annotated_;
  std::vector<std::pair<HWND, DescribeChild>> described_;
};

}  // namespace uvantic
