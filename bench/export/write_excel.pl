#!/usr/bin/perl
# Baseline for the export benchmark: writes a tab-separated table (UTF-8, first line the
# header row) as an .xls with Spreadsheet::WriteExcel, formatted like our export: 宋体 12 pt,
# bold header row, thin borders, centred, "000000" on columns A and B, rows 18 pt, column A
# 22 wide and the others 8.8, panes frozen at B2. Prints the seconds spent writing (the table
# is already in memory then, as the grid is for our writer).
use strict;
use warnings;
use utf8;
use Encode qw(decode);
use Spreadsheet::WriteExcel;
use Time::HiRes qw(time);

my ($tsv, $out) = @ARGV;
open(my $in, '<:raw', $tsv) or die "$tsv: $!";
my @rows;
while (my $line = <$in>) {
  chomp $line;
  push @rows, [map { decode('UTF-8', $_) } split(/\t/, $line, -1)];
}
close $in;

my $start = time;
my $book = Spreadsheet::WriteExcel->new($out) or die "$out: $!";
my $sheet = $book->add_worksheet();
my %common = (font => '宋体', size => 12, border => 1, align => 'center');
my %format = (
  head_code => $book->add_format(%common, bold => 1, num_format => '000000'),
  head      => $book->add_format(%common, bold => 1),
  body_code => $book->add_format(%common, num_format => '000000'),
  body      => $book->add_format(%common),
);
my $cols = @{$rows[0]};
$sheet->set_column(0, 0, 22);
$sheet->set_column(1, $cols - 1, 8.8);
for my $r (0 .. $#rows) {
  $sheet->set_row($r, 18);
  my $kind = $r == 0 ? 'head' : 'body';
  for my $c (0 .. $cols - 1) {
    my $f = $format{$c < 2 ? "${kind}_code" : $kind};
    my $text = $rows[$r][$c];
    if (defined $text && length $text) {
      $sheet->write_string($r, $c, $text, $f);
    } else {
      $sheet->write_blank($r, $c, $f);
    }
  }
}
$sheet->freeze_panes(1, 1);
$book->close() or die "close: $!";
printf "%.6f\n", time - $start;
