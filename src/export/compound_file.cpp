#include "export/compound_file.h"

#include "export/byte_buffer.h"

namespace exporter {

namespace {

constexpr uint32_t kSector = 512;
constexpr uint32_t kIdsPerSector = kSector / 4;
constexpr uint32_t kHeaderDifat = 109;
constexpr uint32_t kFreeSect = 0xFFFFFFFF;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFatSect = 0xFFFFFFFD;
constexpr uint32_t kDifSect = 0xFFFFFFFC;
constexpr uint32_t kNoStream = 0xFFFFFFFF;
constexpr uint64_t kMiniCutoff = 4096;

uint32_t CeilDiv(uint64_t a, uint64_t b) { return static_cast<uint32_t>((a + b - 1) / b); }

void DirectoryEntry(ByteBuffer& b, std::u16string_view name, uint8_t type, uint32_t child,
                    uint32_t start, uint32_t size) {
  const size_t at = b.Size();
  for (char16_t c : name) b.U16(c);
  b.Zeros(0x40 - (b.Size() - at));
  b.U16(name.empty() ? 0 : static_cast<uint16_t>((name.size() + 1) * 2));
  b.U8(type);
  b.U8(type == 0 ? 0 : 1);  // black
  b.U32(kNoStream);         // left sibling
  b.U32(kNoStream);         // right sibling
  b.U32(child);
  b.Zeros(16 + 4 + 8 + 8);  // CLSID, state, times
  b.U32(start);
  b.U32(size);
  b.U32(0);
}

}  // namespace

CompoundLayout PlanCompoundFile(uint64_t stream_bytes) {
  CompoundLayout plan;
  plan.data_sectors = CeilDiv(stream_bytes, kSector);
  const uint32_t fixed = plan.data_sectors + 1;  // one directory sector
  // FAT sectors must cover themselves and the DIFAT sectors, which in turn depend on the FAT
  // count: grow both until they settle.
  uint32_t fat = 0;
  uint32_t difat = 0;
  for (;;) {
    const uint32_t next_fat = CeilDiv(uint64_t{fixed} + fat + difat, kIdsPerSector);
    const uint32_t next_difat =
        next_fat <= kHeaderDifat ? 0 : CeilDiv(next_fat - kHeaderDifat, kIdsPerSector - 1);
    if (next_fat == fat && next_difat == difat) break;
    fat = next_fat;
    difat = next_difat;
  }
  plan.fat_sectors = fat;
  plan.difat_sectors = difat;
  plan.file_bytes = uint64_t{kSector} * (1 + fixed + fat + difat);
  return plan;
}

bool WriteCompoundFile(const std::vector<std::string_view>& parts, OutputFile& out) {
  uint64_t stream_bytes = 0;
  for (std::string_view p : parts) stream_bytes += p.size();
  if (stream_bytes < kMiniCutoff || stream_bytes > 0xFFFFFFFFu) return false;
  const CompoundLayout plan = PlanCompoundFile(stream_bytes);
  // Sector order: stream data, directory, FAT, DIFAT.
  const uint32_t dir_sector = plan.data_sectors;
  const uint32_t first_fat = dir_sector + 1;
  const uint32_t first_difat = first_fat + plan.fat_sectors;

  ByteBuffer header;
  header.Raw(std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
  header.Zeros(16);
  // Minor and major version, byte order mark, sector shift (512) and mini sector shift (64).
  for (uint16_t v : {0x003E, 0x0003, 0xFFFE, 9, 6}) header.U16(v);
  header.Zeros(6);
  header.U32(0);  // directory sectors: always 0 in version 3
  header.U32(plan.fat_sectors);
  header.U32(dir_sector);
  header.U32(0);
  header.U32(static_cast<uint32_t>(kMiniCutoff));
  header.U32(kEndOfChain);  // no mini FAT
  header.U32(0);
  header.U32(plan.difat_sectors ? first_difat : kEndOfChain);
  header.U32(plan.difat_sectors);
  for (uint32_t i = 0; i < kHeaderDifat; ++i) {
    header.U32(i < plan.fat_sectors ? first_fat + i : kFreeSect);
  }
  if (!out.Write(header.Bytes())) return false;

  for (std::string_view p : parts) {
    if (!out.Write(p)) return false;
  }
  const uint32_t tail = static_cast<uint32_t>(stream_bytes % kSector);
  if (tail != 0 && !out.Write(std::string(kSector - tail, '\0'))) return false;

  ByteBuffer tables;
  tables.Reserve(size_t{kSector} * (1 + plan.fat_sectors + plan.difat_sectors));
  DirectoryEntry(tables, u"Root Entry", 5, 1, kEndOfChain, 0);
  DirectoryEntry(tables, u"Workbook", 2, kNoStream, 0, static_cast<uint32_t>(stream_bytes));
  DirectoryEntry(tables, u"", 0, kNoStream, 0, 0);
  DirectoryEntry(tables, u"", 0, kNoStream, 0, 0);

  for (uint32_t s = 0; s + 1 < plan.data_sectors; ++s) tables.U32(s + 1);
  tables.U32(kEndOfChain);  // last data sector
  tables.U32(kEndOfChain);  // directory
  for (uint32_t i = 0; i < plan.fat_sectors; ++i) tables.U32(kFatSect);
  for (uint32_t i = 0; i < plan.difat_sectors; ++i) tables.U32(kDifSect);
  const uint32_t used = first_difat + plan.difat_sectors;
  for (uint32_t i = used; i < plan.fat_sectors * kIdsPerSector; ++i) tables.U32(kFreeSect);

  for (uint32_t d = 0; d < plan.difat_sectors; ++d) {
    for (uint32_t k = 0; k < kIdsPerSector - 1; ++k) {
      const uint32_t fat_index = kHeaderDifat + d * (kIdsPerSector - 1) + k;
      tables.U32(fat_index < plan.fat_sectors ? first_fat + fat_index : kFreeSect);
    }
    tables.U32(d + 1 < plan.difat_sectors ? first_difat + d + 1 : kEndOfChain);
  }
  return out.Write(tables.Bytes());
}

}  // namespace exporter
