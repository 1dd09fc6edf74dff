// Runs a fuzz target over saved inputs, without libFuzzer: each argument is a file, or a folder
// whose regular files are run in name order. A target that finds a fault aborts; an argument
// that gives no input at all fails, so that a missing seed folder does not pass unseen.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> InputsOf(const std::filesystem::path& argument) {
  std::error_code error;
  if (!std::filesystem::is_directory(argument, error)) return {argument};
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(argument, error)) {
    if (entry.is_regular_file(error)) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  int ran = 0;
  for (int i = 1; i < argc; ++i) {
    const std::vector<std::filesystem::path> files = InputsOf(argv[i]);
    for (const std::filesystem::path& file : files) {
      std::ifstream in(file, std::ios::binary);
      if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return 2;
      }
      const std::string bytes((std::istreambuf_iterator<char>(in)), {});
      std::printf("%s (%zu bytes)\n", file.c_str(), bytes.size());
      std::fflush(stdout);
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++ran;
    }
    if (files.empty()) {
      std::fprintf(stderr, "no input in %s\n", argv[i]);
      return 2;
    }
  }
  std::printf("%d inputs ran\n", ran);
  return ran > 0 ? 0 : 2;
}
