// Writes cable installations into the registry as Windows records them, so that the
// program under test reads real keys: the instance keys under the USB device tree and
// the driver's list of the instances it serves.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "support/registry_writer.h"

namespace uvantic::e2e {

// How Windows spells the cable's USB identity in its keys and in the driver's list:
// in upper case since Vista, and with lower-case hex digits before.
inline constexpr wchar_t kWindowsHardwareId[] = L"VID_2E7A&PID_0200&MI_00";
inline constexpr wchar_t kOlderWindowsHardwareId[] = L"Vid_2e7a&Pid_0200&Mi_00";

inline constexpr wchar_t kDriverService[] = L"slabser";
inline constexpr wchar_t kOtherDriverService[] = L"usbser";

// What Windows has recorded for a cable when a scenario starts.
enum class CableSetup {
  Started,      // plugged in, enabled, served by the cable's driver
  Unplugged,    // installed earlier, not connected: no Control key, not in the driver's list
  OtherDriver,  // plugged in but bound to another driver service
  Disabled,     // disabled by the user while the driver still lists it
  Dropped,      // still bound to the driver, which no longer lists it among its instances
  Misspelled,   // served, but the driver's list spells its path otherwise than the registry
};

struct Cable {
  std::wstring instance;  // instance key name, e.g. "6&2d3f0b1a&0&0000"
  std::wstring port;      // "COM5"
  CableSetup setup = CableSetup::Started;
};

// A cable's instance path below the device tree as Windows spells it: "USB\VID_...\<instance>".
std::wstring WindowsInstancePath(std::wstring_view instance, std::wstring_view hardwareId = kWindowsHardwareId);

// What the list shows as the cable identifier: the instance name less its last three
// characters.
std::wstring CableIdOf(std::wstring_view instance);

// Every operation writes through at once and throws std::runtime_error when the
// registry refuses it, so a scenario never runs on a half-written registry.
// The keys are laid out as Windows writes them, hardwareId spelling the hardware key
// and the driver's list: each instance also holds the values Windows puts there and a
// "Properties" key that only the system may read.
class ScenarioRegistry {
 public:
  explicit ScenarioRegistry(std::wstring_view hardwareId = kWindowsHardwareId) : hardwareId_(hardwareId) {}

  // Leaves the registry as on a machine where no cable was ever installed: no hardware
  // key and no driver service key.
  void Clear();

  void Install(const Cable& cable);
  void Install(const std::vector<Cable>& cables);

  // The changes Windows records while the program runs.
  void Plug(std::wstring_view instance);
  void Unplug(std::wstring_view instance);
  void Disable(std::wstring_view instance);
  void Enable(std::wstring_view instance);
  void Rebind(std::wstring_view instance, std::wstring_view service);
  // The driver lets go of the instance: its list no longer names it.
  void Drop(std::wstring_view instance);
  // The Control key no longer names the driver's service.
  void Unbind(std::wstring_view instance);
  // The device stops: Windows deletes its Control key. With Drop, the two steps of an
  // unplugging, which Windows makes tens of milliseconds apart in either order.
  void Stop(std::wstring_view instance);
  void Uninstall(std::wstring_view instance);
  // The user gives the cable another COM port.
  void Rename(std::wstring_view instance, std::wstring_view port);

 private:
  std::wstring InstanceKey(std::wstring_view instance) const;
  testing::RegistryWriter::KeyWriter Existing(std::wstring_view instance);
  void DeleteInstance(const std::wstring& path);
  void WriteControl(std::wstring_view instance, std::wstring_view service, DWORD disableCount);
  std::wstring ReadActiveService(std::wstring_view instance) const;
  void WriteDriverList();
  void Serve(std::wstring_view instance, std::wstring_view hardwareId);
  void StopServing(std::wstring_view instance);

  // Scenarios begin with Clear() and the seeded registry outlives the seeding tool, so
  // what is written stays.
  testing::RegistryWriter writer_{testing::RegistryWriter::Keep::Written};
  std::wstring hardwareId_;
  unsigned drivers_ = 0;  // the driver instances handed out, as Windows numbers them

  // Instance paths in the order the driver enumerated them.
  std::vector<std::wstring> served_;
};

// Sets the screen resolution that programs started afterwards see (96, 120, 144, 192).
void SetLogPixels(DWORD dotsPerInch);

}  // namespace uvantic::e2e
