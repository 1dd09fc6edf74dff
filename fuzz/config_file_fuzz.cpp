// The settings file on hostile contents: reading never crashes, a successful write reads
// back, other keys keep their values, and a deleted section reads empty.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

#include "app/config_file.h"
#include "base/encoding.h"

namespace {

void Check(bool condition) {
  if (!condition) abort();
}

const std::string& Directory() {
  // On tmpfs, so the fsync of every write costs nothing.
  static const std::string directory = [] {
    char name[] = "/dev/shm/config_file_fuzz.XXXXXX";
    Check(mkdtemp(name) != nullptr);
    return std::string(name);
  }();
  return directory;
}

// Names as the profile functions compare them: outer blanks off, ASCII case folded.
std::string Canonical(std::string_view name) {
  const std::string_view blanks(" \t\v\f\r\x1a");
  size_t begin = name.find_first_not_of(blanks);
  if (begin == std::string_view::npos) return {};
  name = name.substr(begin, name.find_last_not_of(blanks) - begin + 1);
  std::string out(name);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  // Layout: file bytes, then after the last "\x01" the names and the value, split by "\x02".
  size_t split = input.rfind('\x01');
  std::string_view file = input.substr(0, split);
  std::string_view args = split == std::string_view::npos ? "" : input.substr(split + 1);
  std::string fields[5];
  for (int i = 0; i < 5; ++i) {
    size_t next = args.find('\x02');
    fields[i] = base::ToValidUtf8(args.substr(0, next));
    args = next == std::string_view::npos ? "" : args.substr(next + 1);
  }
  const std::string& section = fields[0];
  const std::string& key = fields[1];
  const std::string& value = fields[2];
  const std::string& other_section = fields[3];
  const std::string& other_key = fields[4];

  app::ConfigFile config(Directory());
  {
    std::ofstream out(config.Path(), std::ios::binary | std::ios::trunc);
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
  }
  Check(base::IsValidUtf8(config.Read(section, key)));
  std::string other_before = config.Read(other_section, other_key);
  bool same_key =
      Canonical(section) == Canonical(other_section) && Canonical(key) == Canonical(other_key);

  if (config.Write(section, key, value)) {
    Check(config.Read(section, key) == value);
    if (!same_key) Check(config.Read(other_section, other_key) == other_before);
  }
  bool same_section = Canonical(section) == Canonical(other_section);
  if (config.DeleteSection(section)) {
    Check(config.Read(section, key).empty());
    if (!same_section) Check(config.Read(other_section, other_key) == other_before);
  }
  return 0;
}
