// Feeds arbitrary text to the literal reader and reads it back by the program's paths. Whatever
// the reader accepts must come out again as strict JSON that reads back to the same text.
//
// An input starting with "\x01" stands for a long text, so that the limits on values and nesting
// are within reach of small inputs: after two count bytes, the rest split at "\x02" into head,
// middle and tail gives head + middle repeated 32 × count times + tail (up to 16 MiB).

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "script/json_literal.h"
#include "script/json_object.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

constexpr size_t kMaxExpandedBytes = 16u << 20;

std::string Expand(std::string_view input) {
  if (input.size() < 3 || input[0] != '\x01') return std::string(input);
  const size_t count =
      (static_cast<unsigned char>(input[1]) << 8 | static_cast<unsigned char>(input[2])) * 32u;
  std::string_view rest = input.substr(3);
  const size_t first = rest.find('\x02');
  const std::string_view head = rest.substr(0, first);
  std::string_view middle;
  std::string_view tail;
  if (first != std::string_view::npos) {
    middle = rest.substr(first + 1);
    const size_t second = middle.find('\x02');
    if (second != std::string_view::npos) {
      tail = middle.substr(second + 1);
      middle = middle.substr(0, second);
    }
  }
  std::string text(head);
  for (size_t i = 0; i < count && text.size() + middle.size() <= kMaxExpandedBytes; ++i) {
    text += middle;
  }
  return text += tail;
}

// Whether the tree stays within the reader's limits: its values in number and nesting.
bool WithinLimits(const nlohmann::ordered_json& value, int depth, long long* values) {
  if (++*values > script::kMaxLiteralValues) return false;
  if (!value.is_structured()) return true;
  if (depth + 1 > script::kMaxLiteralDepth) return false;
  for (const auto& item : value) {
    if (!WithinLimits(item, depth + 1, values)) return false;
  }
  return true;
}

void ReadPaths(const script::JsonObject& json) {
  static const char* const kPaths[] = {
      "",    "datas",  "datas[0]", "allPages", "data.diff", "data.diff[0].f12",
      "[0]", "[0][1]", "['a']",    "a.b[2]"};
  for (const char* path : kPaths) {
    json.GetText(path);
    json.GetText(path, true);
    json.GetCount(path);
    json.GetType(path);
    json.GetNumber(path);
    json.Has(path);
    std::vector<std::string> keys;
    Check(json.GetKeys(&keys, path) == static_cast<int>(keys.size()));
  }
  for (int i = -1; i < 3; ++i) json.GetItemText(i, "datas");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string expanded = Expand(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string_view text(expanded);
  script::JsonObject json;
  if (json.Parse(text)) {
    const std::string dumped = json.ToText();
    try {
      const auto strict = nlohmann::ordered_json::parse(dumped);
      long long values = 0;
      Check(WithinLimits(strict, 0, &values));
    } catch (const nlohmann::json::exception&) {
      Check(false);
    }
    script::JsonObject again;
    again.Parse(dumped);
    Check(again.ToText() == dumped);
  }
  ReadPaths(json);

  // The same text as a path and as values handed to the setters.
  script::JsonObject target;
  target.Parse("{a:{b:[1,'x',{c:2}]},datas:['1,2','3']}");
  target.GetText(text);
  target.GetCount(text);
  target.SetValue(text, "v", false);
  target.SetExpression("a.n", text);
  target.Append(text, "a.b", true);
  target.SetRoot(text, true);
  ReadPaths(target);
  return 0;
}
