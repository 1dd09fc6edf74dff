#include "export/shared_strings.h"

#include <algorithm>

#include "export/utf16.h"

namespace exporter {

namespace {

constexpr uint16_t kSst = 0x00FC;
constexpr uint16_t kContinue = 0x003C;
constexpr uint16_t kExtSst = 0x00FF;
constexpr size_t kStringHeader = 3;  // cch u16 + option flags u8

bool IsHighSurrogate(uint16_t u) { return u >= 0xD800 && u <= 0xDBFF; }

// Writes records, moving to a CONTINUE record when the current body is full.
class RecordStream {
 public:
  explicit RecordStream(ByteBuffer& out) : out_(out) { record_ = out_.BeginRecord(kSst); }
  size_t Room() const { return kMaxRecordBody - out_.BodySize(record_); }
  size_t RecordStart() const { return record_; }
  void Next() {
    out_.EndRecord(record_);
    record_ = out_.BeginRecord(kContinue);
  }
  void Finish() { out_.EndRecord(record_); }

 private:
  ByteBuffer& out_;
  size_t record_;
};

void PutUnits(ByteBuffer& out, const uint16_t* units, size_t n, bool wide) {
  if (wide) {
    for (size_t i = 0; i < n; ++i) out.U16(units[i]);
  } else {
    for (size_t i = 0; i < n; ++i) out.U8(static_cast<uint8_t>(units[i]));
  }
}

}  // namespace

uint16_t ExtSstBucketSize(uint32_t unique_count) {
  return static_cast<uint16_t>(unique_count < 1024 ? 8 : 1 + unique_count / 128);
}

uint32_t SharedStrings::Add(std::string_view text) {
  ++total_;
  auto [it, added] = index_.try_emplace(text, static_cast<uint32_t>(spans_.size()));
  if (added) {
    const size_t first = units_.size();
    AppendUtf16(text, &units_);
    const bool wide =
        std::any_of(units_.begin() + first, units_.end(), [](uint16_t u) { return u > 0xFF; });
    spans_.push_back(Span{first, units_.size() - first, wide});
  }
  return it->second;
}

void SharedStrings::Write(ByteBuffer& out, size_t stream_base) const {
  const uint16_t bucket = ExtSstBucketSize(UniqueCount());
  struct BucketEntry {
    uint32_t stream_offset;
    uint16_t in_record;
  };
  std::vector<BucketEntry> buckets;

  RecordStream rec(out);
  out.U32(total_);
  out.U32(UniqueCount());
  for (size_t s = 0; s < spans_.size(); ++s) {
    const Span& span = spans_[s];
    const uint16_t* units = units_.data() + span.first;
    const size_t unit_size = span.wide ? 2 : 1;
    // A string header is never split, and carries at least its first character (both halves
    // of a surrogate pair) with it.
    size_t first_char = span.length == 0 ? 0 : unit_size;
    if (span.wide && span.length >= 2 && IsHighSurrogate(units[0])) first_char = 4;
    if (rec.Room() < kStringHeader + first_char) rec.Next();
    if (s % bucket == 0) {
      buckets.push_back({static_cast<uint32_t>(stream_base + out.Size()),
                         static_cast<uint16_t>(out.Size() - rec.RecordStart())});
    }
    out.U16(static_cast<uint16_t>(span.length));
    out.U8(span.wide ? 1 : 0);
    size_t done = 0;
    while (done < span.length) {
      size_t n = std::min(span.length - done, rec.Room() / unit_size);
      if (span.wide && n > 0 && done + n < span.length && IsHighSurrogate(units[done + n - 1])) {
        --n;
      }
      PutUnits(out, units + done, n, span.wide);
      done += n;
      if (done < span.length) {
        // The rest of the characters go on in a CONTINUE that repeats the option byte.
        rec.Next();
        out.U8(span.wide ? 1 : 0);
      }
    }
  }
  rec.Finish();

  const size_t ext = out.BeginRecord(kExtSst);
  out.U16(bucket);
  for (const BucketEntry& b : buckets) {
    out.U32(b.stream_offset);
    out.U16(b.in_record);
    out.U16(0);
  }
  out.EndRecord(ext);
}

}  // namespace exporter
