/*var Data_netWorthTrend = [{"x":0,"y":9}];*/var Data_netWorthTrendOld = [];var Data_netWorthTrend = [{"x":1628265600000,"y":1.6},{"x":1628179200000,"y":1.5}].concat([]);
var Data_netWorthTrend = [{"x":1628265600000,"y":1.6},{"x":1628179200000,"y":1.5,"unitMoney":"分红：每份派现金0.12345678912元"}];var Data_ACWorthTrend = [[1628265600000,"3.1"],[1628179200000,3]];
