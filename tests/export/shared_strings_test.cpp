// The shared-string table's record layout, byte by byte: where records split, the option byte
// that opens a continued string, and the EXTSST index.

#include "export/shared_strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Record {
  uint16_t id;
  size_t at;  // stream offset of the record header
  std::string body;
};

uint16_t U16(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(s[at]) |
                               static_cast<unsigned char>(s[at + 1]) << 8);
}
uint32_t U32(const std::string& s, size_t at) {
  return U16(s, at) | static_cast<uint32_t>(U16(s, at + 2)) << 16;
}

std::vector<Record> Records(const std::string& stream) {
  std::vector<Record> out;
  for (size_t at = 0; at + 4 <= stream.size();) {
    const uint16_t length = U16(stream, at + 2);
    out.push_back({U16(stream, at), at, stream.substr(at + 4, length)});
    at += 4 + length;
  }
  return out;
}

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(SharedStrings, LatinStringSplitsAtTheRecordLimitAndRepeatsItsOptionByte) {
  exporter::SharedStrings strings;
  const std::string text(9000, 'a');
  strings.Add(text);
  strings.Add(text);  // counted, stored once
  exporter::ByteBuffer out;
  strings.Write(out, 0);
  const std::vector<Record> records = Records(out.Bytes());
  ASSERT_EQ(3u, records.size());
  EXPECT_EQ(0x00FC, records[0].id);
  EXPECT_EQ(8224u, records[0].body.size());
  EXPECT_EQ(2u, U32(records[0].body, 0));  // cells
  EXPECT_EQ(1u, U32(records[0].body, 4));  // strings
  EXPECT_EQ(9000, U16(records[0].body, 8));
  EXPECT_EQ(0, records[0].body[10]);
  EXPECT_EQ(0x003C, records[1].id);
  EXPECT_EQ(0, records[1].body[0]);  // compressed characters go on
  EXPECT_EQ(1u + 9000 - (8224 - 11), records[1].body.size());
  EXPECT_EQ(0x00FF, records[2].id);
}

TEST(SharedStrings, WideStringNeverSplitsACharacterOrASurrogatePair) {
  // 8224 - 8 (counts) - 3 (header) = 8213 bytes of room: 4106 units and one spare byte.
  exporter::SharedStrings plain;
  plain.Add(Repeat("中", 5000));
  exporter::ByteBuffer out;
  plain.Write(out, 0);
  std::vector<Record> records = Records(out.Bytes());
  EXPECT_EQ(8 + 3 + 4106 * 2u, records[0].body.size());
  EXPECT_EQ(1, records[1].body[0]);
  EXPECT_EQ(0x4E2D, U16(records[1].body, 1));

  // With one unit before them, the pairs would straddle the limit: the record ends early.
  exporter::SharedStrings pairs;
  pairs.Add("中" + Repeat("😀", 3000));
  exporter::ByteBuffer out2;
  pairs.Write(out2, 0);
  records = Records(out2.Bytes());
  EXPECT_EQ(8 + 3 + 4105 * 2u, records[0].body.size());
  EXPECT_EQ(0xDE00, U16(records[0].body, records[0].body.size() - 2));  // a low half ends it
  EXPECT_EQ(1, records[1].body[0]);
  EXPECT_EQ(0xD83D, U16(records[1].body, 1));
}

TEST(SharedStrings, StringHeaderMovesWholeToTheNextRecord) {
  exporter::SharedStrings strings;
  // Fills the SST body to 8223 bytes: no room for another header and a character.
  strings.Add(std::string(8224 - 8 - 3 - 1, 'a'));
  strings.Add("bc");
  exporter::ByteBuffer out;
  strings.Write(out, 100);
  const std::vector<Record> records = Records(out.Bytes());
  ASSERT_EQ(3u, records.size());
  EXPECT_EQ(8223u, records[0].body.size());
  EXPECT_EQ(std::string("\x02\x00\x00"
                        "bc",
                        5),
            records[1].body);  // no option byte first
  // EXTSST: 8 strings a bucket, one bucket at the first string, stream offset 100 + 12.
  EXPECT_EQ(8, U16(records[2].body, 0));
  EXPECT_EQ(10u, records[2].body.size());
  EXPECT_EQ(112u, U32(records[2].body, 2));
  EXPECT_EQ(12, U16(records[2].body, 6));
}

TEST(SharedStrings, ExtSstKeepsAtMost128Buckets) {
  EXPECT_EQ(8, exporter::ExtSstBucketSize(0));
  EXPECT_EQ(8, exporter::ExtSstBucketSize(1023));
  EXPECT_EQ(9, exporter::ExtSstBucketSize(1024));
  for (uint32_t n = 0; n < 2000000; n += 997) {
    const uint32_t size = exporter::ExtSstBucketSize(n);
    ASSERT_GE(128u, (n + size - 1) / size) << n;
  }
}

}  // namespace
