// Seeds the registry of the current Wine prefix (or Windows machine) with cables, for
// demonstrations and measurements:
//   uvantic_seed demo          one cable in each status, and a second working one
//   uvantic_seed started N     N working cables
//   uvantic_seed installed N   N cables installed, of which the first 16 work and the
//                              others are unplugged, as on a well-used machine
//   uvantic_seed clear         no cable ever installed
#include <cstdio>
#include <string>
#include <vector>

#include "harness/demo_cables.h"
#include "harness/scenario_registry.h"
#include "harness/test_environment.h"

namespace {

int Usage() {
  std::fputs("usage: uvantic_seed demo | started N | installed N | clear\n", stderr);
  return 2;
}

int Run(const std::vector<std::wstring>& args) {
  using namespace uvantic::e2e;
  if (args.empty()) return Usage();
  ScenarioRegistry registry;
  registry.Clear();
  if (args[0] == L"clear") return 0;
  if (args[0] == L"demo") {
    registry.Install(DemoCables());
    return 0;
  }
  if (args[0] == L"started" && args.size() == 2) {
    registry.Install(StartedCables(std::stoi(args[1])));
    return 0;
  }
  if (args[0] == L"installed" && args.size() == 2) {
    constexpr std::size_t kWorking = 16;
    auto cables = StartedCables(std::stoi(args[1]));
    for (std::size_t i = kWorking; i < cables.size(); ++i) cables[i].setup = CableSetup::Unplugged;
    registry.Install(cables);
    return 0;
  }
  return Usage();
}

}  // namespace

int main() {
  return uvantic::e2e::RunTool("uvantic_seed", [] { return Run(uvantic::e2e::CommandLineArguments()); });
}
