// Every long operation killed (SIGKILL) at many random moments: whatever moment it dies at, what
// it promises about its files still holds.
#include "support/child_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

constexpr std::size_t kBytes = std::size_t{32} << 20;
constexpr int kParts = 4;
constexpr int kKills = 50;

const Bytes &source()
{
    static const Bytes bytes = patternBytes(kBytes, 11);
    return bytes;
}

const Bytes &key()
{
    static const Bytes bytes = patternBytes(4096, 12);
    return bytes;
}

const Bytes &codified()
{
    static const Bytes bytes = [] {
        Bytes out = source();
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = static_cast<unsigned char>(out[i] + key()[i % key().size()]);
        return out;
    }();
    return bytes;
}

Bytes quarter(int n)
{
    const auto from = source().begin() + static_cast<std::ptrdiff_t>((n - 1) * (kBytes / kParts));
    return Bytes(from, from + static_cast<std::ptrdiff_t>(kBytes / kParts));
}

std::string partName(int n)
{
    return "p" + std::to_string(n);
}

// The parts p1..p4 and an info.txt naming them, as inputs that must never change.
void prepareInputs(const std::string &dir)
{
    std::string list;
    for (int n = 1; n <= kParts; ++n) {
        if (!exists(dir + "/" + partName(n)))
            writeFile(dir + "/" + partName(n), quarter(n));
        list += partName(n) + "\r\n";
    }
    writeFile(dir + "/info.txt", list);
    fs::remove(dir + "/out.bin");
}

void expectInputsUnchanged(const std::string &dir)
{
    for (int n = 1; n <= kParts; ++n)
        ASSERT_TRUE(readFile(dir + "/" + partName(n)) == quarter(n)) << partName(n) << " changed";
}

struct KillRow {
    const char *name;
    std::string program; // "" for skarvel-cli
    std::vector<std::string> args;
    std::string typed; // what the user types into the joiner
    std::function<void(const std::string &dir)> prepare;
    std::function<void(const std::string &dir)> check;
};

void PrintTo(const KillRow &row, std::ostream *out)
{
    *out << row.name;
}

const KillRow kRows[] = {
    {"CodifyLeavesTheOldOrTheNewBytes", "", {"codify", "+", "data.bin", "key.bin"}, "",
     [](const std::string &dir) {
         writeFile(dir + "/data.bin", source());
         writeFile(dir + "/key.bin", key());
         fs::remove(dir + "/buff.vq");
     },
     [](const std::string &dir) {
         const Bytes data = readFile(dir + "/data.bin");
         ASSERT_TRUE(data == source() || data == codified()) << "the data file holds neither";
     }},
    {"CutWithDeleteRemovesTheSourceOnlyAfterWholeParts", "",
     {"cut", "--count", std::to_string(kParts), "--recons", "--delete", "data.bin"}, "",
     [](const std::string &dir) {
         for (const auto &entry : fs::directory_iterator(dir))
             fs::remove(entry.path());
         writeFile(dir + "/data.bin", source());
     },
     [](const std::string &dir) {
         if (exists(dir + "/data.bin")) {
             ASSERT_TRUE(readFile(dir + "/data.bin") == source()) << "the source changed";
             return;
         }
         for (int n = 1; n <= kParts; ++n) {
             const std::string part = dir + "/data" + std::to_string(n) + ".bin";
             ASSERT_TRUE(readFile(part) == quarter(n)) << "the source is gone and " << part << " is short";
         }
     }},
    {"UniteLeavesItsInputs", "", {"unite", "-o", "out.bin", "p1", "p2", "p3", "p4"}, "", prepareInputs, expectInputsUnchanged},
    {"TheJoinerLeavesItsInputs", SKARVEL_JOINER, {}, "out.bin\n\n", prepareInputs, expectInputsUnchanged},
};

class KillAtRandom : public ::testing::TestWithParam<KillRow> {
protected:
    std::unique_ptr<ChildProcess> start(const KillRow &row)
    {
        auto child = std::make_unique<ChildProcess>(row.program.empty() ? cliPath() : row.program, dir.path(), row.args);
        if (!row.typed.empty())
            child->write(row.typed);
        return child;
    }

    TempDir dir;
};

TEST_P(KillAtRandom, EveryMomentKeepsThePromise)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "too slow under the sanitizers; the plain build runs it";
#endif
    const KillRow &row = GetParam();
    using Clock = std::chrono::steady_clock;

    // One whole run first: the kills fall anywhere within its length.
    row.prepare(dir.path());
    const auto began = Clock::now();
    ASSERT_EQ(start(row)->finish(), 0);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - began).count();
    row.check(dir.path());

    std::mt19937 random(20261208);
    std::uniform_int_distribution<long long> moment(0, whole);
    int midway = 0;
    for (int k = 0; k < kKills && !HasFatalFailure(); ++k) {
        row.prepare(dir.path());
        auto child = start(row);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        midway += child->kill() ? 1 : 0;
        SCOPED_TRACE("kill " + std::to_string(k));
        row.check(dir.path());
    }
    std::printf("%s: %d of %d kills during the run (%lld us whole)\n", row.name, midway, kKills, static_cast<long long>(whole));
    EXPECT_GE(midway, kKills / 5) << "too few kills fell within the run";
}

INSTANTIATE_TEST_SUITE_P(Reliability, KillAtRandom, ::testing::ValuesIn(kRows),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
