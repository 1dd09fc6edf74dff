#pragma once

// Member paths into a parsed value, written as in a script: names joined by ".", element
// indexes in "[n]", and member names in "['name']" or "[\"name\"]". A path may start with an
// index to read an element of a root array; the empty path is the root itself.

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace script {

struct PathStep {
  std::string name;      // the member name; for an index, its decimal text
  long long index = -1;  // the element index when the step can name one, else -1
};

PathStep IndexStep(long long index);

// Returns false for a malformed path (a missing "]", an unquoted expression in brackets,
// an empty name).
bool ParsePath(std::string_view path, std::vector<PathStep>* steps);

// The value at the path, or nullptr when it is absent (also below a missing or scalar value).
const nlohmann::ordered_json* FindValue(const nlohmann::ordered_json& root,
                                        const std::vector<PathStep>& steps);
nlohmann::ordered_json* FindValue(nlohmann::ordered_json& root, const std::vector<PathStep>& steps);

// Stores `value` at the path. The value above the last step must hold members: an object
// gains or replaces a member; an array takes an element by index and grows with nulls up to it
// (within a bound, so that a huge index cannot exhaust memory). Returns false, changing
// nothing, when the path is empty or the place cannot hold the value.
bool AssignValue(nlohmann::ordered_json& root, const std::vector<PathStep>& steps,
                 nlohmann::ordered_json value);

}  // namespace script
