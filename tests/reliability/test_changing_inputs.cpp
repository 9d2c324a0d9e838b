// SPDX-License-Identifier: GPL-3.0-or-later
// An input that changes while it is read, in any of the ways a file can change, fails the run of
// every operation that reads it: nothing takes an output's name, nothing is removed, and the
// failure names the file and says why.
#include "fileio/file.h"
#include "ops/codify.h"
#include "ops/cut.h"
#include "ops/unite.h"
#include "ops/verify_checksum_list.h"

#include "lists/checksum_list.h"

#include "support/outcome.h"
#include "support/recording_progress.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace testsupport;

const Bytes kData = patternBytes(3 << 20, 31); // several blocks, so the change falls midway

// The ways a file changes under a reader.
struct Change {
    const char *name;
    std::function<void(const std::string &path)> apply;
};

const Change kChanges[] = {
    {"appended to", [](const std::string &path) { std::ofstream(path, std::ios::app) << "more"; }},
    {"cut short", [](const std::string &path) { ::truncate(path.c_str(), 1000); }},
    // Written in place, its modification time then set back: only the change time tells.
    {"rewritten, its time set back",
     [](const std::string &path) {
         struct stat before {};
         ::stat(path.c_str(), &before);
         std::fstream(path, std::ios::in | std::ios::out | std::ios::binary).put('X');
         const struct timespec times[2] = {before.st_atim, before.st_mtim};
         ::utimensat(AT_FDCWD, path.c_str(), times, 0);
     }},
};

// The operations, each reading the file "in" of its folder and writing what it writes there.
struct Operation {
    const char *name;
    std::function<void(const std::string &dir, ops::ProgressSink &progress)> run;
    std::vector<std::string> leaves; // what the folder holds after the failure, beside "in"
};

const Operation kOperations[] = {
    {"cut --delete",
     [](const std::string &dir, ops::ProgressSink &progress) {
         ops::CutRequest request;
         request.source = dir + "/in";
         request.mode.count = 3;
         request.deleteSource = true;
         ops::Cut(request, progress);
     },
     {"key"}},
    {"unite",
     [](const std::string &dir, ops::ProgressSink &progress) {
         ops::Unite({dir + "/in", dir + "/key"}, dir + "/out", progress);
     },
     {"key"}},
    {"codify, the data",
     [](const std::string &dir, ops::ProgressSink &progress) {
         ops::Codify(dir + "/in", dir + "/key", ops::CodifyDirection::Add, progress);
     },
     {"key"}},
    {"verify",
     [](const std::string &dir, ops::ProgressSink &progress) {
         digest::Sha256 digest;
         digest.update(kData.data(), kData.size());
         writeFile(dir + "/list", lists::checksumLine(digest.finish(), "in"));
         ops::ListedFile told;
         ASSERT_EQ(ops::verifyChecksumList(
                       dir + "/list", [&](const ops::ListedFile &file) { told = file; }, &progress),
                   0);
         if (told.verdict == ops::ListedFile::Verdict::Unreadable)
             throw fileio::Failure("unreadable", dir + "/in", told.err);
     },
     {"key", "list"}},
};

TEST(ChangingInputs, FailEveryRunThatReadsThem)
{
    for (const Operation &operation : kOperations) {
        for (const Change &change : kChanges) {
            SCOPED_TRACE(std::string(operation.name) + ", " + change.name);
            TempDir dir;
            writeFile(dir.file("in"), kData);
            writeFile(dir.file("key"), patternBytes(100, 7));
            RecordingProgress progress;
            bool changed = false;
            progress.onProgress = [&] {
                if (!std::exchange(changed, true))
                    change.apply(dir.file("in"));
            };
            const Outcome outcome = outcomeOf([&] { operation.run(dir.path(), progress); });
            ASSERT_TRUE(changed);
            EXPECT_TRUE(outcome.failed);
            EXPECT_EQ(outcome.path, dir.file("in"));
            EXPECT_EQ(outcome.reason, "changed while it was read");
            std::vector<std::string> left = operation.leaves;
            left.insert(left.begin(), "in");
            std::sort(left.begin(), left.end());
            EXPECT_EQ(listDir(dir.path()), left) << "an output took its name, or the input was removed";
        }
    }
}

} // namespace
