#pragma once

// JsonObject holds one JSON (or JavaScript-literal) value and answers questions about it by
// member path: "data.diff", "data.diff[3].f12", "['name']", or "[0]" on a root array.
//
// Text given to it is read as data and never executed: `Parse`, `SetExpression` and the
// `isObject`/`isRaw` forms of the setters accept JSON and JavaScript literals only. Reads never
// fail loudly: an absent member, a malformed path or a value of the wrong kind reads as the
// empty text, 0 or false.
//
// Copies share one value, so a change made through a copy is seen by the original; `Parse` and
// `Reset` give the object a value of its own again. An object belongs to the thread that made it.

#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace script {

// Type codes of `GetType`; the same numbers choose the fresh root of `New`.
enum JsonValueType : int {
  kJsonOther = -1,  // a boolean
  kJsonAbsent = 0,  // absent or null
  kJsonNumber = 2,
  kJsonObject = 4,
  kJsonArray = 5,
  kJsonString = 6,
};

class JsonObject {
 public:
  // Starts with an empty object.
  JsonObject();

  // Drops the value (and any sharing with copies) and starts again with an empty object.
  void Reset();

  // Replaces the value with the literal in `text` (blanks and ";" may follow it). Returns false,
  // leaving null, for the empty text, text that is not a literal, and the literal null.
  bool Parse(std::string_view text);

  // The value as compact JSON.
  std::string ToText() const;

  // Stores the text `value` as a string, or with `is_object` the literal it holds ("{}" when
  // empty). Nothing changes when the literal is malformed or the path's parent cannot hold it.
  // The text is stored as given: quotes and backslashes in it need no escaping.
  void SetValue(std::string_view path, std::string_view value, bool is_object);
  // Stores the literal in `literal` (null when empty); anything that would need evaluating is
  // refused and changes nothing.
  void SetExpression(std::string_view path, std::string_view literal);
  // Stores the number as it reads at 13 significant digits; NaN and infinities are refused.
  void SetNumber(std::string_view path, double value);

  // A number, or a text's leading decimal number, or 1/0 for a boolean; otherwise 0.
  double GetNumber(std::string_view path) const;
  // The member as compact JSON; empty when absent.
  std::string GetJson(std::string_view path) const;
  // Without `as_json`: a string's characters, a number in "%.13g", "true"/"false", an array's
  // elements joined by ",", "[object Object]" for an object, empty for null or absent.
  std::string GetText(std::string_view path, bool as_json = false) const;
  // An independent copy of the member (null when absent).
  JsonObject GetObject(std::string_view path) const;
  // Members of an object or elements of an array; 0 for anything else.
  int GetCount(std::string_view path = {}) const;

  // Makes the value at `path` (the root when empty) an array unless it is one, then appends the
  // text `value`, or with `is_raw` the literal it holds.
  void Append(std::string_view value, std::string_view path = {}, bool is_raw = false);
  JsonObject GetItemObject(int index, std::string_view path = {}) const;
  std::string GetItemText(int index, std::string_view path = {}, bool as_json = false) const;
  // Sets element `index` of a root array (or the member named by the index of a root object).
  void SetItem(int index, std::string_view value, bool is_raw = false);
  // Removes element `index` of a root array; a negative index counts from the end.
  void RemoveItem(int index);

  // kJsonObject (or kJsonAbsent) makes the root an empty object, kJsonArray an empty array;
  // other codes change nothing.
  void New(int type);
  // Replaces the root; returns whether the new value counts as true in a script (false also
  // for a malformed literal, which changes nothing).
  bool SetRoot(std::string_view value, bool is_raw = false);

  // Whether the member exists and is not null.
  bool Has(std::string_view path) const;
  // Replaces `keys` with the member names of an object in their order (the indexes of an
  // array) and returns their number.
  int GetKeys(std::vector<std::string>* keys, std::string_view path = {}) const;
  int GetType(std::string_view path = {}) const;
  // Makes the root an empty object.
  void Clear();

 private:
  const nlohmann::ordered_json* Find(std::string_view path) const;
  // Element `index` of the value at `path`.
  const nlohmann::ordered_json* FindItem(int index, std::string_view path) const;
  // An object holding a copy of `value` (null when absent).
  static JsonObject CopyOf(const nlohmann::ordered_json* value);
  // Stores `value` at `path` when the result stays within the nesting limit.
  void Assign(std::string_view path, nlohmann::ordered_json value, int value_depth);

  std::shared_ptr<nlohmann::ordered_json> value_;
};

}  // namespace script
