#include "sim/test_certificate.h"

#include <cstdlib>

namespace sim {
namespace {

// Single quotes for the shell; a quote inside becomes '\''.
std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

bool MakeTestCertificate(const std::string& dir, TestCertificate* out) {
  TestCertificate made{dir + "/cert.pem", dir + "/key.pem"};
  const std::string command =
      "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
      "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1,DNS:localhost -keyout " +
      Quoted(made.key_file) + " -out " + Quoted(made.cert_file) + " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return false;
  *out = std::move(made);
  return true;
}

}  // namespace sim
