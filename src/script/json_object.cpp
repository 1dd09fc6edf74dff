#include "script/json_object.h"

#include <climits>
#include <cmath>
#include <nlohmann/json.hpp>

#include "base/encoding.h"
#include "base/text.h"
#include "script/json_literal.h"
#include "script/json_path.h"

namespace script {
namespace {

using Json = nlohmann::ordered_json;

std::string Dump(const Json& value) {
  try {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
  } catch (const Json::exception&) {
    return {};
  }
}

// What a script engine shows when it turns the value into text.
std::string DisplayText(const Json& value) {
  switch (value.type()) {
    case Json::value_t::string:
      return value.get_ref<const std::string&>();
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float:
      return base::DoubleToText(value.get<double>());
    case Json::value_t::boolean:
      return value.get<bool>() ? "true" : "false";
    case Json::value_t::array: {
      std::string text;
      bool first = true;
      for (const Json& item : value) {
        if (!first) text.push_back(',');
        first = false;
        text += DisplayText(item);
      }
      return text;
    }
    case Json::value_t::object:
      return "[object Object]";
    default:
      return {};
  }
}

bool IsTruthy(const Json& value) {
  switch (value.type()) {
    case Json::value_t::boolean:
      return value.get<bool>();
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float: {
      const double number = value.get<double>();
      return number != 0 && !std::isnan(number);
    }
    case Json::value_t::string:
      return !value.get_ref<const std::string&>().empty();
    case Json::value_t::object:
    case Json::value_t::array:
      return true;
    default:
      return false;
  }
}

// A value given as text: a string, or with `literal` the literal the text holds.
bool MakeValue(std::string_view text, bool literal, Json* value, int* depth) {
  *depth = 0;
  if (literal) return ParseLiteral(text, value, depth);
  *value = base::ToValidUtf8(text);
  return true;
}

// `as_json` chooses compact JSON over the display text; an absent value gives the empty text.
std::string TextOf(const Json* value, bool as_json) {
  if (value == nullptr) return {};
  return as_json ? Dump(*value) : DisplayText(*value);
}

int ClampToInt(size_t count) { return count > INT_MAX ? INT_MAX : static_cast<int>(count); }

}  // namespace

JsonObject::JsonObject() { Reset(); }

void JsonObject::Reset() { value_ = std::make_shared<Json>(Json::object()); }

bool JsonObject::Parse(std::string_view text) {
  auto parsed = std::make_shared<Json>();
  const bool ok = ParseLiteral(text, parsed.get());
  value_ = std::move(parsed);
  return ok && !value_->is_null();
}

std::string JsonObject::ToText() const { return Dump(*value_); }

const Json* JsonObject::Find(std::string_view path) const {
  std::vector<PathStep> steps;
  if (!ParsePath(path, &steps)) return nullptr;
  return FindValue(*value_, steps);
}

const Json* JsonObject::FindItem(int index, std::string_view path) const {
  std::vector<PathStep> steps;
  if (!ParsePath(path, &steps)) return nullptr;
  steps.push_back(IndexStep(index));
  return FindValue(*value_, steps);
}

JsonObject JsonObject::CopyOf(const Json* value) {
  JsonObject copy;
  *copy.value_ = value == nullptr ? Json() : *value;
  return copy;
}

void JsonObject::Assign(std::string_view path, Json value, int value_depth) {
  std::vector<PathStep> steps;
  if (!ParsePath(path, &steps)) return;
  if (static_cast<long long>(steps.size()) + value_depth > kMaxLiteralDepth) return;
  AssignValue(*value_, steps, std::move(value));
}

void JsonObject::SetValue(std::string_view path, std::string_view value, bool is_object) {
  if (is_object && value.empty()) value = "{}";
  Json parsed;
  int depth = 0;
  if (MakeValue(value, is_object, &parsed, &depth)) Assign(path, std::move(parsed), depth);
}

void JsonObject::SetExpression(std::string_view path, std::string_view literal) {
  SetValue(path, literal.empty() ? std::string_view("null") : literal, true);
}

void JsonObject::SetNumber(std::string_view path, double value) {
  if (!std::isfinite(value)) return;
  Json number;
  if (ParseLiteral(base::DoubleToText(value), &number)) Assign(path, std::move(number), 0);
}

double JsonObject::GetNumber(std::string_view path) const {
  const Json* value = Find(path);
  if (value == nullptr) return 0;
  if (value->is_number()) return value->get<double>();
  if (value->is_string()) return base::ToNumber(value->get_ref<const std::string&>());
  if (value->is_boolean()) return value->get<bool>() ? 1 : 0;
  return 0;
}

std::string JsonObject::GetJson(std::string_view path) const { return TextOf(Find(path), true); }

std::string JsonObject::GetText(std::string_view path, bool as_json) const {
  return TextOf(Find(path), as_json);
}

JsonObject JsonObject::GetObject(std::string_view path) const { return CopyOf(Find(path)); }

int JsonObject::GetCount(std::string_view path) const {
  const Json* value = Find(path);
  if (value == nullptr || !(value->is_object() || value->is_array())) return 0;
  return ClampToInt(value->size());
}

void JsonObject::Append(std::string_view value, std::string_view path, bool is_raw) {
  Json item;
  int depth = 0;
  if (!MakeValue(value, is_raw, &item, &depth)) return;
  std::vector<PathStep> steps;
  if (!ParsePath(path, &steps)) return;
  if (static_cast<long long>(steps.size()) + 1 + depth > kMaxLiteralDepth) return;
  Json* target = FindValue(*value_, steps);
  if (target == nullptr || !target->is_array()) {
    if (steps.empty()) {
      *value_ = Json::array();
    } else if (!AssignValue(*value_, steps, Json::array())) {
      return;
    }
    target = FindValue(*value_, steps);
  }
  target->push_back(std::move(item));
}

JsonObject JsonObject::GetItemObject(int index, std::string_view path) const {
  return CopyOf(FindItem(index, path));
}

std::string JsonObject::GetItemText(int index, std::string_view path, bool as_json) const {
  return TextOf(FindItem(index, path), as_json);
}

void JsonObject::SetItem(int index, std::string_view value, bool is_raw) {
  Json item;
  int depth = 0;
  if (!MakeValue(value, is_raw, &item, &depth) || depth + 1 > kMaxLiteralDepth) return;
  AssignValue(*value_, {IndexStep(index)}, std::move(item));
}

void JsonObject::RemoveItem(int index) {
  if (!value_->is_array()) return;
  auto& items = value_->get_ref<Json::array_t&>();
  const long long size = static_cast<long long>(items.size());
  long long start = index < 0 ? size + index : index;
  if (start < 0) start = 0;
  if (start >= size) return;
  items.erase(items.begin() + start);
}

void JsonObject::New(int type) {
  if (type == kJsonAbsent || type == kJsonObject) {
    *value_ = Json::object();
  } else if (type == kJsonArray) {
    *value_ = Json::array();
  }
}

bool JsonObject::SetRoot(std::string_view value, bool is_raw) {
  Json root;
  int depth = 0;
  if (!MakeValue(value, is_raw, &root, &depth)) return false;
  *value_ = std::move(root);
  return IsTruthy(*value_);
}

bool JsonObject::Has(std::string_view path) const {
  const Json* value = Find(path);
  return value != nullptr && !value->is_null();
}

int JsonObject::GetKeys(std::vector<std::string>* keys, std::string_view path) const {
  keys->clear();
  const Json* value = Find(path);
  if (value == nullptr) return 0;
  if (value->is_object()) {
    for (const auto& member : value->items()) keys->push_back(member.key());
  } else if (value->is_array()) {
    for (size_t i = 0; i < value->size(); ++i) keys->push_back(std::to_string(i));
  }
  return ClampToInt(keys->size());
}

int JsonObject::GetType(std::string_view path) const {
  const Json* value = Find(path);
  if (value == nullptr || value->is_null()) return kJsonAbsent;
  if (value->is_number()) return kJsonNumber;
  if (value->is_object()) return kJsonObject;
  if (value->is_array()) return kJsonArray;
  if (value->is_string()) return kJsonString;
  return kJsonOther;
}

void JsonObject::Clear() { *value_ = Json::object(); }

}  // namespace script
