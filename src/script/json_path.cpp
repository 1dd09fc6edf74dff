#include "script/json_path.h"

#include <nlohmann/json.hpp>

#include "base/text.h"
#include "script/json_literal.h"

namespace script {
namespace {

using Json = nlohmann::ordered_json;

// An assignment may grow an array up to this length; beyond it a script engine would make a
// sparse array, which a tree cannot hold without spending memory on every hole.
constexpr long long kMaxAssignedArrayLength = 1 << 16;

bool IsNameByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || c >= 0x80;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The element index a member name stands for ("0", "17"), or -1.
long long CanonicalIndex(std::string_view name) {
  if (name.empty() || name.size() > 15 || (name.size() > 1 && name[0] == '0')) return -1;
  long long index = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return -1;
    index = index * 10 + (c - '0');
  }
  return index;
}

PathStep NameStep(std::string name) {
  PathStep step;
  step.index = CanonicalIndex(name);
  step.name = std::move(name);
  return step;
}

// Reads the inside of "[...]" starting after the "[", leaving `i` on the "]".
bool ParseBracket(std::string_view path, size_t* i, PathStep* step) {
  size_t end = *i;
  if (end < path.size() && (path[end] == '\'' || path[end] == '"')) {
    const char quote = path[end];
    for (++end; end < path.size() && path[end] != quote; ++end) {
      if (path[end] == '\\') ++end;
    }
    if (end >= path.size()) return false;
    ++end;
  }
  end = path.find(']', end);
  if (end == std::string_view::npos) return false;
  Json key;
  if (!ParseLiteral(path.substr(*i, end - *i), &key)) return false;
  *i = end;
  if (key.is_string()) {
    *step = NameStep(key.get<std::string>());
  } else if (key.is_number_integer()) {
    *step = IndexStep(key.get<long long>());
  } else if (key.is_number()) {
    *step = NameStep(base::DoubleToText(key.get<double>()));
  } else {
    return false;
  }
  return true;
}

template <typename J>
J* FindIn(J& root, const std::vector<PathStep>& steps, size_t count) {
  J* current = &root;
  for (size_t s = 0; s < count; ++s) {
    const PathStep& step = steps[s];
    if (current->is_object()) {
      auto found = current->find(step.name);
      if (found == current->end()) return nullptr;
      current = &*found;
    } else if (current->is_array()) {
      if (step.index < 0 || static_cast<size_t>(step.index) >= current->size()) return nullptr;
      current = &(*current)[static_cast<size_t>(step.index)];
    } else {
      return nullptr;
    }
  }
  return current;
}

}  // namespace

PathStep IndexStep(long long index) {
  PathStep step;
  step.name = std::to_string(index);
  step.index = index < 0 ? -1 : index;
  return step;
}

bool ParsePath(std::string_view path, std::vector<PathStep>* steps) {
  steps->clear();
  size_t i = 0;
  while (i < path.size() && IsSpace(path[i])) ++i;
  while (i < path.size()) {
    if (path[i] == '[') {
      PathStep step;
      ++i;
      if (!ParseBracket(path, &i, &step)) return false;
      ++i;
      steps->push_back(std::move(step));
    } else {
      if (!steps->empty()) {
        if (path[i] != '.') return false;
        ++i;
        while (i < path.size() && IsSpace(path[i])) ++i;
      }
      const size_t start = i;
      while (i < path.size() && IsNameByte(static_cast<unsigned char>(path[i]))) ++i;
      if (i == start) return false;
      steps->push_back(NameStep(std::string(path.substr(start, i - start))));
    }
    while (i < path.size() && IsSpace(path[i])) ++i;
  }
  return true;
}

const Json* FindValue(const Json& root, const std::vector<PathStep>& steps) {
  return FindIn(root, steps, steps.size());
}

Json* FindValue(Json& root, const std::vector<PathStep>& steps) {
  return FindIn(root, steps, steps.size());
}

bool AssignValue(Json& root, const std::vector<PathStep>& steps, Json value) {
  if (steps.empty()) return false;
  Json* parent = FindIn(root, steps, steps.size() - 1);
  if (parent == nullptr) return false;
  const PathStep& last = steps.back();
  if (parent->is_object()) {
    (*parent)[last.name] = std::move(value);
    return true;
  }
  if (!parent->is_array() || last.index < 0) return false;
  auto& items = parent->get_ref<Json::array_t&>();
  if (static_cast<size_t>(last.index) >= items.size()) {
    if (last.index >= kMaxAssignedArrayLength) return false;
    items.resize(static_cast<size_t>(last.index) + 1);
  }
  items[static_cast<size_t>(last.index)] = std::move(value);
  return true;
}

}  // namespace script
