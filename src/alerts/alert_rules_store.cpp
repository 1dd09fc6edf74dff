#include "alerts/alert_rules_store.h"

namespace alerts {

bool RulesStore::AddAlert(StoredAlert& alert) {
  return ledger_.Use([&alert](store::Database& database) {
    store::Transaction transaction(database);
    if (!transaction.Active()) return false;
    store::Statement insert = database.Prepare(
        "INSERT INTO alert_rules(code, name, condition, threshold) VALUES(?, ?, ?, ?)");
    insert.Bind(1, alert.code)
        .Bind(2, alert.name)
        .Bind(3, alert.condition)
        .Bind(4, alert.threshold);
    if (!insert.Run()) return false;
    const std::int64_t id = database.LastInsertId();
    if (!transaction.Commit()) return false;
    alert.id = id;
    return true;
  });
}

bool RulesStore::RemoveAlert(std::int64_t id) {
  return ledger_.Use([id](store::Database& database) {
    store::Transaction transaction(database);
    if (!transaction.Active()) return false;
    for (const char* sql :
         {"DELETE FROM alert_told WHERE rule = ?", "DELETE FROM alert_rules WHERE id = ?"}) {
      if (!database.Prepare(sql).Bind(1, id).Run()) return false;
    }
    return transaction.Commit();
  });
}

bool RulesStore::SaveAlertFigures(std::int64_t id, const std::string& latest,
                                  const std::string& nav_date) {
  return ledger_.Use([&](store::Database& database) {
    return database.Prepare("UPDATE alert_rules SET latest = ?, nav_date = ? WHERE id = ?")
        .Bind(1, latest)
        .Bind(2, nav_date)
        .Bind(3, id)
        .Run();
  });
}

bool RulesStore::MarkTold(std::int64_t id, const std::string& nav_date, const std::string& when) {
  return ledger_.Use([&](store::Database& database) {
    return database
        .Prepare("INSERT OR IGNORE INTO alert_told(rule, nav_date, told_at) VALUES(?, ?, ?)")
        .Bind(1, id)
        .Bind(2, nav_date)
        .Bind(3, when)
        .Run();
  });
}

bool RulesStore::Told(std::int64_t id, const std::string& nav_date) {
  return ledger_.Use([&](store::Database& database) {
    store::Statement select =
        database.Prepare("SELECT 1 FROM alert_told WHERE rule = ? AND nav_date = ?");
    return select.Bind(1, id).Bind(2, nav_date).Step();
  });
}

std::vector<StoredAlert> RulesStore::Alerts() {
  std::vector<StoredAlert> alerts;
  ledger_.Use([&alerts](store::Database& database) {
    store::Statement select = database.Prepare(
        "SELECT id, code, name, condition, threshold, latest, nav_date,"
        " (SELECT told_at FROM alert_told WHERE rule = id ORDER BY rowid DESC LIMIT 1)"
        " FROM alert_rules ORDER BY id");
    while (select.Step()) {
      alerts.push_back({select.Int(0), select.Text(1), select.Text(2), select.Text(3),
                        select.Text(4), select.Text(5), select.Text(6), select.Text(7)});
    }
    return true;
  });
  return alerts;
}

}  // namespace alerts
