/*基金或股票信息*/var fS_name = "测试混合A";var fS_code = "000001";
/*现费率*/var fund_Rate = "";/*最小申购金额*/var fund_minsg = "";
var Data_netWorthTrend = [{"x":1616774400000,"y":1.2345,"equityReturn":0,"unitMoney":""},{"x":1616947200000,"y":"1.1845","equityReturn":"0.52","unitMoney":"分红：每份派现金0.0500元"},{"x":1617033600000,"y":1.1575,"equityReturn":null,"unitMoney":"拆分：每份基金份额折算1.0234份"},{"x":1616947200000,"y":1.19,"equityReturn":-0.1,"unitMoney":""}];
var Data_ACWorthTrend = [[1616774400000,2.2345],[1616947200000,null],[1617033600000,2.3012]];
