#include "shell/SettingsU.h"

#include "shell/ConstU.h"

namespace lexmora {

void CreateMissingSettings(Registry& reg) {
  for (const auto& s : kStringSettings) {
    if (!reg.ValueExists(s.name))
      reg.WriteString(s.name, s.defaultValue);
  }
  for (const auto& s : kIntegerSettings) {
    if (!reg.ValueExists(s.name))
      reg.WriteInteger(s.name, s.defaultValue);
  }
  for (const auto& s : kBoolSettings) {
    if (!reg.ValueExists(s.name))
      reg.WriteBool(s.name, s.defaultValue);
  }
}

}  // namespace lexmora
