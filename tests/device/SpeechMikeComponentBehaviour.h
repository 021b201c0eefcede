#pragma once
// One behaviour suite for every SpeechMike component the wrapper can stand on (the simulated
// one, the COM adapter over the test server). A harness drives the component's side.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvane::testing {

class ComponentHarness {
 public:
  virtual ~ComponentHarness() = default;
  // operation: "InitializeDevice", "ActivateDevice", … ; every later call fails so.
  virtual void FailOperation(const std::string& operation, const std::string& description) = 0;
  virtual void SetRegistered(bool registered) = 0;
  // Registered only where programs of the other bitness look for it.
  virtual void RegisterForOtherBitnessOnly() = 0;
  // The device raises these button events; they reach the wrapper through the message loop.
  virtual void PressButtons(const std::vector<uint32_t>& codes) = 0;
  virtual void RunMessageLoop() = 0;
  virtual std::vector<std::string> Calls() = 0;
  // Event subscriptions held on the component.
  virtual size_t Subscribed() = 0;
};

struct HarnessFactory {
  std::string name;
  std::unique_ptr<ComponentHarness> (*make)();
};

inline void PrintTo(const HarnessFactory& factory, std::ostream* out) { *out << factory.name; }

inline std::string HarnessName(const ::testing::TestParamInfo<HarnessFactory>& info) { return info.param.name; }

class ComponentBehaviour : public ::testing::TestWithParam<HarnessFactory> {
 protected:
  void SetUp() override { harness = GetParam().make(); }
  void TearDown() override { harness.reset(); }
  std::unique_ptr<ComponentHarness> harness;
};

}  // namespace orvane::testing
