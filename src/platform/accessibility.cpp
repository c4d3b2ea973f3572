// Dynamic annotation, as Microsoft documents it for standard controls: direct annotation
// of a property with SetHwndProp, and server annotation, where the system asks an
// IAccPropServer of ours for the value each time a client reads it.
#include "platform/accessibility.h"

#include <oleacc.h>

#include <new>
#include <utility>

namespace uvantic {
namespace {

// A child's description as describe gives it; none for the control itself.
std::optional<std::wstring> DescriptionOfChild(const AccessibleAnnotations::DescribeChild& describe, DWORD childId) {
  if (childId == CHILDID_SELF) return std::nullopt;
  return describe(static_cast<long>(childId));
}

// Answers the annotated property of a control's children by asking describe.
class ChildDescriptionServer final : public IAccPropServer {
 public:
  ChildDescriptionServer(IAccPropServices* services, AccessibleAnnotations::DescribeChild describe)
      : services_(services), describe_(std::move(describe)) {
    services_->AddRef();
  }
  ChildDescriptionServer(const ChildDescriptionServer&) = delete;
  ChildDescriptionServer& operator=(const ChildDescriptionServer&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IAccPropServer)) {
      *object = static_cast<IAccPropServer*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // Says "no value" for anything but a child whose description describe gives; nothing
  // thrown gets out to the client.
  HRESULT STDMETHODCALLTYPE GetPropValue(const BYTE* identity, DWORD identityLength, MSAAPROPID property,
                                         VARIANT* value, BOOL* hasValue) override {
    if (!value || !hasValue) return E_POINTER;
    VariantInit(value);
    *hasValue = FALSE;
    if (!IsEqualGUID(property, PROPID_ACC_DESCRIPTION)) return S_OK;
    HWND control = nullptr;
    DWORD objectId = 0;
    DWORD childId = 0;
    if (services_->DecomposeHwndIdentityString(identity, identityLength, &control, &objectId, &childId) != S_OK) {
      return S_OK;
    }
    try {
      const std::optional<std::wstring> description = DescriptionOfChild(describe_, childId);
      if (!description) return S_OK;
      value->bstrVal = SysAllocStringLen(description->data(), static_cast<UINT>(description->size()));
      if (!value->bstrVal) return E_OUTOFMEMORY;
      value->vt = VT_BSTR;
      *hasValue = TRUE;
    } catch (...) {
      return E_OUTOFMEMORY;
    }
    return S_OK;
  }

 private:
  ~ChildDescriptionServer() { services_->Release(); }

  IAccPropServices* services_;
  AccessibleAnnotations::DescribeChild describe_;
  ULONG references_ = 1;
};

}  // namespace

AccessibleAnnotations::AccessibleAnnotations() {
  const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  comStarted_ = SUCCEEDED(started);
  // A thread already in another apartment can still make the object.
  if (FAILED(started) && started != RPC_E_CHANGED_MODE) return;
  if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                              reinterpret_cast<void**>(&services_)))) {
    services_ = nullptr;
  }
}

AccessibleAnnotations::~AccessibleAnnotations() {
  Clear();
  if (services_) services_->Release();
  if (comStarted_) CoUninitialize();
}

bool AccessibleAnnotations::SetRole(HWND control, long role) {
  if (!services_ || !control) return false;
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = role;
  if (services_->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_ROLE, value) != S_OK) {
    return false;
  }
  annotated_.emplace_back(control, PROPID_ACC_ROLE);
  return true;
}

bool AccessibleAnnotations::DescribeChildren(HWND control, DescribeChild describe) {
  if (!control) return false;
  described_.emplace_back(control, describe);
  if (!services_) return false;
  auto* server = new (std::nothrow) ChildDescriptionServer(services_, std::move(describe));
  if (!server) return false;
  MSAAPROPID properties[] = {PROPID_ACC_DESCRIPTION};
  // The system keeps its own reference for as long as the annotation stands.
  const HRESULT set = services_->SetHwndPropServer(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, properties,
                                                   1, server, ANNO_CONTAINER);
  server->Release();
  if (set != S_OK) return false;
  annotated_.emplace_back(control, PROPID_ACC_DESCRIPTION);
  return true;
}

std::optional<std::wstring> AccessibleAnnotations::ChildDescription(HWND control, long childId) const {
  for (const auto& [described, describe] : described_) {
    if (described == control) return DescriptionOfChild(describe, static_cast<DWORD>(childId));
  }
  return std::nullopt;
}

void AccessibleAnnotations::Clear() {
  described_.clear();
  if (!services_) return;
  for (auto& [control, property] : annotated_) {
    services_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &property, 1);
  }
  annotated_.clear();
}

}  // namespace uvantic
