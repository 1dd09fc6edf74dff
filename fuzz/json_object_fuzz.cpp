// Feeds arbitrary text to the literal reader and reads it back by the program's paths. Whatever
// the reader accepts must come out again as strict JSON that reads back to the same text.

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "script/json_object.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
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
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  script::JsonObject json;
  if (json.Parse(text)) {
    const std::string dumped = json.ToText();
    try {
      (void)nlohmann::ordered_json::parse(dumped);
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
