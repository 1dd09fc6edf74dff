#pragma once

#include "app/app.h"
#include "net/portal.h"

namespace funds {

// The portal's base URLs: the built-in ones, each overridden by the key of the same name in
// section "门户" of the settings file. Read at every call, like every setting.
net::PortalUrls LoadPortalUrls(const app::App& app);

}  // namespace funds
