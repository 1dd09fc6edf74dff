#pragma once

#include <string>
#include <string_view>

namespace ledger_import {

// The SHA-256 digest of `bytes` (FIPS 180-4) in 64 lowercase hex digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace ledger_import
