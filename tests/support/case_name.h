#pragma once
// Names a parameterised test after its table row.
#include <string>

#include <gtest/gtest.h>

namespace keldo {

struct CaseName {
  template <class Row>
  std::string operator()(const testing::TestParamInfo<Row>& row) const {
    return row.param.name;
  }
};

}  // namespace keldo
