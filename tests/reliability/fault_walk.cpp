// SPDX-License-Identifier: GPL-3.0-or-later
#include "fault_walk.h"

#include "support/temp_dir.h"

#include "fileio/io_error.h"
#include "ops/progress.h"
#include "partset/cut_set.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace reliability {

namespace {

namespace fs = std::filesystem;
using testsupport::TempDir;

constexpr SysCall kAllCalls[] = {SysCall::Open,   SysCall::Create,  SysCall::Read,  SysCall::Write,
                                 SysCall::Seek,   SysCall::Stat,    SysCall::Fsync, SysCall::Close,
                                 SysCall::Remove, SysCall::Rename,  SysCall::Mkdir, SysCall::CopyRange,
                                 SysCall::Chmod,  SysCall::Unnamed, SysCall::Link,  SysCall::Map};
static_assert(std::size(kAllCalls) == fileio::kSysCallKinds);

std::string replaceDir(std::string text, const std::string &dir)
{
    const std::string placeholder = "{dir}";
    for (auto at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + dir.size()))
        text.replace(at, placeholder.size(), dir);
    return text;
}

// The report text of an injected fault: a read of nothing is an early end, a write of nothing a
// full disk, any other call "failed" without an errno fails with EIO.
std::string ioText(SysCall call, int err)
{
    if (err == 0 && call == SysCall::Read)
        return fileio::IoError::shortRead().text();
    if (err == 0)
        return fileio::IoError::fromErrno(call == SysCall::Write ? ENOSPC : EIO).text();
    return fileio::IoError::fromErrno(err).text();
}

std::string describe(const Outcome &outcome)
{
    if (!outcome.failed)
        return "no message";
    return std::string(outcome.reported ? "report" : "box") + " \"" + outcome.text + "\"";
}

void expectOutcome(const Expect &expect, const Outcome &outcome, const Injection &injection, const std::string &dir)
{
    switch (expect.kind) {
    case Expect::Kind::Silent:
        EXPECT_FALSE(outcome.failed) << "expected no message, got " << describe(outcome);
        return;
    case Expect::Kind::Report:
        EXPECT_TRUE(outcome.failed && outcome.reported && outcome.text == replaceDir(expect.text, dir))
            << "expected report \"" << replaceDir(expect.text, dir) << "\", got " << describe(outcome);
        return;
    case Expect::Kind::Box:
        EXPECT_TRUE(outcome.failed && !outcome.reported && outcome.text == replaceDir(expect.text, dir))
            << "expected box \"" << replaceDir(expect.text, dir) << "\", got " << describe(outcome);
        return;
    case Expect::Kind::Io: {
        const std::string text = ioText(injection.call, injection.err);
        EXPECT_TRUE(outcome.failed && !outcome.reported && outcome.text == text)
            << "expected box \"" << text << "\", got " << describe(outcome);
        return;
    }
    }
}

bool allowed(const std::string &name, const std::vector<std::string> &mayExist)
{
    for (const std::string &pattern : mayExist) {
        if (!pattern.empty() && pattern.back() == '*') {
            if (name.starts_with(pattern.substr(0, pattern.size() - 1)))
                return true;
        } else if (name == pattern) {
            return true;
        }
    }
    return false;
}

// Nothing may appear in the folder but what the operation's rules name. An output's hidden
// temporary is removed on every failure; only a failed removal can leave one.
void expectOnlyNamedFiles(const std::string &dir, const std::vector<std::string> &mayExist,
                          const std::optional<Injection> &injection)
{
    const bool temporaryMayStay = injection && injection->call == SysCall::Remove;
    for (const auto &entry : fs::recursive_directory_iterator(dir)) {
        const std::string name = fs::relative(entry.path(), dir).string();
        if (temporaryMayStay && entry.path().filename().string().starts_with(".skarvel-"))
            continue;
        EXPECT_TRUE(allowed(name, mayExist)) << "unexpected file " << name;
    }
}

void armBase(const Scenario &scenario)
{
    for (const BaseFault &fault : scenario.base) {
        if (fault.onward)
            fileio::faults::armFrom(fault.call, fault.nth, fault.err);
        else
            fileio::faults::arm(fault.call, fault.nth, fault.err);
    }
}

bool inBase(const Scenario &scenario, SysCall call)
{
    for (const BaseFault &fault : scenario.base) {
        if (fault.call == call)
            return true;
    }
    return false;
}

