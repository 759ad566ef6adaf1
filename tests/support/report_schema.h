#pragma once
// The console report's --json output checked against its published JSON
// Schema (docs/report.schema.json) by a real validator: python3-jsonschema,
// run through scripts/validate-report.py.
#include <string>

namespace keldo {

// Empty when `json` is a valid report; else the validator's findings, or
// why it could not run.
std::string ReportSchemaProblems(const std::string& json);

}  // namespace keldo
