#include "app/config_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <mutex>
#include <optional>
#include <vector>

#include "base/encoding.h"
#include "base/files.h"

namespace app {
namespace {

// One line of the file as it is on disk: GBK bytes and its own line end ("\r\n", "\n", or
// nothing for a last line without one). Lines nobody changes are written back untouched.
struct Line {
  std::string bytes;
  std::string end;
};

enum class LineKind { kBlank, kComment, kSection, kKey };

struct ParsedLine {
  LineKind kind = LineKind::kBlank;
  std::string name;                     // section or key name, UTF-8, outer blanks trimmed
  size_t value_at = std::string::npos;  // offset of the value's bytes; npos: no "="
};

// The blanks the profile functions strip from names.
bool IsNameBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

std::string_view TrimName(std::string_view text) {
  while (!text.empty() && IsNameBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsNameBlank(text.back())) text.remove_suffix(1);
  return text;
}

// UTF-8 never has ASCII bytes inside a multi-byte character, so folding bytes is safe here;
// in GBK it is not (trail bytes can be ASCII letters), hence names compare decoded.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

ParsedLine Parse(const Line& line) {
  ParsedLine parsed;
  std::string_view bytes = line.bytes;
  std::string_view trimmed = TrimName(bytes);
  if (trimmed.empty()) return parsed;
  if (trimmed.front() == ';') {
    parsed.kind = LineKind::kComment;
    return parsed;
  }
  if (trimmed.front() == '[') {
    // "]" can be a GBK trail byte, so the closing bracket is looked for in the decoded text.
    std::string decoded = base::GbkToUtf8(trimmed.substr(1));
    size_t close = decoded.rfind(']');
    if (close != std::string::npos) {
      parsed.kind = LineKind::kSection;
      parsed.name = std::string(TrimName(std::string_view(decoded).substr(0, close)));
      return parsed;
    }
  }
  // "=" (0x3D) is never part of a GBK or GB18030 multi-byte character.
  parsed.kind = LineKind::kKey;
  size_t equals = bytes.find('=');
  parsed.name = std::string(TrimName(base::GbkToUtf8(bytes.substr(0, equals))));
  if (equals != std::string_view::npos) parsed.value_at = equals + 1;
  return parsed;
}

std::vector<Line> SplitLines(std::string_view content) {
  std::vector<Line> lines;
  while (!content.empty()) {
    size_t newline = content.find('\n');
    std::string_view text = content.substr(0, newline);
    Line line;
    if (newline == std::string_view::npos) {
      content = {};
      if (!text.empty() && text.back() == '\r') {
        text.remove_suffix(1);
        line.end = "\r";
      }
    } else {
      content.remove_prefix(newline + 1);
      bool crlf = !text.empty() && text.back() == '\r';
      if (crlf) text.remove_suffix(1);
      line.end = crlf ? "\r\n" : "\n";
    }
    line.bytes = std::string(text);
    lines.push_back(std::move(line));
  }
  return lines;
}

std::string JoinLines(const std::vector<Line>& lines) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    out += lines[i].bytes;
    // A line that lost its place at the end of the file (no line end, or a lone CR left by a
    // cut-off CR LF) needs a full line end now.
    bool last = i + 1 == lines.size();
    out += (last || lines[i].end.ends_with('\n')) ? lines[i].end : "\r\n";
  }
  return out;
}

// The section's extent: its header line and one past its last line.
struct SectionSpan {
  size_t header;
  size_t end;
};

std::vector<SectionSpan> FindSections(const std::vector<Line>& lines, std::string_view name) {
  std::vector<SectionSpan> spans;
  for (size_t i = 0; i < lines.size(); ++i) {
    ParsedLine parsed = Parse(lines[i]);
    if (parsed.kind != LineKind::kSection) continue;
    if (!spans.empty() && spans.back().end == lines.size()) spans.back().end = i;
    if (SameName(parsed.name, name)) spans.push_back({i, lines.size()});
  }
  return spans;
}

// Key lines of a section; the first one of the name is the one that counts.
std::optional<size_t> FindKey(const std::vector<Line>& lines, SectionSpan span,
                              std::string_view key, ParsedLine* parsed_out) {
  for (size_t i = span.header + 1; i < span.end; ++i) {
    ParsedLine parsed = Parse(lines[i]);
    if (parsed.kind == LineKind::kKey && SameName(parsed.name, key)) {
      *parsed_out = std::move(parsed);
      return i;
    }
  }
  return std::nullopt;
}

enum class LoadResult { kLoaded, kMissing, kFailed };

LoadResult LoadFile(const std::string& path, std::string* content) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? LoadResult::kMissing : LoadResult::kFailed;
  content->clear();
  char buffer[16384];
  while (true) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      return LoadResult::kFailed;
    }
    if (n == 0) break;
    content->append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return LoadResult::kLoaded;
}

bool HasForbiddenBytes(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Serialises writers within the process: each one reads, changes and replaces the whole file.
std::mutex& WriteMutex() {
  static std::mutex mutex;
  return mutex;
}

// The file holds a password and a login cookie: readable by its owner alone, whatever the
// umask, and a mode the user made stricter stays so.
const base::FileMode kPrivateMode = base::FileMode::AtMost(0600);

}  // namespace

ConfigFile::ConfigFile(std::string directory, WriteFunction write)
    : directory_(std::move(directory)),
      write_(write ? std::move(write) : WriteFunction(base::WriteAll)) {}

std::string ConfigFile::Path() const {
  return (std::filesystem::path(directory_) / kFileName).string();
}