// One run in a fresh folder; returns its outcome.
Outcome runOnce(const Scenario &scenario, const std::optional<Injection> &injection, long *counts)
{
    TempDir dir;
    scenario.prepare(dir.path());
    const int descriptors = testsupport::openDescriptorCount();
    armBase(scenario);
    if (injection)
        fileio::faults::arm(injection->call, injection->nth, injection->err);
    else
        fileio::faults::resetCounts();
    Outcome outcome;
    {
        testsupport::ScopedCurrentDir here(dir.path());
        outcome = scenario.run(dir.path());
    }
    if (counts) {
        for (SysCall call : kAllCalls)
            counts[static_cast<int>(call)] = fileio::faults::count(call);
    }
    fileio::faults::disarm();
    EXPECT_EQ(testsupport::openDescriptorCount(), descriptors) << "a descriptor was left open";

    if (injection) {
        const auto &steps = scenario.steps.at(injection->call);
        long first = 1;
        for (const Steps &step : steps) {
            if (injection->nth < first + step.calls) {
                SCOPED_TRACE(step.what);
                const Expect &expect = injection->err == 0 && step.atEnd ? *step.atEnd : step.expect;
                expectOutcome(expect, outcome, *injection, dir.path());
                break;
            }
            first += step.calls;
        }
    } else {
        EXPECT_FALSE(outcome.failed) << "the run without a fault failed: " << describe(outcome);
    }
    scenario.check(dir.path(), outcome, injection);
    expectOnlyNamedFiles(dir.path(), scenario.mayExist, injection);
    return outcome;
}

} // namespace

Outcome cutWithTheSet(const ops::CutRequest &request)
{
    ops::NullProgress progress;
    return outcomeOf([&] { static_cast<void>(partset::cutSet(request, progress)); });
}

Scenario namedScenario(const std::string &name, bool faulted, const BaseFault &base)
{
    Scenario s;
    s.name = name;
    if (faulted)
        s.base.push_back(base);
    return s;
}

Expect silent()
{
    return {Expect::Kind::Silent, ""};
}

Expect report(const std::string &text)
{
    return {Expect::Kind::Report, text};
}

Expect box(const std::string &text)
{
    return {Expect::Kind::Box, text};
}

Expect io()
{
    return {Expect::Kind::Io, ""};
}

const char *callName(SysCall call)
{
    switch (call) {
    case SysCall::Open:
        return "open";
    case SysCall::Create:
        return "create";
    case SysCall::Read:
        return "read";
    case SysCall::Write:
        return "write";
    case SysCall::Seek:
        return "seek";
    case SysCall::Stat:
        return "stat";
    case SysCall::Fsync:
        return "fsync";
    case SysCall::Close:
        return "close";
    case SysCall::Remove:
        return "remove";
    case SysCall::Rename:
        return "rename";
    case SysCall::Mkdir:
        return "mkdir";
    case SysCall::CopyRange:
        return "copy_file_range";
    case SysCall::Chmod:
        return "chmod";
    case SysCall::Unnamed:
        return "open an unnamed file";
    case SysCall::Link:
        return "link";
    case SysCall::Map:
        return "mmap";
    }
    return "?";
}

std::vector<int> errnosFor(SysCall call)
{
    switch (call) {
    case SysCall::Read:
        return {EIO, 0};
    case SysCall::Write:
        return {EIO, ENOSPC, 0};
    case SysCall::CopyRange:
        return {EIO, EXDEV, 0};
    case SysCall::Create:
    case SysCall::Unnamed:
    case SysCall::Link:
    case SysCall::Mkdir:
        return {EACCES, ENOSPC, EIO};
    case SysCall::Fsync:
    case SysCall::Close:
        return {EIO, ENOSPC};
    case SysCall::Map:
        return {EINVAL, EFAULT, ENOMEM};
    case SysCall::Open:
    case SysCall::Stat:
    case SysCall::Rename:
    case SysCall::Remove:
    case SysCall::Chmod:
        return {EACCES, EIO};
    case SysCall::Seek:
        return {EIO};
    }
    return {EIO};
}

long walk(const Scenario &scenario)
{
    SCOPED_TRACE(scenario.name);
    long counts[fileio::kSysCallKinds] = {};
    runOnce(scenario, std::nullopt, counts);

    long injected = 0;
    for (SysCall call : kAllCalls) {
        if (inBase(scenario, call))
            continue;
        const long count = counts[static_cast<int>(call)];
        long listed = 0;
        if (const auto it = scenario.steps.find(call); it != scenario.steps.end()) {
            for (const Steps &step : it->second)
                listed += step.calls;
        }
        if (listed != count) {
            ADD_FAILURE() << scenario.name << " makes " << count << " " << callName(call) << " calls; its table lists "
                          << listed;
            continue;
        }
        for (long nth = 1; nth <= count; ++nth) {
            for (int err : errnosFor(call)) {
                SCOPED_TRACE(std::string(callName(call)) + " #" + std::to_string(nth) + " fails with "
                             + (err ? strerrorname_np(err) : "nothing moved"));
                runOnce(scenario, Injection{call, nth, err}, nullptr);
                ++injected;
            }
        }
    }
    return injected;
}

} // namespace reliability
