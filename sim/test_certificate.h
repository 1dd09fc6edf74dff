#pragma once

// A throw-away certificate for serving the simulated portal over TLS. Clients trust it by
// naming its file as HttpFetchOptions::ca_file.

#include <string>

namespace sim {

struct TestCertificate {
  std::string cert_file;
  std::string key_file;
};

// Writes a self-signed certificate for 127.0.0.1 and localhost, valid for two days, and its
// key into the existing directory `dir` (as cert.pem and key.pem) with the openssl tool.
// False when that fails.
bool MakeTestCertificate(const std::string& dir, TestCertificate* out);

}  // namespace sim
