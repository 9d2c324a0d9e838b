// SPDX-License-Identifier: GPL-3.0-or-later
// Every long operation killed (SIGKILL), or stopped by Ctrl-C (SIGINT), at many random moments:
// whatever moment it ends at, what it promises about its files still holds.
#include "support/child_process.h"
#include "support/temp_dir.h"

#include "lists/checksum_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <csignal>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <thread>

namespace {

using namespace testsupport;
namespace fs = std::filesystem;

constexpr std::size_t kQuarter = std::size_t{4} << 20;
// Each row kills at least kKills times and goes on, up to kMaxKills, until kMidway of them fell
// while it worked: on a busy machine more moments miss.
constexpr int kKills = 50;
constexpr int kMidway = kKills / 2;
constexpr int kMaxKills = 3 * kKills;
// A program has begun its work once it has read more than its start-up does (about 10 KiB: the
// loader, the typed answers, the lists); every row reads 16 MiB.
constexpr long long kStartupReads = 64 << 10;

// The 16 MiB source, its four quarters (the parts p1..p4), a key and the source codified with it.
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
        list += lists::checksumLine(part.finish(), "p" + std::to_string(n));
    }
    writeFile(dir + "/info.sha256", list + lists::checksumLine(whole.finish(), "source"));
}

// What each output's name holds before a run: an older file, which only a whole output replaces.
std::string oldText(const std::string &name)
{
    return "old " + name;
}

// A run stopped by a signal it catches exits with this status; the whole first run with 0. A run
// killed outright has none.
constexpr int kStopped = 130;
constexpr int kKilled = -1;

// A join, killed or stopped, leaves its inputs; stopped, it also leaves the older output.
void expectInputsUnchanged(const std::string &dir, int status)
{
    for (int n = 1; n <= 4; ++n)
        ASSERT_TRUE(readFile(dir + "/p" + std::to_string(n)) == kData.quarters[n - 1]) << "p" << n << " changed";
    if (status == kStopped) {
        ASSERT_EQ(readText(dir + "/out.bin"), oldText("out.bin")) << "a stopped join replaced its output";
    }
}

struct KillRow {
    const char *name;
    std::string program; // "" for skarvel-cli
    std::vector<std::string> args;
    std::string typed;
    std::function<void(const std::string &dir)> prepare;
    // Every moment keeps them either old or whole, as the first whole run left them.
    std::vector<std::string> outputs;
    // Checks the promise of the row, given how the run ended.
    std::function<void(const std::string &dir, int status)> check;
    int signal = SIGKILL;
};

void PrintTo(const KillRow &row, std::ostream *out)
{
    *out << row.name;
}

const std::vector<std::string> kJoined = {"out.bin"};
const std::vector<std::string> kParts = {"s1.bin", "s2.bin", "s3.bin", "s4.bin"};
const std::vector<std::string> kSet = {"s1.bin",   "s2.bin",      "s3.bin",     "s4.bin",
                                       "info.txt", "info.sha256", "Recons.exe", "recons"};

void writeSource(const std::string &dir)
{
    writeFile(dir + "/s.bin", kData.source);
}

// With --delete the source goes only once every file made is whole; stopped, it stays.
void expectSourceOrWholeParts(const std::string &dir, int status)
{
    if (status == kStopped) {
        ASSERT_TRUE(exists(dir + "/s.bin")) << "a stopped Cut removed its source";
    }
    if (exists(dir + "/s.bin")) {
        ASSERT_TRUE(readFile(dir + "/s.bin") == kData.source) << "the source changed";
        return;
    }
    for (int n = 1; n <= 4; ++n)
        ASSERT_TRUE(readFile(dir + "/s" + std::to_string(n) + ".bin") == kData.quarters[n - 1])
            << "the source is gone and part " << n << " is short";
    for (const std::string &name : kSet) {
        if (exists(dir + "/" + name)) {
            ASSERT_NE(readText(dir + "/" + name), oldText(name)) << "the source is gone and " << name << " is old";
        }
    }
}

// A set of four parts and a recovery part, cut once; each run finds its part s2.bin damaged.
void writeRecoverySet(const std::string &dir)
{
    if (exists(dir + "/s.bin.rec1"))
        return;
    writeSource(dir);
    ChildProcess cut(cliPath(), dir, {"cut", "--count", "4", "--recovery", "1", "s.bin"});
    ASSERT_EQ(cut.finish(), 0) << cut.errors();
}

// Repair replaces the damaged part with a whole one or leaves it; the others stay as they were.
void expectOtherPartsUnchanged(const std::string &dir, int)
{
    for (const int n : {1, 3, 4})
        ASSERT_TRUE(readFile(dir + "/s" + std::to_string(n) + ".bin") == kData.quarters[n - 1]) << "s" << n;
}

