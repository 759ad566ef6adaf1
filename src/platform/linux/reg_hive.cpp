#include "platform/linux/reg_hive.h"

#include "platform/linux/name_fold.h"

namespace keldo {

void RegHive::AddKey(const Text& folded) { keys_.try_emplace(folded); }

void RegHive::SetValue(const Text& folded, const Text& foldedName, RegValue value) {
  keys_[folded][foldedName] = std::move(value);
}

const RegValues* RegHive::Key(TextView key) const {
  const auto found = keys_.find(FoldName(key));
  return found == keys_.end() ? nullptr : &found->second;
}

const RegValue* RegHive::Value(TextView key, TextView name) const {
  const RegValues* values = Key(key);
  if (values == nullptr) return nullptr;
  const auto found = values->find(FoldName(name));
  return found == values->end() ? nullptr : &found->second;
}

Text RegText(const RegValue& value) {
  if (value.type != kRegSz && value.type != kRegExpandSz) return Text();
  Text text;
  for (std::size_t i = 0; i + 1 < value.data.size(); i += 2) {
    const auto unit = static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8));
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

}  // namespace keldo
