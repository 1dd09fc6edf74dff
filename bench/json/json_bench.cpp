// Parses and reads a 20-record FundGuide literal and a 5,000-element quote array through
// JsonObject, and the equivalent strict JSON through nlohmann::ordered_json::parse, and prints
// how many times longer our reader takes (goal: at most 2).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "script/json_object.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string FundRecord(int i) {
  char text[256];
  std::snprintf(text, sizeof text,
                "%06d,华夏成长混合%d,HXCZHH,混合型,%.2f,%.2f,%.2f,%.2f,%.2f,%.2f,%.2f,%.2f,,,,"
                "2021-08-06,%.4f,%.2f,,,1.50%%,",
                i * 37 % 1000000, i, i * 0.37 - 3, i * 0.11, -i * 0.05, i * 1.3, i * 2.1, i * 0.9,
                i * 4.2, -i * 0.3, 1 + i * 0.013, i * 0.07 - 0.5);
  return text;
}

// The FundGuide page as the portal writes it (unquoted names) and as strict JSON.
std::string FundGuide(bool strict) {
  const char* q = strict ? "\"" : "";
  std::string text = std::string("{") + q + "datas" + q + ":[";
  for (int i = 0; i < 20; ++i) text += (i ? ",\"" : "\"") + FundRecord(i) + "\"";
  text += std::string("],") + q + "allRecords" + q + ":12345," + q + "pageIndex" + q + ":1," + q +
          "pageNum" + q + ":20," + q + "allPages" + q + ":618," + q + "datacount" + q + ":12345}" +
          (strict ? "" : ";");
  return text;
}

std::string QuoteArray() {
  std::string text = "[";
  char item[256];
  for (int i = 0; i < 5000; ++i) {
    std::snprintf(item, sizeof item,
                  "%s{\"f12\":\"%06d\",\"f14\":\"贵州茅台%d\",\"f2\":%.2f,\"f3\":%.2f,\"f13\":%d}",
                  i ? "," : "", i, i, 1000 + i * 0.37, i * 0.01 - 20, i % 2);
    text += item;
  }
  return text + "]";
}

size_t ReadFundGuideOurs(const std::string& text) {
  script::JsonObject json;
  json.Parse(text);
  size_t total = json.GetText("allPages").size();
  const int count = json.GetCount("datas");
  for (int i = 0; i < count; ++i) total += json.GetText("datas[" + std::to_string(i) + "]").size();
  return total;
}

size_t ReadFundGuideBaseline(const std::string& text) {
  const auto json = nlohmann::ordered_json::parse(text);
  size_t total = std::to_string(json["allPages"].get<long long>()).size();
  for (const auto& record : json["datas"]) total += record.get_ref<const std::string&>().size();
  return total;
}

size_t ReadQuotesOurs(const std::string& text) {
  script::JsonObject json;
  json.Parse(text);
  size_t total = 0;
  const int count = json.GetCount();
  for (int i = 0; i < count; ++i) {
    total += json.GetText("[" + std::to_string(i) + "].f12").size();
  }
  return total;
}

size_t ReadQuotesBaseline(const std::string& text) {
  const auto json = nlohmann::ordered_json::parse(text);
  size_t total = 0;
  for (const auto& quote : json) total += quote["f12"].get_ref<const std::string&>().size();
  return total;
}

size_t ParseOnlyOurs(const std::string& text) {
  script::JsonObject json;
  json.Parse(text);
  return static_cast<size_t>(json.GetCount());
}

size_t ParseOnlyBaseline(const std::string& text) {
  return nlohmann::ordered_json::parse(text).size();
}

// Best time per call over several rounds, in nanoseconds.
double BestTime(size_t (*work)(const std::string&), const std::string& text, int calls) {
  double best = 1e300;
  volatile size_t sink = 0;
  for (int round = 0; round < 7; ++round) {
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i) sink = sink + work(text);
    const std::chrono::duration<double, std::nano> spent = Clock::now() - start;
    best = std::min(best, spent.count() / calls);
  }
  return best;
}

void Report(const char* name, size_t (*ours)(const std::string&), const std::string& ours_text,
            size_t (*baseline)(const std::string&), const std::string& baseline_text, int calls) {
  if (ours(ours_text) != baseline(baseline_text)) {
    std::printf("%-34s results differ\n", name);
    return;
  }
  const double ours_ns = BestTime(ours, ours_text, calls);
  const double baseline_ns = BestTime(baseline, baseline_text, calls);
  std::printf("%-34s ratio %.2f  (JsonObject %.1f us, nlohmann %.1f us)\n", name,
              ours_ns / baseline_ns, ours_ns / 1000, baseline_ns / 1000);
}

}  // namespace

int main() {
  const std::string literal = FundGuide(false);
  const std::string strict = FundGuide(true);
  const std::string quotes = QuoteArray();
  std::printf("time of JsonObject / time of nlohmann::ordered_json::parse (goal <= 2)\n");
  Report("FundGuide 20 records, parse+read", ReadFundGuideOurs, literal, ReadFundGuideBaseline,
         strict, 2000);
  Report("FundGuide 20 records, parse", ParseOnlyOurs, literal, ParseOnlyBaseline, strict, 2000);
  Report("5,000 quotes, parse+read", ReadQuotesOurs, quotes, ReadQuotesBaseline, quotes, 20);
  Report("5,000 quotes, parse", ParseOnlyOurs, quotes, ParseOnlyBaseline, quotes, 20);
  return 0;
}
