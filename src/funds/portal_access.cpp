#include "funds/portal_access.h"

namespace funds {

net::PortalUrls LoadPortalUrls(const app::App& app) {
  const app::ConfigFile config = app.config();
  return net::PortalUrls::Load(
      [&config](std::string_view key) { return config.Read("门户", key); });
}

}  // namespace funds
