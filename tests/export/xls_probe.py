#!/usr/bin/python3
"""Reads an .xls file the way other programs will, and prints what it holds as JSON.

usage: /usr/bin/python3 xls_probe.py FILE.xls

Three layers, whose problems are listed under "failures":
  container  the compound file's header, FAT and DIFAT, directory and Workbook stream size
  records    the Workbook stream walked record by record: body sizes, the sheet offset, an
             independent decode of the shared strings with their CONTINUE rules, EXTSST
  xlrd       cell values and types, fonts, formats, borders, alignment, column widths, row
             heights and panes as xlrd reads them with formatting_info=True
"""
import json
import struct
import sys

import xlrd
from xlrd import compdoc

ENDOFCHAIN, FREESECT, FATSECT, DIFSECT = 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFD, 0xFFFFFFFC
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
    return cond


def container(mem):
    hdr = mem[:512]
    check(hdr[:8] == b'\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1', 'CFB signature')
    minor, major, bom, sshift, mshift = struct.unpack_from('<HHHHH', hdr, 0x18)
    (ndir, nfat, dir_start, _txn, cutoff, minifat_start, nminifat,
     difat_start, ndifat) = struct.unpack_from('<IIIIIIIII', hdr, 0x28)
    check((major, bom, sshift, mshift) == (3, 0xFFFE, 9, 6), 'CFB v3 header fields')
    check(cutoff == 4096 and ndir == 0, 'mini cutoff 4096, no directory sector count')
    check(len(mem) % 512 == 0, 'file is whole sectors')
    nsect = len(mem) // 512 - 1
    difat = list(struct.unpack_from('<109I', hdr, 0x4C))
    sid, seen = difat_start, 0
    while sid not in (ENDOFCHAIN, FREESECT) and seen <= ndifat:
        ent = struct.unpack_from('<128I', mem, 512 + sid * 512)
        difat += ent[:127]
        sid, seen = ent[127], seen + 1
    check(seen == ndifat, 'DIFAT chain length equals the header count')
    fat_sids = [s for s in difat if s != FREESECT]
    check(len(fat_sids) == nfat, 'DIFAT lists exactly the FAT sectors')
    check(nfat * 128 >= nsect and (nfat - 1) * 128 < nsect, 'FAT covers every sector, no more')
    fat = []
    for s in fat_sids:
        fat += struct.unpack_from('<128I', mem, 512 + s * 512)
    check(all(fat[s] == FATSECT for s in fat_sids), 'FAT sectors marked FATSECT')
    check(sum(1 for v in fat[:nsect] if v == DIFSECT) == ndifat, 'DIFAT sectors marked DIFSECT')
    check(all(v == FREESECT for v in fat[nsect:]), 'FAT entries past the file are free')

    def chain(start):
        out, s = [], start
        while s != ENDOFCHAIN and check(s < nsect and len(out) <= nsect, 'chain inside file'):
            out.append(s)
            s = fat[s]
        return out

    dirbytes = b''.join(mem[512 + s * 512:1024 + s * 512] for s in chain(dir_start))
    entries = []
    for i in range(len(dirbytes) // 128):
        e = dirbytes[i * 128:(i + 1) * 128]
        nlen = struct.unpack_from('<H', e, 0x40)[0]
        if e[0x42]:
            start, size = struct.unpack_from('<II', e, 0x74)
            entries.append((e[:max(nlen - 2, 0)].decode('utf-16-le'), e[0x42], start, size))
    check(entries[0][:2] == ('Root Entry', 5), 'entry 0 is the Root Entry')
    wb = [e for e in entries if e[0] == 'Workbook' and e[1] == 2]
    check(len(wb) == 1, 'one Workbook stream')
    size = wb[0][3] if wb else 0
    check(size >= 4096, 'Workbook at least 4096 bytes')
    if wb:
        check(len(chain(wb[0][2])) == (size + 511) // 512, 'Workbook chain fits its size')
    return dict(file_bytes=len(mem), fat_sectors=nfat, difat_sectors=ndifat, workbook_size=size)


def records(stream):
    recs, pos = [], 0
    while pos + 4 <= len(stream):
        rid, ln = struct.unpack_from('<HH', stream, pos)
        recs.append((pos, rid, stream[pos + 4:pos + 4 + ln]))
        pos += 4 + ln
        if rid == 0x000A and len([r for r in recs if r[1] == 0x000A]) == 2:
            break
    check(not any(stream[pos:]), 'only zero padding after the sheet EOF')
    check(max(len(r[2]) for r in recs) <= 8224, 'no record body over 8224 bytes')
    glob_end = next(i for i, r in enumerate(recs) if r[1] == 0x000A)
    glob, sheet = recs[:glob_end + 1], recs[glob_end + 1:]
    check(struct.unpack_from('<HH', glob[0][2]) == (0x0600, 0x0005), 'globals BOF')
    bound = [d for _, r, d in glob if r == 0x0085]
    check(len(bound) == 1 and struct.unpack_from('<I', bound[0])[0] == sheet[0][0] and
          struct.unpack_from('<HH', sheet[0][2]) == (0x0600, 0x0010),
          'BOUNDSHEET points at the worksheet BOF')
    si = next(i for i, r in enumerate(glob) if r[1] == 0x00FC)
    j = si + 1
    while glob[j][1] == 0x003C:
        check(len(glob[j][2]) > 0, 'no empty CONTINUE')
        j += 1
    check(glob[j][1] == 0x00FF, 'EXTSST right after the SST')
    total, unique = struct.unpack_from('<II', glob[si][2])
    strings, starts = decode_sst(glob[si:j], unique)
    check(len(strings) == unique, 'SST decodes to its unique count')
    ext = glob[j][2]
    dsst = struct.unpack_from('<H', ext)[0]
    buckets = [struct.unpack_from('<IHH', ext, 2 + 8 * k) for k in range((len(ext) - 2) // 8)]
    want = [starts[k] + (0,) for k in range(0, unique, dsst)]
    check(len(buckets) <= 128 and buckets == want, 'EXTSST buckets point at their strings')
    labels = [d for _, r, d in sheet if r == 0x00FD]
    check(total == len(labels), 'SST total equals the LABELSST count')
    check(all(struct.unpack_from('<I', d, 6)[0] < unique for d in labels), 'LABELSST index valid')
    names = [r for _, r, _ in sheet]
    first_cell = min((i for i, n in enumerate(names) if n in (0x0208, 0x00FD, 0x0201)),
                     default=len(names))
    check(0x0200 in names[:first_cell], 'DIMENSIONS before the cells')
    check(all(i < first_cell for i, n in enumerate(names) if n == 0x007D), 'COLINFO before cells')
    w2 = names.index(0x023E)
    check(names[w2 + 1] == 0x0041 and names[-1] == 0x000A, 'PANE after WINDOW2, EOF last')
    return strings, dict(sst_total=total, sst_unique=unique, continues=j - si - 1, dsst=dsst,
                buckets=len(buckets), codepage=[struct.unpack('<H', d)[0] for _, r, d in glob
                                                if r == 0x0042])


def decode_sst(recs, unique):
    """Own decode of SST + CONTINUE; also returns, per string, (stream offset of its header,
    offset within its record counting the record header)."""
    out, starts = [], []
    bi, pos = 0, 8
    rec_pos, _, data = recs[0]
    while len(out) < unique:
        if pos >= len(data):
            bi += 1
            rec_pos, _, data = recs[bi]
            pos = 0
        starts.append((rec_pos + 4 + pos, pos + 4))
        check(pos + 3 <= len(data), 'SST string header not split')
        cch, flags = struct.unpack_from('<HB', data, pos)
        pos += 3
        check(flags & 0x0C == 0, 'no rich text or extended strings')
        pieces, got, wide = [], 0, flags & 1
        while got < cch:
            if pos >= len(data):
                bi += 1
                rec_pos, _, data = recs[bi]
                wide, pos = data[0] & 1, 1
            w = 2 if wide else 1
            n = min(cch - got, (len(data) - pos) // w)
            if not check(n > 0, 'no UTF-16 unit split across records'):
                return out, starts
            chunk = data[pos:pos + n * w]
            pieces.append(chunk if wide else chunk.decode('latin-1').encode('utf-16-le'))
            if wide and got + n < cch and pos + n * w == len(data):
                check(not 0xD800 <= struct.unpack_from('<H', data, pos + n * w - 2)[0] <= 0xDBFF,
                      'no surrogate pair split across records')
            got += n
            pos += n * w
        out.append(b''.join(pieces))
    return [s.decode('utf-16-le', 'surrogatepass') for s in out], starts


def via_xlrd(path):
    bk = xlrd.open_workbook(path, formatting_info=True)
    sh = bk.sheet_by_index(0)
    check(bk.nsheets == 1 and bk.biff_version == 80, 'one BIFF8 sheet')
    check((sh._dimnrows, sh._dimncols) == (sh.nrows, sh.ncols), 'DIMENSIONS match the cells')
    styles, style_of = [], []
    keys = {}
    for r in range(sh.nrows):
        row = []
        for c in range(sh.ncols):
            xi = sh.cell_xf_index(r, c)
            if xi not in keys:
                xf = bk.xf_list[xi]
                f = bk.font_list[xf.font_index]
                b = xf.border
                keys[xi] = len(styles)
                styles.append(dict(
                    font=f.name, height=f.height, bold=f.bold, weight=f.weight,
                    charset=f.character_set, format=bk.format_map[xf.format_key].format_str,
                    hor_align=xf.alignment.hor_align, is_style=xf.is_style,
                    parent=xf.parent_style_index,
                    borders=[b.left_line_style, b.right_line_style, b.top_line_style,
                             b.bottom_line_style]))
            row.append(keys[xi])
        style_of.append(row)
    rows = []
    for r in range(sh.nrows):
        ri = sh.rowinfo_map.get(r)
        rows.append([ri.height, ri.has_default_height, ri.height_mismatch] if ri else None)
    return dict(
        nrows=sh.nrows, ncols=sh.ncols,
        values=[[sh.cell_value(r, c) for c in range(sh.ncols)] for r in range(sh.nrows)],
        types=[sh.row_types(r).tolist() if hasattr(sh.row_types(r), 'tolist')
               else list(sh.row_types(r)) for r in range(sh.nrows)],
        styles=styles, style_of=style_of, rows=rows,
        col_widths={str(c): sh.colinfo_map[c].width for c in sh.colinfo_map},
        col_xf={str(c): sh.colinfo_map[c].xf_index for c in sh.colinfo_map},
        panes=dict(frozen=sh.panes_are_frozen, has_pane=sh.has_pane_record,
                   horz=sh.horz_split_pos, vert=sh.vert_split_pos,
                   horz_first=sh.horz_split_first_visible,
                   vert_first=sh.vert_split_first_visible, active=sh.split_active_pane,
                   selected=sh.sheet_selected, visible=sh.sheet_visible))


def main():
    path = sys.argv[1]
    with open(path, 'rb') as fh:
        mem = fh.read()
    out = {}
    try:
        out['container'] = container(mem)
        stream = compdoc.CompDoc(mem, logfile=sys.stderr).get_named_stream('Workbook')
        strings, out['records'] = records(stream)
        out.update(via_xlrd(path))
        texts = {v for row in out['values'] for v in row if v != ''}
        check(texts == set(strings), 'own SST decode holds exactly the texts xlrd reads')
        check(len(set(strings)) == len(strings), 'SST strings are unique')
    except Exception as exc:  # a broken file may make a layer raise
        failures.append('exception: %s: %s' % (type(exc).__name__, exc))
    out['failures'] = failures
    json.dump(out, sys.stdout, ensure_ascii=False)


if __name__ == '__main__':
    main()
