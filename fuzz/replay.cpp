// Runs a fuzz target without libFuzzer, in every test run: each input file as it is,
// then a fixed set of mutations of it (bytes overwritten, bytes inserted, the file cut
// short), the same in every run. A crash or a sanitizer report fails the test; the
// longer, guided runs are scripts/fuzz.sh's.
//
// Usage: <target>_replay MUTATIONS FILE...

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// A small deterministic generator (xorshift), so that every run tries the same inputs.
struct Random {
    std::uint64_t state;
    std::uint64_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    size_t below(size_t n) { return n == 0 ? 0 : size_t(next() % n); }
};

void run(const std::vector<std::uint8_t>& input) { LLVMFuzzerTestOneInput(input.data(), input.size()); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s MUTATIONS FILE...\n", argv[0]);
        return 2;
    }
    const long mutations = std::strtol(argv[1], nullptr, 10);
    long runs = 0;
    for (int f = 2; f < argc; ++f) {
        std::ifstream in(argv[f], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", argv[f]);
            return 2;
        }
        const std::vector<std::uint8_t> seed{std::istreambuf_iterator<char>(in), {}};
        run(seed);
        ++runs;
        Random random{0x9E3779B97F4A7C15ull ^ std::uint64_t(f)};
        for (long m = 0; m < mutations; ++m) {
            std::vector<std::uint8_t> input = seed;
            switch (random.below(4)) {
                case 0:
                case 1:  // a few bytes overwritten, often with the values that mean "much"
                    for (size_t k = 0, n = 1 + random.below(8); k < n && !input.empty(); ++k) {
                        static const std::uint8_t kValues[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF};
                        input[random.below(input.size())] =
                            random.below(2) ? kValues[random.below(6)] : std::uint8_t(random.next());
                    }
                    break;
                case 2:  // bytes inserted
                    input.insert(input.begin() + std::ptrdiff_t(random.below(input.size() + 1)),
                                 1 + random.below(16), std::uint8_t(random.next()));
                    break;
                default:  // cut short
                    input.resize(random.below(input.size() + 1));
            }
            run(input);
            ++runs;
        }
    }
    std::printf("%ld inputs ran without a finding\n", runs);
    return 0;
}
