// SPDX-License-Identifier: GPL-3.0-or-later
// Every long operation killed (SIGKILL) at many random moments: whatever moment it dies at, what
// it promises about its files still holds.
#include "support/child_process.h"
#include "support/temp_dir.h"

#include "digest/checksum_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

constexpr std::size_t kQuarter = std::size_t{8} << 20;
constexpr int kKills = 50;

// The 32 MiB source, its four quarters (the parts p1..p4), a key and the source codified with it.
struct Data {
    Bytes source = patternBytes(4 * kQuarter, 11);
    Bytes key = patternBytes(4096, 12);
    Bytes codified = source;
    std::vector<Bytes> quarters;
    Data()
    {
        for (std::size_t i = 0; i < codified.size(); ++i)
            codified[i] = static_cast<unsigned char>(codified[i] + key[i % key.size()]);
        for (std::size_t q = 0; q < 4; ++q)
            quarters.emplace_back(source.begin() + q * kQuarter, source.begin() + (q + 1) * kQuarter);
    }
};
const Data kData;

void writeInputs(const std::string &dir)
{
    for (int n = 1; n <= 4; ++n) {
        if (!exists(dir + "/p" + std::to_string(n)))
            writeFile(dir + "/p" + std::to_string(n), kData.quarters[n - 1]);
    }
    writeFile(dir + "/info.txt", std::string("p1\r\np2\r\np3\r\np4\r\n"));
}

// The parts with their checksum list, as cut --sha256 writes it: the joins check them as they go.
void writeCheckedInputs(const std::string &dir)
{
    writeInputs(dir);
    std::string list;
    digest::Sha256 whole;
    for (int n = 1; n <= 4; ++n) {
        digest::Sha256 part;
        part.update(kData.quarters[n - 1].data(), kQuarter);
        whole.update(kData.quarters[n - 1].data(), kQuarter);
        list += digest::checksumLine(part.finish(), "p" + std::to_string(n));
    }
    writeFile(dir + "/info.sha256", list + digest::checksumLine(whole.finish(), "source"));
}

void expectInputsUnchanged(const std::string &dir)
{
    for (int n = 1; n <= 4; ++n)
        ASSERT_TRUE(readFile(dir + "/p" + std::to_string(n)) == kData.quarters[n - 1]) << "p" << n << " changed";
}

struct KillRow {
    const char *name;
    std::string program; // "" for skarvel-cli
    std::vector<std::string> args;
    std::string typed;
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
         writeFile(dir + "/data.bin", kData.source);
         writeFile(dir + "/key.bin", kData.key);
     },
     [](const std::string &dir) {
         const Bytes data = readFile(dir + "/data.bin");
         ASSERT_TRUE(data == kData.source || data == kData.codified) << "the data file holds neither";
     }},
    {"CutWithDeleteRemovesTheSourceOnlyAfterWholeParts", "", {"cut", "--count", "4", "--recons", "--delete", "s.bin"}, "",
     [](const std::string &dir) { writeFile(dir + "/s.bin", kData.source); },
     [](const std::string &dir) {
         for (int n = 1; n <= 4 && !exists(dir + "/s.bin"); ++n)
             ASSERT_TRUE(readFile(dir + "/s" + std::to_string(n) + ".bin") == kData.quarters[n - 1])
                 << "the source is gone and part " << n << " is short";
     }},
    {"UniteLeavesItsInputs", "", {"unite", "-o", "out.bin", "p1", "p2", "p3", "p4"}, "", writeInputs,
     expectInputsUnchanged},
    {"TheJoinerLeavesItsInputs", SKARVEL_JOINER, {}, "out.bin\n\n", writeInputs, expectInputsUnchanged},
    {"TheCheckingJoinerLeavesItsInputs", SKARVEL_JOINER, {}, "out.bin\n\n", writeCheckedInputs,
     expectInputsUnchanged},
    {"CheckedUniteLeavesItsInputs", "", {"unite", "-o", "out.bin", "--list", "info.txt"}, "", writeCheckedInputs,
     expectInputsUnchanged},
};

class KillAtRandom : public ::testing::TestWithParam<KillRow> {};

TEST_P(KillAtRandom, EveryMomentKeepsThePromise)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "too slow under the sanitizers; the plain build runs it";
#endif
    const KillRow &row = GetParam();
    TempDir dir;
    const auto start = [&] {
        auto child = std::make_unique<ChildProcess>(row.program.empty() ? cliPath() : row.program, dir.path(), row.args);
        child->write(row.typed);
        return child;
    };
    // One whole run first: the kills fall anywhere within its length.
    row.prepare(dir.path());
    const auto began = std::chrono::steady_clock::now();
    ASSERT_EQ(start()->finish(), 0);
    const auto whole = std::chrono::steady_clock::now() - began;
    row.check(dir.path());

    // Later runs may be faster (a warm cache, a quieter machine): a kill that comes after the end
    // narrows the range the next moments are drawn from.
    std::mt19937 random(20261208);
    long long latest = std::chrono::duration_cast<std::chrono::microseconds>(whole).count();
    int midway = 0;
    for (int k = 0; k < kKills && !HasFatalFailure(); ++k) {
        SCOPED_TRACE("kill " + std::to_string(k));
        row.prepare(dir.path());
        const auto child = start();
        const long long moment = std::uniform_int_distribution<long long>(0, latest)(random);
        std::this_thread::sleep_for(std::chrono::microseconds(moment));
        if (child->kill())
            ++midway;
        else
            latest = std::max<long long>(moment * 3 / 4, 1000);
        row.check(dir.path());
    }
    EXPECT_GE(midway, kKills / 5) << "too few kills fell within the run";
}

INSTANTIATE_TEST_SUITE_P(Reliability, KillAtRandom, ::testing::ValuesIn(kRows),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
