#pragma once
#include <utility>
#include <vector>

#include "base/text.h"

namespace keldo {

// Ordered name/value fields of a form post.
class FormFields {
 public:
  // An empty value is sent empty, never dropped.
  void AppendField(const Text& name, const Text& value) { fields_.emplace_back(name, value); }
  const std::vector<std::pair<Text, Text>>& Fields() const { return fields_; }

 private:
  std::vector<std::pair<Text, Text>> fields_;
};

// application/x-www-form-urlencoded body: UTF-8, fields in order, joined
// with "&", every byte outside [A-Za-z0-9*-._] percent-encoded, blanks "+".
std::string EncodeForm(const FormFields& fields);

}  // namespace keldo