std::string ConfigFile::Read(std::string_view section, std::string_view key) const {
  std::string content;
  if (LoadFile(Path(), &content) != LoadResult::kLoaded) return {};
  std::vector<Line> lines = SplitLines(content);
  std::vector<SectionSpan> spans = FindSections(lines, TrimName(section));
  // As with the profile functions, only the first section of a name is searched.
  if (spans.empty()) return {};
  ParsedLine parsed;
  std::optional<size_t> at = FindKey(lines, spans.front(), TrimName(key), &parsed);
  if (!at || parsed.value_at == std::string::npos) return {};
  return base::GbkToUtf8(std::string_view(lines[*at].bytes).substr(parsed.value_at));
}

bool ConfigFile::ReadBool(std::string_view section, std::string_view key) const {
  return Read(section, key) == kTrue;
}

namespace {

bool IsWritableName(std::string_view name) {
  return !TrimName(name).empty() && !HasForbiddenBytes(name);
}

bool IsWritableKey(std::string_view key) {
  std::string_view name = TrimName(key);
  return IsWritableName(key) && name.find('=') == std::string_view::npos && name.front() != ';' &&
         name.front() != '[';
}

// Sets one key in the lines of the file; false when nothing changed.
bool SetKey(std::vector<Line>& lines, std::string_view section_name, std::string_view key_name,
            std::string_view value) {
  std::string value_bytes = base::Utf8ToGbk(value);
  std::vector<SectionSpan> spans = FindSections(lines, section_name);
  if (spans.empty()) {
    lines.push_back({"[" + base::Utf8ToGbk(section_name) + "]", "\r\n"});
    lines.push_back({base::Utf8ToGbk(key_name) + "=" + value_bytes, "\r\n"});
    return true;
  }
  ParsedLine parsed;
  SectionSpan span = spans.front();
  if (std::optional<size_t> at = FindKey(lines, span, key_name, &parsed)) {
    std::string replaced = base::Utf8ToGbk(parsed.name) + "=" + value_bytes;
    if (replaced == lines[*at].bytes) return false;
    lines[*at].bytes = std::move(replaced);
    return true;
  }
  // After the section's last non-blank line, so blank lines between sections stay put.
  size_t insert_at = span.header + 1;
  for (size_t i = span.header + 1; i < span.end; ++i) {
    if (Parse(lines[i]).kind != LineKind::kBlank) insert_at = i + 1;
  }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert_at),
               Line{base::Utf8ToGbk(key_name) + "=" + value_bytes, "\r\n"});
  return true;
}

}  // namespace

bool ConfigFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  const KeyValue pair[] = {{key, value}};
  return WriteKeys(section, pair);
}

bool ConfigFile::WriteKeys(std::string_view section, std::span<const KeyValue> pairs) {
  return EditSection(section, pairs, false);
}

bool ConfigFile::ReplaceSection(std::string_view section, std::span<const KeyValue> pairs) {
  return EditSection(section, pairs, true);
}

bool ConfigFile::EditSection(std::string_view section, std::span<const KeyValue> pairs,
                             bool replace) {
  if (!IsWritableName(section)) return false;
  for (const KeyValue& pair : pairs) {
    if (!IsWritableKey(pair.key) || HasForbiddenBytes(pair.value)) return false;
  }
  std::lock_guard<std::mutex> lock(WriteMutex());
  std::string content;
  // A file that exists but cannot be read must not be replaced by one holding a single key.
  if (LoadFile(Path(), &content) == LoadResult::kFailed) return false;
  std::vector<Line> lines = SplitLines(content);
  bool changed = false;
  if (replace) {
    const std::vector<SectionSpan> spans = FindSections(lines, TrimName(section));
    for (auto span = spans.rbegin(); span != spans.rend(); ++span) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(span->header),
                  lines.begin() + static_cast<std::ptrdiff_t>(span->end));
    }
    changed = true;
  }
  for (const KeyValue& pair : pairs) {
    changed = SetKey(lines, TrimName(section), TrimName(pair.key), pair.value) || changed;
  }
  if (!changed) return true;
  return base::ReplaceFile(Path(), JoinLines(lines), kPrivateMode, write_);
}

bool ConfigFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  return Write(section, key, value ? kTrue : kFalse);
}

bool ConfigFile::DeleteSection(std::string_view section) {
  std::string_view section_name = TrimName(section);
  if (section_name.empty()) return false;
  std::lock_guard<std::mutex> lock(WriteMutex());
  std::string content;
  switch (LoadFile(Path(), &content)) {
    case LoadResult::kMissing:
      return true;
    case LoadResult::kFailed:
      return false;
    case LoadResult::kLoaded:
      break;
  }
  std::vector<Line> lines = SplitLines(content);
  std::vector<SectionSpan> spans = FindSections(lines, section_name);
  if (spans.empty()) return true;
  // Every section of the name goes: reads only ever see the first, and a second one would
  // surface with stale keys once the first is gone.
  for (auto span = spans.rbegin(); span != spans.rend(); ++span) {
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(span->header),
                lines.begin() + static_cast<std::ptrdiff_t>(span->end));
  }
  return base::ReplaceFile(Path(), JoinLines(lines), kPrivateMode, write_);
}

void ConfigFile::RestrictMode() const {
  struct stat info;
  if (lstat(Path().c_str(), &info) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & 077) == 0) {
    return;
  }
  chmod(Path().c_str(), info.st_mode & kPrivateMode.keep);
}

}  // namespace app
