#include "app/board_window.h"

#include <string>

#include "app/design.h"

namespace app {

namespace {

struct BoardSlot {
  int button;
  const char* caption;
};

// Position k (1-based) is entry k - 1.
constexpr BoardSlot kSlots[kBoardPositionCount] = {
    {1, "工程建设"},   {2, "交运设备"},   {3, "农牧饲渔"},   {4, "煤炭采选"},   {5, "食品饮料"},
    {6, "电子信息"},   {7, "通讯行业"},   {8, "房地产"},     {9, "塑胶制品"},   {18, "家电行业"},
    {17, "仪器仪表"},  {16, "电子元件"},  {15, "医药制造"},  {14, "化纤行业"},  {13, "券商信托"},
    {12, "保险"},      {11, "银行"},      {10, "酿酒行业"},  {27, "有色金属"},  {26, "钢铁行业"},
    {25, "航天航空"},  {24, "汽车行业"},  {23, "军工"},      {22, "新能源"},    {21, "节能环保"},
    {20, "AH股"},      {19, "网络游戏"},  {36, "化工原料"},  {35, "稀缺资源"},  {34, "新材料"},
    {33, "转债标的"},  {32, "QFII重仓"},  {31, "基金重仓"},  {30, "材料行业"},  {29, "化工行业"},
    {28, "机械行业"},  {45, "黄金概念"},  {44, "生物疫苗"},  {43, "机构重仓"},  {42, "物联网"},
    {41, "基本金属"},  {40, "股权激励"},  {39, "预盈预增"},  {38, "云计算"},    {37, "长江三角"},
    {54, "融资融券"},  {53, "央视5_"},    {52, "中药"},      {51, "智慧城市"},  {50, "北斗导航"},
    {49, "大数据"},    {48, "创业成份"},  {47, "智能机器"},  {46, "智能穿戴"},  {63, "在线教育"},
    {62, "苹果概念"},  {61, "国家安防"},  {60, "医疗器械"},  {59, "蓝宝石"},    {58, "病毒防治"},
    {57, "燃料电池"},  {56, "国企改革"},  {55, "基因测序"},  {72, "小金属"},    {71, "国产软件"},
    {70, "充电桩"},    {69, "无人机"},    {68, "沪股通"},    {67, "一带一路"},  {66, "5G概念"},
    {65, "证金持股"},  {64, "海绵城市"},  {81, "医疗行业"},  {80, "环保工程"},  {79, "化肥行业"},
    {78, "贵金属"},    {77, "安防设备"},  {76, "软件服务"},  {75, "金属制品"},  {74, "人工智能"},
    {73, "深股通"},    {90, "精准医疗"},  {89, "大飞机"},    {88, "MSCI中国"},  {87, "养老金"},
    {86, "区块链"},    {85, "工业互联"},  {84, "OLED"},      {83, "电子竞技"},  {82, "华为概念"},
    {99, "边缘计算"},  {98, "单抗概念"},  {97, "标准普尔"},  {96, "光刻胶"},    {95, "国产芯片"},
    {94, "无线耳机"},  {93, "白酒"},      {92, "CRO"},       {91, "云游戏"},    {108, "专用设备"},
    {107, "氮化镓"},   {106, "半导体"},   {105, "数据中心"}, {104, "中芯概念"}, {103, "网红直播"},
    {102, "无线充电"}, {101, "航天概念"}, {100, "生物识别"}, {109, "备用1"},    {110, "备用2"},
    {111, "备用3"},    {116, "备用4"},    {117, "备用5"},    {118, "备用6"},    {119, "备用7"},
    {120, "备用8"},    {121, "备用9"},    {122, "备用10"},   {123, "备用11"},   {124, "备用12"},
};

constexpr int kColumnLefts[9] = {10, 111, 211, 311, 411, 511, 611, 711, 811};
// Positions from here on are spares created hidden.
constexpr int kFirstHiddenPosition = 111;

struct PeriodSlot {
  int button;
  const char* caption;
  int left;
};
constexpr PeriodSlot kPeriods[] = {
    {112, "近1周", 215}, {113, "近1月", 315}, {114, "近3月", 415}, {115, "近1年", 515}};

}  // namespace

BoardWindow::BoardWindow()
    : ui::Window("BoardWindow", 909, 663),
      按钮112(buttons_[111]),
      按钮113(buttons_[112]),
      按钮114(buttons_[113]),
      按钮115(buttons_[114]) {
  for (ui::Button& button : buttons_) Add(button);
  Add(标签1);
  Add(标签2);
  ApplyDesign();
}

ui::Button* BoardWindow::按钮(int n) {
  return n >= 1 && n <= kBoardButtonCount ? &buttons_[n - 1] : nullptr;
}

ui::Button* BoardWindow::PositionButton(int k) { return 按钮(ButtonAt(k)); }

int BoardWindow::ButtonAt(int position) {
  return position >= 1 && position <= kBoardPositionCount ? kSlots[position - 1].button : 0;
}

int BoardWindow::PositionOf(int button_number) {
  for (int k = 1; k <= kBoardPositionCount; ++k) {
    if (kSlots[k - 1].button == button_number) return k;
  }
  return 0;
}

const char* BoardWindow::DesignCaptionAt(int position) {
  return position >= 1 && position <= kBoardPositionCount ? kSlots[position - 1].caption : "";
}

void BoardWindow::ApplyDesign() {
  for (int k = 1; k <= kBoardPositionCount; ++k) {
    const int row = (k - 1) / 9;
    const int column = (k - 1) % 9;
    const int n = kSlots[k - 1].button;
    Place(buttons_[n - 1], "按钮" + std::to_string(n), kSlots[k - 1].caption,
          {kColumnLefts[column], 8 + 40 * row, 90, 38}, k < kFirstHiddenPosition);
  }
  for (const PeriodSlot& period : kPeriods) {
    Place(buttons_[period.button - 1], "按钮" + std::to_string(period.button), period.caption,
          {period.left, 576, 90, 40});
  }
  Place(标签1, "标签1", "", {624, 576, 272, 40});
  Place(标签2, "标签2", "仔细观察一下排行，我想你会发现点什么。", {128, 624, 600, 32});
}

}  // namespace app
