// One cable's row, worked out from its instance key, its "Control" data and the
// driver's list of the instances it serves.
#include "evaluate_device.h"

namespace uvantic {

namespace {

// The number of trailing characters of an instance key's name that are not part of
// the cable identifier.
constexpr std::size_t kInstanceSuffixLength = 3;

std::wstring CableId(const RegistryKey& instanceKey) {
  std::optional<std::wstring> name = instanceKey.Name();
  if (!name || name->size() < kInstanceSuffixLength) return {};
  name->resize(name->size() - kInstanceSuffixLength);
  return std::move(*name);
}

std::wstring PortName(const RegistryKey& instanceKey) {
  const auto parameters = instanceKey.OpenSubkey(L"Device Parameters");
  if (!parameters) return {};
  const auto port = parameters->ReadValue(L"PortName");
  if (!port) return {};
  return port->AsText().value_or(std::wstring());
}

// A value of the driver list whose data cannot be read as text names no instance:
// the walk goes on with the next value.
bool DriverServes(const RegistryView& view, std::wstring_view instancePath) {
  const auto driverList = view.OpenKey(kDriverListPath);
  if (!driverList) return false;
  bool served = false;
  driverList->ForEachValueData([&](const RegistryData& data) {
    served = data.TextEquals(instancePath);
    return !served;
  });
  return served;
}

bool DriverBound(const RegistryKey* control) {
  if (!control) return false;
  const auto service = control->ReadValue(L"ActiveService");
  return service && service->TextEquals(kDriverService);
}

bool ConfigFlagsDisabled(const RegistryKey& instanceKey) {
  const auto flags = instanceKey.ReadValue(L"ConfigFlags");
  if (!flags) return false;
  const auto number = flags->AsNumber();
  return number && (*number & 1u) != 0;
}

bool DisableCountSet(const RegistryKey* control) {
  if (!control) return false;
  const auto count = control->ReadValue(L"DisableCount");
  if (!count) return false;
  const auto number = count->AsNumber();
  return number && *number != 0;
}

}  // namespace

DeviceState EvaluateDevice(const RegistryView& view, const RegistryKey& instanceKey,
                           std::wstring_view instancePath) {
  DeviceState state;
  state.status = CableStatus::NotPresent;
  state.ghosted = true;
  state.icon = kIconNormal;

  state.cableId = CableId(instanceKey);
  state.portName = PortName(instanceKey);

  if (DriverServes(view, instancePath)) {
    state.ghosted = false;
    state.status = CableStatus::Ok;
  }

  // "Control" exists only while the device is started; one open serves both reads.
  const auto control = instanceKey.OpenSubkey(L"Control");
  if (!DriverBound(control.get())) {
    state.status = CableStatus::DriverNotLoaded;
    state.icon = kIconDriverNotLoaded;
  }

  const bool disabled = ConfigFlagsDisabled(instanceKey) || DisableCountSet(control.get());
  if (disabled) {
    state.icon = kIconDisabled;
    if (!state.ghosted) state.status = CableStatus::Disabled;
  }
  return state;
}

}  // namespace uvantic
