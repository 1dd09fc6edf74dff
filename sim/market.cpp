#include "sim/market.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <set>

#include "base/text.h"
#include "sim/random.h"

namespace sim {
namespace {

struct Part {
  std::string_view text;
  std::string_view initials;
};

struct FundKind {
  std::string_view type;
  int share_percent;  // of all funds
  double drift_mean;  // yearly log growth
  double drift_spread;
  double volatility;  // yearly
  std::vector<Part> themes;
  std::vector<Part> suffixes;
};

const std::vector<Part>& Companies() {
  static const std::vector<Part> companies = {
      {"易方达", "YFD"},       {"华夏", "HX"},       {"南方", "NF"},       {"嘉实", "JS"},
      {"博时", "BS"},          {"广发", "GF"},       {"汇添富", "HTF"},    {"富国", "FG"},
      {"招商", "ZS"},          {"工银瑞信", "GYRX"}, {"建信", "JX"},       {"鹏华", "PH"},
      {"银华", "YH"},          {"中欧", "ZO"},       {"景顺长城", "JSCC"}, {"兴全", "XQ"},
      {"交银施罗德", "JYSLD"}, {"天弘", "TH"},       {"国泰", "GT"},       {"华安", "HA"},
      {"大成", "DC"},          {"诺安", "NA"},       {"长城", "CC"},       {"万家", "WJ"},
      {"前海开源", "QHKY"},    {"中银", "ZY"},       {"农银汇理", "NYHL"}, {"平安", "PA"},
      {"东方红", "DFH"},       {"信达澳银", "XDAY"}, {"华宝", "HB"},       {"申万菱信", "SWLX"},
      {"国投瑞银", "GTRY"},    {"融通", "RT"},       {"泰达宏利", "TDHL"}, {"银河", "YH"}};
  return companies;
}

const std::vector<Part>& EquityThemes() {
  static const std::vector<Part> themes = {
      {"消费升级", "XFSJ"}, {"医疗健康", "YLJK"}, {"新能源", "XNY"},       {"科技创新", "KJCX"},
      {"价值精选", "JZJX"}, {"成长优选", "CZYX"}, {"蓝筹精选", "LCJX"},    {"优势产业", "YSCY"},
      {"高端制造", "GDZZ"}, {"核心资产", "HXZC"}, {"先进制造", "XJZZ"},    {"研究精选", "YJJX"},
      {"品质生活", "PZSH"}, {"均衡成长", "JHCZ"}, {"新兴产业", "XXCY"},    {"内需增长", "NXZZ"},
      {"创新驱动", "CXQD"}, {"低碳环保", "DTHB"}, {"信息产业", "XXCY"},    {"智选", "ZX"},
      {"稳健回报", "WJHB"}, {"民营活力", "MYHL"}, {"沪港深精选", "HGSJX"}, {"国企改革", "GQGG"},
      {"半导体", "BDT"},    {"军工", "JG"},       {"大健康", "DJK"},       {"价值发现", "JZFX"}};
  return themes;
}

const std::vector<FundKind>& Kinds() {
  static const std::vector<FundKind> kinds = {
      {"股票型",
       15,
       0.10,
       0.08,
       0.25,
       EquityThemes(),
       {{"股票A", "GPA"}, {"股票C", "GPC"}, {"股票", "GP"}}},
      {"混合型",
       40,
       0.09,
       0.07,
       0.20,
       EquityThemes(),
       {{"混合A", "HHA"}, {"混合C", "HHC"}, {"混合", "HH"}, {"灵活配置混合", "LHPZHH"}}},
      {"债券型",
       25,
       0.04,
       0.015,
       0.03,
       {{"纯债", "CZ"},
        {"信用债", "XYZ"},
        {"双债增强", "SZZQ"},
        {"稳利", "WL"},
        {"安心回报", "AXHB"},
        {"裕丰", "YF"},
        {"短债", "DZ"},
        {"中短债", "ZDZ"},
        {"添利", "TL"},
        {"鑫享", "XX"},
        {"增强回报", "ZQHB"},
        {"可转债", "KZZ"}},
       {{"债券A", "ZQA"}, {"债券C", "ZQC"}, {"债券", "ZQ"}}},
      {"指数型",
       12,
       0.07,
       0.07,
       0.22,
       {{"沪深300", "HS300"},
        {"中证500", "ZZ500"},
        {"创业板", "CYB"},
        {"中证医疗", "ZZYL"},
        {"中证白酒", "ZZBJ"},
        {"中证新能源汽车", "ZZXNYQC"},
        {"中证军工", "ZZJG"},
        {"上证50", "SZ50"},
        {"科创50", "KC50"},
        {"中证红利", "ZZHL"},
        {"中证传媒", "ZZCM"},
        {"中证银行", "ZZYH"},
        {"国证半导体芯片", "GZBDTXP"},
        {"中证1000", "ZZ1000"}},
       {{"指数A", "ZSA"},
        {"指数C", "ZSC"},
        {"ETF联接A", "ETFLJA"},
        {"ETF联接C", "ETFLJC"},
        {"指数(LOF)", "ZSLOF"},
        {"增强A", "ZQA"}}},
      {"QDII",
       5,
       0.06,
       0.08,
       0.20,
       {{"纳斯达克100", "NSDK100"},
        {"标普500", "BP500"},
        {"全球精选", "QQJX"},
        {"恒生科技", "HSKJ"},
        {"中概互联网", "ZGHLW"},
        {"亚太精选", "YTJX"},
        {"全球医疗保健", "QQYLBJ"},
        {"美国消费", "MGXF"},
        {"香港优选", "XGYX"}},
       {{"(QDII)", "QDII"},
        {"指数(QDII)A", "ZSQDIIA"},
        {"ETF联接(QDII)C", "ETFLJQDIIC"},
        {"混合(QDII)", "HHQDII"}}},
      {"FOF",
       3,
       0.05,
       0.04,
       0.10,
       {{"养老目标2035三年持有", "YLMB2035SNCY"},
        {"养老目标2040五年持有", "YLMB2040WNCY"},
        {"稳健配置三个月持有", "WJPZSGYCY"},
        {"积极配置一年持有", "JJPZYNCY"},
        {"均衡养老", "JHYL"}},
       {{"混合(FOF)", "HHFOF"}, {"混合(FOF)A", "HHFOFA"}, {"混合(FOF)C", "HHFOFC"}}},
  };
  return kinds;
}

// The portal's sector and theme boards, in the order its ranking first listed them; boards
// beyond these are named by their number.
constexpr std::string_view kBoardNames =
    "工程建设、交运设备、农牧饲渔、煤炭采选、食品饮料、"
    "电子信息、通讯行业、房地产、塑胶制品、家电行业、"
    "仪器仪表、电子元件、医药制造、化纤行业、券商信托、"
    "保险、银行、酿酒行业、有色金属、钢铁行业、航天航空、"
    "汽车行业、军工、新能源、节能环保、AH股、网络游戏、"
    "化工原料、稀缺资源、新材料、转债标的、QFII重仓、"
    "基金重仓、材料行业、化工行业、机械行业、黄金概念、"
    "生物疫苗、机构重仓、物联网、基本金属、股权激励、"
    "预盈预增、云计算、长江三角、融资融券、央视5_、中药、"
    "智慧城市、北斗导航、大数据、创业成份、智能机器、"
    "智能穿戴、在线教育、苹果概念、国家安防、医疗器械、"
    "蓝宝石、病毒防治、燃料电池、国企改革、基因测序、"
    "小金属、国产软件、充电桩、无人机、沪股通、一带一路、"
    "5G概念、证金持股、海绵城市、医疗行业、环保工程、"
    "化肥行业、贵金属、安防设备、软件服务、金属制品、"
    "人工智能、深股通、精准医疗、大飞机、MSCI中国、养老金、"
    "区块链、工业互联、OLED、电子竞技、华为概念、边缘计算、"
    "单抗概念、标准普尔、光刻胶、国产芯片、无线耳机、"
    "白酒、CRO、云游戏、专用设备、氮化镓、半导体、"
    "数据中心、中芯概念、网红直播、无线充电、航天概念、"
    "生物识别、光伏设备、锂电池、储能、风电设备、电池、"
    "汽车整车、光学光电子、通信设备、游戏、传媒、教育、"
    "旅游酒店、物流行业、电力行业、水泥建材、装修建材、"
    "石油行业、燃气、港口水运、航空机场、医疗服务、美容护理";

std::chrono::sys_days ParseDate(const std::string& text) {
  int year = 2021, month = 8, day = 20;
  std::sscanf(text.c_str(), "%d-%d-%d", &year, &month, &day);
  return std::chrono::sys_days(std::chrono::year(year) / month / day);
}

std::string DateText(std::chrono::sys_days days) {
  std::chrono::year_month_day date(days);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

std::chrono::sys_days PreviousWeekday(std::chrono::sys_days day) {
  do {
    day -= std::chrono::days(1);
  } while (std::chrono::weekday(day) == std::chrono::Saturday ||
           std::chrono::weekday(day) == std::chrono::Sunday);
  return day;
}

const FundKind& PickKind(Random& random) {
  int roll = static_cast<int>(random.Below(100));
  for (const FundKind& kind : Kinds()) {
    if (roll < kind.share_percent) return kind;
    roll -= kind.share_percent;
  }
  return Kinds().front();
}

int PickRating(Random& random) {
  static constexpr int kCumulative[] = {35, 43, 55, 75, 90, 100};  // unrated, 1..5 stars
  int roll = static_cast<int>(random.Below(100));
  for (int stars = 0; stars <= 5; ++stars) {
    if (roll < kCumulative[stars]) return stars;
  }
  return 0;
}

double Round(double value, double unit) { return std::round(value / unit) * unit; }

void NameFund(Fund& fund, const FundKind& kind, Random& random, std::set<std::string>& taken) {
  for (int attempt = 0;; ++attempt) {
    const Part& company = Companies()[random.Below(Companies().size())];
    const Part& theme = kind.themes[random.Below(kind.themes.size())];
    const Part& suffix = kind.suffixes[random.Below(kind.suffixes.size())];
    std::string series, series_initials;
    // Popular combinations run out; later launches get a series number, as real funds do.
    if (attempt >= 8) {
      series = std::to_string(attempt - 6) + "号";
      series_initials = std::to_string(attempt - 6) + "H";
    }
    std::string name =
        std::string(company.text) + std::string(theme.text) + series + std::string(suffix.text);
    if (!taken.insert(name).second) continue;
    fund.name = name;
    fund.abbreviation = std::string(company.initials) + std::string(theme.initials) +
                        series_initials + std::string(suffix.initials);
    const bool c_share = suffix.text.back() == 'C';
    const bool bond = kind.type == "债券型";
    fund.fee = c_share ? "0.00%" : bond ? "0.80%" : "1.50%";
    fund.discounted_fee = c_share ? "0.00%" : bond ? "0.08%" : "0.15%";
    return;
  }
}

// Growth over nested horizons of one simulated price path, so that the periods agree with
// each other the way real figures do.
void FillFigures(Fund& fund, const FundKind& kind, Random& random, double year_to_date,
                 double age_years) {
  const double drift = kind.drift_mean + kind.drift_spread * random.Normal();
  const double horizons[kPeriodCount] = {
      1.0 / 250, 5.0 / 250, 21.0 / 250, 63.0 / 250, 126.0 / 250, year_to_date, 1.0, 2.0, 3.0};
  int order[kPeriodCount];
  for (int i = 0; i < kPeriodCount; ++i) order[i] = i;
  std::sort(order, order + kPeriodCount, [&](int a, int b) { return horizons[a] < horizons[b]; });
  double log_growth = 0, reached = 0;
  for (int period : order) {
    double step = horizons[period] - reached;
    log_growth += drift * step + kind.volatility * std::sqrt(step) * random.Normal();
    reached = horizons[period];
    if (horizons[period] <= age_years) {
      fund.growth[period] = Round((std::exp(log_growth) - 1) * 100, 0.01);
    }
  }
  // Now and then the portal has no figure for the latest day.
  if (random.Below(100) == 0) fund.growth[0].reset();
  double life = std::min(age_years, 12.0);
  double nav = std::exp(drift * life + kind.volatility * std::sqrt(life) * random.Normal());
  fund.unit_nav = Round(std::clamp(nav, 0.3, 9.0), 0.0001);
  double dividends = age_years > 2 ? Round(random.Uniform() * 0.6, 0.0001) : 0;
  fund.accumulated_nav = Round(fund.unit_nav + dividends, 0.0001);
  if (age_years >= 1.0 / 250) {
    fund.since_inception = Round((fund.accumulated_nav - 1) * 100, 0.01);
  }
}

}  // namespace

int PeriodOfSortCode(std::string_view sort_code) {
  for (int i = 0; i < kPeriodCount; ++i) {
    if (kSortCodes[i] == sort_code) return i;
  }
  return -1;
}

std::string FormatGrowth(const std::optional<double>& value) {
  if (!value) return "";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", *value + 0.0);  // + 0.0 turns -0 into 0
  return text;
}

Market::Market(const MarketOptions& options) : options_(options) {
  Random random(options.seed);
  const int fund_count = std::max(0, options.funds);
  const auto as_of = ParseDate(options.as_of);
  const auto new_year = std::chrono::sys_days(std::chrono::year_month_day(as_of).year() / 1 / 1);
  const double year_to_date = (as_of - new_year).count() / 365.0;
  const std::string nav_date = DateText(as_of);
  const std::string qdii_nav_date = DateText(PreviousWeekday(as_of));

  // Ascending unique six-digit codes spread over the whole range.
  const std::uint64_t max_step = std::max<std::uint64_t>(1, 1'800'000 / std::max(1, fund_count));
  std::uint64_t code = 0;
  std::set<std::string> taken_names;
  funds_.reserve(fund_count);
  for (int i = 0; i < fund_count; ++i) {
    code = std::min<std::uint64_t>(code + 1 + random.Below(max_step), 999999 - (fund_count - i));
    Fund fund;
    char code_text[8];
    std::snprintf(code_text, sizeof code_text, "%06llu", static_cast<unsigned long long>(code));
    fund.code = code_text;
    const FundKind& kind = PickKind(random);
    fund.type = std::string(kind.type);
    NameFund(fund, kind, random, taken_names);
    const double age_years = 0.002 + 10.0 * std::pow(random.Uniform(), 1.3);
    FillFigures(fund, kind, random, year_to_date, age_years);
    fund.inception_date = DateText(as_of - std::chrono::days(static_cast<int>(age_years * 365)));
    fund.nav_date = kind.type == "QDII" ? qdii_nav_date : nav_date;
    fund.rating = PickRating(random);
    funds_.push_back(std::move(fund));
  }

  const std::vector<std::string> names = base::Split(kBoardNames, "、");
  const int board_count = std::max(0, options.boards);
  int number = 400;
  for (int b = 0; b < board_count; ++b) {
    Board board;
    number += 1 + static_cast<int>(random.Below(4));
    board.number = number;
    board.code = "BK0" + std::to_string(number);
    board.name = b < static_cast<int>(names.size()) ? names[b] : "主题" + std::to_string(b + 1);
    // The last board is kept empty so that clients meet a board without funds.
    const std::uint64_t permille = b + 1 == board_count ? 0 : 20 + random.Below(130);
    for (int f = 0; f < fund_count; ++f) {
      if (Mix(options.seed, b, f) % 1000 < permille) board.funds.push_back(f);
    }
    boards_.push_back(std::move(board));
  }
}

const Board* Market::FindBoard(std::string_view code) const {
  for (const Board& board : boards_) {
    if (board.code == code) return &board;
  }
  return nullptr;
}

std::string Market::FundGuideRecord(const Fund& fund) {
  char nav[32], accumulated[32];
  std::snprintf(nav, sizeof nav, "%.4f", fund.unit_nav);
  std::snprintf(accumulated, sizeof accumulated, "%.4f", fund.accumulated_nav);
  const auto& g = fund.growth;
  const std::string fields[] = {fund.code,
                                fund.name,
                                fund.abbreviation,
                                fund.type,
                                FormatGrowth(g[5]),
                                FormatGrowth(g[1]),
                                FormatGrowth(g[2]),
                                FormatGrowth(g[3]),
                                FormatGrowth(g[4]),
                                FormatGrowth(g[6]),
                                FormatGrowth(g[7]),
                                FormatGrowth(g[8]),
                                FormatGrowth(fund.since_inception),
                                fund.inception_date,
                                "1",
                                fund.nav_date,
                                nav,
                                FormatGrowth(g[0]),
                                accumulated,
                                fund.fee,
                                fund.discounted_fee,
                                fund.fee == fund.discounted_fee ? "0" : "1"};
  std::string record = fields[0];
  for (size_t i = 1; i < std::size(fields); ++i) record += "," + fields[i];
  return record;
}

}  // namespace sim
