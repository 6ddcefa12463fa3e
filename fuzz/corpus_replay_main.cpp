// Runs a fuzz target's entry point once on every file of the folders or files given, so
// that ordinary builds (the sanitizer one included) replay the committed seed corpus.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::directory_iterator(path)) {
        if (entry.is_regular_file())
          inputs.push_back(entry.path());
      }
    } else {
      inputs.push_back(path);
    }
  }
  if (inputs.empty()) {
    std::fputs("no inputs to replay\n", stderr);
    return 1;
  }
  for (const auto& input : inputs) {
    std::ifstream file(input, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("replayed %zu inputs\n", inputs.size());
  return 0;
}