const KillRow kRows[] = {
    {"CodifyLeavesTheOldOrTheNewBytes",
     "",
     {"codify", "+", "data.bin", "key.bin"},
     "",
     [](const std::string &dir) {
         writeFile(dir + "/data.bin", kData.source);
         writeFile(dir + "/key.bin", kData.key);
         // A killed Codify leaves its buff.vq, which the next one refuses to touch.
         fs::remove(dir + "/buff.vq");
     },
     {},
     [](const std::string &dir, int) {
         const Bytes data = readFile(dir + "/data.bin");
         ASSERT_TRUE(data == kData.source || data == kData.codified) << "the data file holds neither";
     }},
    {"CutWithDeleteRemovesTheSourceOnlyAfterWholeParts",
     "",
     {"cut", "--count", "4", "--recons", "--delete", "-f", "s.bin"},
     "",
     writeSource,
     kSet,
     expectSourceOrWholeParts},
    {"UniteLeavesItsInputs",
     "",
     {"unite", "-o", "out.bin", "p1", "p2", "p3", "p4"},
     "",
     writeInputs,
     kJoined,
     expectInputsUnchanged},
    {"TheJoinerLeavesItsInputs", SKARVEL_JOINER, {}, "out.bin\n\n", writeInputs, kJoined, expectInputsUnchanged},
    {"TheCheckingJoinerLeavesItsInputs",
     SKARVEL_JOINER,
     {},
     "out.bin\n\n",
     writeCheckedInputs,
     kJoined,
     expectInputsUnchanged},
    {"CheckedUniteLeavesItsInputs",
     "",
     {"unite", "-o", "out.bin", "--list", "info.txt"},
     "",
     writeCheckedInputs,
     kJoined,
     expectInputsUnchanged},
    // Ctrl-C: the command line stops between blocks and exits 130, its inputs whole.
    {"InterruptedUniteLeavesItsInputs",
     "",
     {"unite", "-o", "out.bin", "p1", "p2", "p3", "p4"},
     "",
     writeInputs,
     kJoined,
     expectInputsUnchanged,
     SIGINT},
    {"InterruptedCutWithDeleteKeepsTheSource",
     "",
     {"cut", "--count", "4", "--delete", "-f", "s.bin"},
     "",
     writeSource,
     kParts,
     expectSourceOrWholeParts,
     SIGINT},
    {"InterruptedRepairMendsThePartOrLeavesIt",
     "",
     {"repair"},
     "",
     writeRecoverySet,
     {"s2.bin"},
     expectOtherPartsUnchanged,
     SIGINT},
};

// Waits until the program has read more than any start-up does, that is begun its work (at once
// where the system does not say what it read); false when it ended before.
bool waitUntilWorking(ChildProcess &child)
{
    while (child.stillRunning(0)) {
        std::ifstream io("/proc/" + std::to_string(child.pid()) + "/io");
        std::string key;
        long long read = 0;
        while (io >> key >> read && key != "rchar:") {
        }
        if (!io || read >= kStartupReads)
            return true;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
}

class KillAtRandom : public ::testing::TestWithParam<KillRow> {};

TEST_P(KillAtRandom, EveryMomentKeepsThePromise)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "too slow under the sanitizers; the plain build runs it";
#endif
    const KillRow &row = GetParam();
    TempDir dir;
    const auto prepare = [&] {
        row.prepare(dir.path());
        for (const std::string &name : row.outputs)
            writeFile(dir.file(name), oldText(name));
    };
    const auto start = [&] {
        auto child =
            std::make_unique<ChildProcess>(row.program.empty() ? cliPath() : row.program, dir.path(), row.args);
        child->write(row.typed);
        return child;
    };
    // One whole run first: it measures how long the work takes once begun, and what it leaves is
    // what a whole output is.
    prepare();
    const auto started = std::chrono::steady_clock::now();
    const auto first = start();
    const auto began = waitUntilWorking(*first) ? std::chrono::steady_clock::now() : started;
    ASSERT_EQ(first->finish(), 0);
    const auto whole = std::chrono::steady_clock::now() - began;
    long long latest = std::max<long long>(std::chrono::duration_cast<std::chrono::microseconds>(whole).count(), 1000);
    row.check(dir.path(), 0);
    std::map<std::string, Bytes> made;
    for (const std::string &name : row.outputs)
        made[name] = readFile(dir.file(name));

    // Each moment is drawn from when that run has begun its work. The machine's pace changes as
    // the runs go (a warm cache, other work beside them): a kill that comes after the end narrows
    // the range, one within the run widens it, so that the moments follow the runs.
    std::mt19937 random(20261208);
    int kills = 0;
    int midway = 0;
    for (; kills < kMaxKills && (kills < kKills || midway < kMidway) && !HasFatalFailure(); ++kills) {
        SCOPED_TRACE("kill " + std::to_string(kills));
        prepare();
        const auto child = start();
        const bool working = waitUntilWorking(*child);
        const long long moment = std::uniform_int_distribution<long long>(0, latest)(random);
        if (working)
            std::this_thread::sleep_for(std::chrono::microseconds(moment));
        int status = kKilled;
        bool during = false;
        if (row.signal == SIGKILL) {
            during = child->kill();
        } else {
            // 130 without the program's word on it: the signal came before it could catch it.
            status = child->stop(row.signal);
            ASSERT_TRUE(status == 0 || status == kStopped) << "exit status " << status << ": " << child->errors();
            during = child->errors().find("stopped") != std::string::npos;
        }
        if (during) {
            ++midway;
            latest += latest / 8;
        } else if (working) {
            latest = std::max<long long>(moment * 3 / 4, 1000);
        }
        for (const std::string &name : row.outputs) {
            const Bytes now = readFile(dir.file(name));
            const std::string old = oldText(name);
            ASSERT_TRUE(now == made[name] || now == Bytes(old.begin(), old.end()))
                << name << " is neither old nor whole";
        }
        row.check(dir.path(), status);
    }
    std::printf("%s: %d of %d within the run\n", row.name, midway, kills);
    EXPECT_GE(midway, kMidway) << "too few kills fell within the run";
}

INSTANTIATE_TEST_SUITE_P(Reliability, KillAtRandom, ::testing::ValuesIn(kRows),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
