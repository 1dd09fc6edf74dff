#pragma once

// The settings file 配置.ini: an INI file in GBK as code page 936 has it (the single byte 0x80
// is the euro sign) with CRLF line ends, read and written one key at a time with the semantics of
// the private-profile functions: section and key names match ignoring ASCII letter case only (a GBK
// trail byte is never case-folded), and every line this program does not change stays byte for
// byte. Nothing is cached: every call reads the file from disk. The file holds a password and a
// login cookie, so it is private to its owner: created 0600, and an existing file never gains
// permission bits.

#include <span>
#include <string>
#include <string_view>

#include "base/files.h"

namespace app {

class ConfigFile {
 public:
  // Writes the file's bytes to an open file (see base::WriteFunction); tests pass one that
  // fails part-way.
  using WriteFunction = base::WriteFunction;

  static constexpr const char* kFileName = "配置.ini";
  static constexpr const char* kTrue = "真";
  static constexpr const char* kFalse = "假";

  explicit ConfigFile(std::string directory, WriteFunction write = {});

  // The value stored under `key` in `section`, exactly as stored; empty when the file, the
  // section or the key is missing. Names match ignoring ASCII letter case and outer blanks.
  std::string Read(std::string_view section, std::string_view key) const;
  // True only when the value is exactly "真".
  bool ReadBool(std::string_view section, std::string_view key) const;

  // Sets `key` in `section` to `value`, creating the file, section or key as needed and
  // leaving every other line as it was. The file is replaced atomically: on failure (false)
  // the old file is untouched. Names must not be empty, a key must not hold "=" nor begin
  // with ";" or "[", and no argument may hold a line break or a zero byte.
  bool Write(std::string_view section, std::string_view key, std::string_view value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);

  // Sets several keys of one section as Write does, in one replacement of the file: a kill
  // or a failure leaves either all of them or none of them changed.
  struct KeyValue {
    std::string_view key;
    std::string_view value;
  };
  bool WriteKeys(std::string_view section, std::span<const KeyValue> pairs);

  // Replaces every section of this name by one holding only `pairs` (at the end of the file), in
  // one replacement of the file: a kill or a failure leaves either the old section or the new.
  bool ReplaceSection(std::string_view section, std::span<const KeyValue> pairs);

  // Removes every section of this name together with its lines. True when the file no longer
  // holds the section (including when it never did).
  bool DeleteSection(std::string_view section);

  // Takes the group and other permission bits off an existing file, as its next write would
  // (an older version left it 0644). A symbolic link is left alone.
  void RestrictMode() const;

  // Full path of the settings file.
  std::string Path() const;

 private:
  // Sets `pairs` in `section`; with `replace` the section holds only them afterwards.
  bool EditSection(std::string_view section, std::span<const KeyValue> pairs, bool replace);
  std::string directory_;
  WriteFunction write_;
};

}  // namespace app
