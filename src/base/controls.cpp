#include "base/controls.h"

namespace keldo {

const ControlSpec& SpecOf(Control id) { return kControls[static_cast<std::size_t>(id)]; }

std::optional<Control> ControlNamed(std::string_view name) {
  for (const auto& entry : kControls) {
    if (entry.name == name) return entry.id;
  }
  return std::nullopt;
}

}  // namespace keldo
