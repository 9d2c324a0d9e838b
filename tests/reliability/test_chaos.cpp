// SPDX-License-Identifier: GPL-3.0-or-later
// The chaos test: random operations (cut with random options, unite, codify, erase, verify, both
// joiners) on random files of a few MiB, while a random mutator acts on their files and SIGINT,
// SIGTERM or SIGKILL arrive at random moments. After each run the promises of README's "Nothing
// half written, nothing replaced unasked" are checked as six invariants, and a failure names the
// one that broke:
//   I1 an output name holds its old content or a whole, correct new one (one version of each
//      input; a Cut's files all old or all new), keeping the old file's owner, mode and xattrs;
//   I2 the program never changes an input, nor the bystander a mutator's link leads to;
//   I3 nothing is removed that the run was not asked to remove and could remove whole;
//   I4 the exit status says whether it was done (130/143 only after SIGINT/SIGTERM);
//   I5 nothing stray is left (hidden temporaries and buff.vq only after SIGKILL);
//   I6 nothing hangs.
// Its own flags, beside gtest's: --seed=N (printed; a failure names it and its run),
// --duration=SECONDS (30), --run=K (replays run K of the seed until the duration ends) and
// --keep-going (reports every violation, not only the first).
#include "support/temp_dir.h"

#include "digest/sha256.h"
#include "lists/checksum_list.h"
#include "lists/recovery_coder.h"
#include "lists/recovery_header.h"
#include "lists/set_names.h"
#include "lists/sh_joiner.h"
#include "ops/part_name.h"
#include "ops/skip_list.h"
#include "ops/split_plan.h"
#include "partset/recons_image.h"
#include "partset/write_recons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testsupport::Bytes;
using Clock = std::chrono::steady_clock;
using Rng = std::mt19937_64;
using partset::JoinerPlatform;

struct Flags {
    std::uint64_t seed = std::random_device{}();
    double duration = 30;
    long run = -1;
    bool keepGoing = false;
};
Flags g_flags;

constexpr double kLimitSeconds = 60;      // I6: a run on a few MiB that takes longer hangs
constexpr double kWineLimitSeconds = 240; // wine starts slowly on a busy machine
constexpr const char *kBystander = "aside/bystander.bin";
constexpr const char *kAttribute = "user.chaos";

Bytes randomBytes(Rng &rng, std::size_t n)
{
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; i += 8) {
        const std::uint64_t word = rng();
        std::memcpy(bytes.data() + i, &word, std::min<std::size_t>(8, n - i));
    }
    return bytes;
}
Bytes bytesOf(const std::string &text)
{
    return Bytes(text.begin(), text.end());
}
// A mutator's outcome is read back from the file, not from its calls.
void unchecked(long) {}

std::string fileLook(const Bytes &bytes)
{
    return "f" + std::string(bytes.begin(), bytes.end());
}
digest::Sha256Digest sha(const Bytes &bytes)
{
    digest::Sha256 hash;
    hash.update(bytes.data(), bytes.size());
    return hash.finish();
}

// What a name holds, as one text that compares: "-" nothing, "p" a FIFO, "d" a folder, "l" and
// the target for a symbolic link, "f" and the bytes for a file.
std::string look(const std::string &path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return "-";
    if (S_ISLNK(st.st_mode)) {
        char target[4096];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        return "l" + std::string(target, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    }
    if (!S_ISREG(st.st_mode))
        return S_ISFIFO(st.st_mode) ? "p" : S_ISDIR(st.st_mode) ? "d" : "?";
    return fileLook(testsupport::readFile(path));
}

std::string shown(const std::string &look)
{
    const std::string rest = look.substr(1);
    return look == "-"     ? "nothing"
        : look == "p"      ? "a FIFO"
        : look[0] == 'l'   ? "a link to " + rest
        : look[0] != 'f'   ? "a folder or device"
        : look.size() < 80 ? "'" + rest.substr(0, rest.find('\n')) + "'"
                           : "a file of " + std::to_string(rest.size()) + " bytes";
}

struct Attributes {
    mode_t mode = 0;
    uid_t uid = 0;
    gid_t gid = 0;
    std::string xattr;
    bool operator==(const Attributes &) const = default;
};

Attributes attributesOf(const std::string &path)
{
    Attributes a;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0)
        a = {st.st_mode & 07777, st.st_uid, st.st_gid, {}};
    char value[64];
    if (const ssize_t n = ::lgetxattr(path.c_str(), kAttribute, value, sizeof value); n > 0)
        a.xattr.assign(value, static_cast<std::size_t>(n));
    return a;
}

std::string shown(const Attributes &a)
{
    char text[96];
    std::snprintf(text, sizeof text, "mode %04o, owner %u:%u, %s '%s'", a.mode, a.uid, a.gid, kAttribute,
                  a.xattr.c_str());
    return text;
}

// One program run: the run itself, or a second instance of it on the same files.
struct Instance {
    pid_t pid = -1;
    bool ended = false;
    int wait = 0;
    Clock::time_point began, end;
    std::string log; // standard output and errors together
    bool done() const { return ended && WIFEXITED(wait) && WEXITSTATUS(wait) == 0; }
    bool killed() const { return ended && WIFSIGNALED(wait); }
    bool stopped() const { return ended && WIFEXITED(wait) && (WEXITSTATUS(wait) == 130 || WEXITSTATUS(wait) == 143); }
    std::string status() const
    {
        if (!ended)
            return "not started";
        const double ms = std::chrono::duration<double, std::milli>(end - began).count();
        return (WIFSIGNALED(wait) ? "killed by SIG" + std::string(sigabbrev_np(WTERMSIG(wait)))
                                  : "exit " + std::to_string(WEXITSTATUS(wait)))
            + " after " + std::to_string(ms) + " ms";
    }
};

// What a whole run writes: output name and content.
using Contents = std::map<std::string, Bytes>;

// One randomised run: its scene, its command, what the mutator did and how it ended.
struct Trial {
    long index = 0;
    Rng rng;
    std::string dir;
    std::vector<std::string> argv;
    std::string typed;
    std::string scene;                // what was made, for the report
    std::vector<std::string> inputs;  // what the mutators act on
    std::vector<std::string> outputs; // beside those the candidates name
    std::set<std::string> own;        // names the row's check judges alone
    std::set<std::string> removable;  // names the run was asked to remove
    // Every name: what it held before the run, then after each mutation; an input's contents as
    // read through its name, and the first of them the file it leads to now holds.
    std::map<std::string, std::vector<std::string>> looks;
    std::map<std::string, std::vector<Bytes>> versions;
    std::map<std::string, std::size_t> since;
    std::map<std::string, Attributes> attributes; // of the older files under outputs' names
    std::function<std::vector<Contents>(const Trial &)> candidates = [](const Trial &) {
        return std::vector<Contents>{};
    };
    std::function<std::string(const Trial &)> check = [](const Trial &) { return std::string(); };
    bool damaged = false;          // a set damaged before the run: no verified join or verify is 0
    bool mustStayOld = false;      // existing files and no consent to replace them
    bool usageAllowed = false;     // the command line may be refused (exit 2)
    bool fifoBefore = false;       // a FIFO under an input's or output's name from the start
    bool rebuilds = false;         // recovery parts stand in for a part that is no file
    bool followsLinks = false;     // writes in place through a link there from the start
    bool linkedMidway = false;     // such a link came while it ran, perhaps before it opened the file
    bool stopKeepsOutputs = false; // a stop after the outputs took their names leaves them
    double mib = 0;                // the data the run handles, for its expected length
    std::string mutation = "none";
    std::set<std::string> mutated;
    int signal = 0;
    std::string events;
    Instance main, second;
    bool hang = false;
    bool kept = false; // its folder stays, for a look

    std::string path(const std::string &name) const { return dir + "/" + name; }
    bool anyDone() const { return main.done() || second.done(); }
    std::size_t below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); }
    std::size_t within(std::size_t low, std::size_t high) { return low + below(high - low + 1); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng); }
    double between(double low, double high) { return std::uniform_real_distribution<double>(low, high)(rng); }
    Bytes random(std::size_t n) { return randomBytes(rng, n); }
};

void addFile(Trial &t, const std::string &name, const Bytes &bytes)
{
    testsupport::writeFile(t.path(name), bytes);
    t.looks[name] = {fileLook(bytes)};
    t.versions[name] = {bytes};
    t.since[name] = 0;
}

// Gives the file an owner, mode and extended attribute of its own, which a replacement keeps.
void giveAttributes(Trial &t, const std::string &name, bool program = false)
{
    const std::string path = t.path(name);
    static_cast<void>(::chmod(path.c_str(), program ? 0750 : t.chance(0.5) ? 0640 : 0604));
    if (::geteuid() == 0)
        unchecked(::chown(path.c_str(), 1234, 2345));
    static_cast<void>(::setxattr(path.c_str(), kAttribute, "old", 3, 0)); // where the system has them
    t.attributes[name] = attributesOf(path);
}

void addOutput(Trial &t, const std::string &name, bool old)
{
    if (old) {
        addFile(t, name, bytesOf("old " + name + "\n"));
        giveAttributes(t, name,
                       name == lists::kLinuxJoinerName || name == lists::kWindowsJoinerName
                           || name == lists::kShJoinerName);
        t.scene += " old " + name + ";";
    } else {
        t.looks[name] = {"-"};
    }
    t.outputs.push_back(name);
}

// The mutators, each on one name at a drawn moment. One that finds nothing there came too late.
void changeInPlace(Trial &t, const std::string &name, const std::function<void(int, off_t)> &change)
{
    const int fd = ::open(t.path(name).c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 8192) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    change(fd, st.st_size);
    ::fstat(fd, &st);
    Bytes now(static_cast<std::size_t>(st.st_size));
    const ssize_t got = ::pread(fd, now.data(), now.size(), 0);
    ::close(fd);
    now.resize(static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    // A file the run removed or replaced meanwhile took a change that no name shows.
    struct stat named {};
    if (::stat(t.path(name).c_str(), &named) != 0 || named.st_ino != st.st_ino || named.st_dev != st.st_dev)
        return;
    t.versions[name].push_back(now);
    t.looks[name].push_back(fileLook(now));
    t.mutated.insert(name);
}

// Moves the file under the name to NAME.moved, where it must stay as it is.
bool moveAside(Trial &t, const std::string &name)
{
    const std::string moved = name + ".moved";
    if (::rename(t.path(name).c_str(), t.path(moved).c_str()) != 0)
        return false;
    t.looks[moved] = {look(t.path(moved))};
    // The file erase opened may be zeroed under its new name: erase's check judges it.
    if (t.own.contains(name) && t.removable.contains(name))
        t.own.insert(moved);
    t.mutated.insert(name);
    return true;
}

// After a mutator put another file (or none) under the name: what the name holds now.
void replaced(Trial &t, const std::string &name, const Bytes *readable)
{
    t.looks[name].push_back(look(t.path(name)));
    if (readable)
        t.versions[name].push_back(*readable);
    t.since[name] = t.versions[name].size() - (readable ? 1 : 0);
}

using Act = void (*)(Trial &, const std::string &, std::uint64_t);
struct Mutator {
    const char *name;
    bool onOutputs; // may act on an output's name as well as an input's
    Act act;        // none for the second instance, which the driver starts
};

const Mutator kMutators[] = {
    {"append", false,
     [](Trial &t, const std::string &name, std::uint64_t draw) {
         const Bytes more = t.random(1 + draw % 65536);
         changeInPlace(t, name, [&](int fd, off_t size) { unchecked(::pwrite(fd, more.data(), more.size(), size)); });
     }},
    {"truncate", false,
     [](Trial &t, const std::string &name, std::uint64_t draw) {
         changeInPlace(t, name, [&](int fd, off_t size) {
             unchecked(::ftruncate(fd, static_cast<off_t>(draw % static_cast<std::uint64_t>(size))));
         });
     }},
    // The first block, then the last: a reader between the two writes meets neither version.
    {"overwrite", false,
     [](Trial &t, const std::string &name, std::uint64_t) {
         const Bytes block = t.random(4096);
         changeInPlace(t, name, [&](int fd, off_t size) {
             unchecked(::pwrite(fd, block.data(), block.size(), 0));
             unchecked(::pwrite(fd, block.data(), block.size(), size - 4096));
         });
     }},
    {"rename", false,
     [](Trial &t, const std::string &name, std::uint64_t) {
         if (moveAside(t, name))
             replaced(t, name, nullptr);
     }},
    {"link", false,
     [](Trial &t, const std::string &name, std::uint64_t) {
         if (!moveAside(t, name))
             return;
         unchecked(::symlink(kBystander, t.path(name).c_str()));
         const Bytes bystander = t.versions.at(kBystander).front();
         replaced(t, name, &bystander);
     }},
    // Another whole file takes the name, as an editor saving it would.
    {"swap", false,
     [](Trial &t, const std::string &name, std::uint64_t draw) {
         const std::string newcomer = "aside/newcomer.bin";
         const Bytes bytes = t.random(8192 + draw % (std::size_t{1} << 20));
         addFile(t, newcomer, bytes);
         if (!moveAside(t, name) || ::rename(t.path(newcomer).c_str(), t.path(name).c_str()) != 0)
             return;
         t.looks[newcomer].push_back("-");
         replaced(t, name, &bytes);
     }},
    // Under an output's name also where no file was: an input that is gone came too late.
    {"fifo", true,
     [](Trial &t, const std::string &name, std::uint64_t) {
         const bool free = look(t.path(name)) == "-" && std::ranges::count(t.outputs, name) > 0;
         if ((free || moveAside(t, name)) && ::mkfifo(t.path(name).c_str(), 0600) == 0) {
             t.mutated.insert(name);
             replaced(t, name, nullptr);
         }
     }},
    {"second instance", false, nullptr},
};

// Every content a join of the inputs may have, one version of each; with the checksum list's
// digests, only those whose parts and whole match them.
std::vector<Bytes> joins(const Trial &t, const std::vector<std::string> &inputs,
                         const std::vector<digest::Sha256Digest> *listed = nullptr)
{
    std::vector<Bytes> made{Bytes()};
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        std::vector<Bytes> longer;
        for (const Bytes &version : t.versions.at(inputs[i])) {
            if (listed && sha(version) != (*listed)[i])
                continue;
            for (Bytes sofar : made) {
                sofar.insert(sofar.end(), version.begin(), version.end());
                longer.push_back(std::move(sofar));
            }
        }
        made = std::move(longer);
    }
    if (listed)
        std::erase_if(made, [&](const Bytes &whole) { return sha(whole) != listed->back(); });
    return made;
}

// The recovery parts of these parts of `source`, as the format describes them.
std::vector<Bytes> recoveryParts(const std::vector<Bytes> &parts, int perGroup, const Bytes &source)
{
    lists::RecoveryLayout layout{sha(source),
                                 static_cast<std::int64_t>(source.size()),
                                 {},
                                 perGroup,
                                 lists::recoveryGroupCount(static_cast<std::int64_t>(parts.size()), perGroup)};
    for (const Bytes &part : parts)
        layout.partSizes.push_back(static_cast<std::int64_t>(part.size()));
    const auto length = static_cast<std::size_t>(layout.shardLength());
    std::vector<Bytes> made;
    for (int x = 0; x < layout.recoveryCount(); ++x) {
        std::vector<Bytes> padded;
        for (std::size_t i = static_cast<std::size_t>(x / perGroup); i < parts.size();
             i += static_cast<std::size_t>(layout.groups)) {
            padded.push_back(parts[i]);
            padded.back().resize(length);
        }
        const auto k = static_cast<std::ptrdiff_t>(padded.size());
        const lists::GfMatrix a = lists::cauchyMatrix(static_cast<int>(k), perGroup);
        const auto row = a.begin() + (k + x % perGroup) * k;
        lists::PortableCoder coder;
        coder.setRows(static_cast<int>(k), 1, lists::GfMatrix(row, row + k));
        std::vector<const unsigned char *> in;
        for (const Bytes &shard : padded)
            in.push_back(shard.data());
        Bytes file = lists::encodeRecoveryHeader({layout, x});
        const std::size_t header = file.size();
        file.resize(header + length);
        unsigned char *out = file.data() + header;
        coder.code(length, in.data(), &out);
        made.push_back(std::move(file));
    }
    return made;
}

// A set of parts src1.bin... of a file src.bin with info.txt and, when asked, info.sha256 (the
// parts' digests, then the whole file's), damaged before the run when asked.
struct SetScene {
    std::vector<std::string> parts;
    std::vector<digest::Sha256Digest> listed; // then the whole file's, last
    Bytes whole;
};

SetScene makeSet(Trial &t, bool digests, const std::string &damage)
{
    SetScene set;
    std::string list, sums;
    const std::size_t count = t.within(2, 6);
    std::vector<Bytes> bytes;
    for (std::size_t j = 1; j <= count; ++j) {
        const std::string name = "src" + std::to_string(j) + ".bin";
        const Bytes &part = bytes.emplace_back(t.random(t.within(64 << 10, 3 << 20)));
        addFile(t, name, part);
        set.parts.push_back(name);
        set.listed.push_back(sha(part));
        set.whole.insert(set.whole.end(), part.begin(), part.end());
        list += name + "\r\n";
        t.inputs.push_back(name);
        t.mib += static_cast<double>(part.size()) / (1 << 20);
    }
    set.listed.push_back(sha(set.whole));
    if (damage != "outside")
        addFile(t, lists::kPartListName, bytesOf(list));
    t.scene += " " + std::to_string(count) + " parts;";
    if (!digests)
        return set;
    std::vector<digest::Sha256Digest> written = set.listed;
    // With recovery parts, a part that fails its line is rebuilt as it was. (Their list marks
    // the whole file's line, which a list from elsewhere does not.)
    std::string recovery;
    if (damage != "outside" && t.chance(0.3)) {
        const std::vector<Bytes> made = recoveryParts(bytes, 1, set.whole);
        for (std::size_t x = 0; x < made.size(); ++x) {
            const std::string name = lists::recoveryPartName("src.bin", static_cast<int>(x) + 1);
            addFile(t, name, made[x]);
            t.inputs.push_back(name);
            recovery += lists::checksumLine(sha(made[x]), name);
        }
        t.scene += " a recovery part;";
        t.rebuilds = true;
    }
    const std::size_t j = t.below(count);
    if (damage == "part") {
        Bytes damaged = t.versions.at(set.parts[j]).front();
        damaged[t.below(damaged.size())] ^= 0x20;
        addFile(t, set.parts[j], damaged);
        if (!recovery.empty())
            t.versions[set.parts[j]].push_back(bytes[j]);
    } else if (damage == "part line") {
        written[j][0] ^= 1;
    } else if (damage == "whole line") {
        written.back()[0] ^= 1;
    }
    for (std::size_t i = 0; i < count; ++i)
        sums += lists::checksumLine(written[i], set.parts[i]);
    if (!recovery.empty())
        sums += recovery + lists::kWholeFileComment + "\n";
    addFile(t, lists::kChecksumListName, bytesOf(sums + lists::checksumLine(written.back(), "src.bin")));
    set.listed = written;
    t.damaged = !damage.empty();
    t.scene += " info.sha256" + (damage.empty() ? std::string() : ", damaged: " + damage) + ";";
    return set;
}

std::string drawDamage(Trial &t, bool digests)
{
    return digests && t.chance(0.3) ? std::vector{"part", "part line", "whole line"}[t.below(3)] : "";
}

// A join writes out.bin (or new/out.bin, whose folder it makes and takes away again on failure).
void joinOutput(Trial &t, const std::string &out, const SetScene &set, bool verified)
{
    addOutput(t, out, out == "out.bin" && t.chance(0.5));
    t.candidates = [=](const Trial &trial) {
        std::vector<Contents> made;
        for (Bytes &whole : joins(trial, set.parts, verified ? &set.listed : nullptr))
            made.push_back({{out, std::move(whole)}});
        return made;
    };
    t.check = [=](const Trial &trial) {
        if (out.starts_with("new/") && look(trial.path("new")) == "d" && look(trial.path(out)) == "-"
            && !trial.main.killed())
            return std::string("I5: the folder new/ made for the output stays after the join failed");
        return std::string();
    };
}

void prepareUnite(Trial &t)
{
    const SetScene set = makeSet(t, false, "");
    const std::string out = t.chance(0.25) ? "new/out.bin" : "out.bin";
    t.argv = {SKARVEL_CLI, "unite", "-o", out};
    t.argv.insert(t.argv.end(), set.parts.begin(), set.parts.end());
    joinOutput(t, out, set, false);
}

void prepareUniteList(Trial &t)
{
    const bool digests = t.chance(0.75);
    const SetScene set = makeSet(t, digests, drawDamage(t, digests));
    const bool unchecked = digests && t.chance(0.15);
    t.argv = {SKARVEL_CLI, "unite", "-o", "out.bin", "--list", lists::kPartListName};
    if (unchecked)
        t.argv.push_back("--no-verify");
    joinOutput(t, "out.bin", set, digests && !unchecked);
}

void prepareJoiner(Trial &t, std::vector<std::string> argv)
{
    const bool digests = t.chance(0.6);
    const SetScene set = makeSet(t, digests, drawDamage(t, digests));
    t.argv = std::move(argv);
    t.typed = "out.bin\n\n";
    joinOutput(t, "out.bin", set, digests);
}

void prepareVerify(Trial &t)
{
    static const char *const kDamage[] = {"", "", "", "part", "part line", "whole line", "outside"};
    const std::string damage = kDamage[t.below(std::size(kDamage))];
    const SetScene set = makeSet(t, true, damage);
    if (damage == "whole line" || (damage.empty() && t.chance(0.5))) {
        addFile(t, "src.bin", set.whole);
        t.inputs.push_back("src.bin");
    }
    t.argv = {SKARVEL_CLI, "verify"};
    if (t.chance(0.5))
        t.argv.push_back(lists::kChecksumListName);
    // A mutator that takes the whole file away meanwhile makes it one a join has yet to make.
    t.check = [](const Trial &trial) {
        const bool wholeTaken = trial.mutated.contains("src.bin");
        return trial.damaged && !wholeTaken && trial.main.done() ? "I4: verify of a damaged set exited 0" : "";
    };
}

struct CutOptions {
    ops::SplitMode mode;
    std::string skip;
    bool only = false;
    std::string marker;
    bool recons = false;
    std::vector<JoinerPlatform> joiners;
    bool digests = false;
    int recovery = 0; // recovery parts per group
    bool remove = false;
    bool force = false;
};

// What a whole Cut of `source` writes.
Contents cutContents(const CutOptions &o, const Bytes &source)
{
    Contents made;
    ops::SplitPlan plan;
    try {
        plan = ops::MakeSplitPlan(static_cast<std::int64_t>(source.size()), o.mode);
    } catch (...) {
        return made; // a plan the size cannot carry: nothing is written
    }
    const ops::SkipList skip = ops::ParseSkipList(o.skip);
    std::string list, sums;
    lists::ShJoinerSet script{{}, "src.bin", std::nullopt};
    std::vector<Bytes> parts;
    bool complete = true;
    for (std::int64_t n = 1; n <= plan.partCount; ++n) {
        if (skip.contains(n) != o.only) {
            complete = false;
            continue;
        }
        const std::string name = ops::PartFileName("src.bin", o.marker, n);
        const auto from = source.begin() + (n - 1) * plan.partSize;
        made[name] = Bytes(from, from + plan.partLength(n, static_cast<std::int64_t>(source.size())));
        parts.push_back(made[name]);
        list += name + "\r\n";
        sums += lists::checksumLine(sha(made[name]), name);
        script.parts.push_back({name, static_cast<std::int64_t>(made[name].size()), sha(made[name])});
    }
    if (complete)
        script.wholeDigest = sha(source);
    if (o.recons) {
        made[lists::kPartListName] = bytesOf(list);
        for (const JoinerPlatform joiner : o.joiners) {
            const auto image = partset::ReconsImage(joiner);
            made[partset::joinerFileName(joiner)] = joiner == JoinerPlatform::Sh
                ? bytesOf(lists::shJoinerScript(script))
                : Bytes(image.begin(), image.end());
        }
    }
    const std::vector<Bytes> recovery = o.recovery ? recoveryParts(parts, o.recovery, source) : std::vector<Bytes>();
    for (std::size_t x = 0; x < recovery.size(); ++x) {
        const std::string name = lists::recoveryPartName("src.bin", static_cast<int>(x) + 1);
        made[name] = recovery[x];
        sums += lists::checksumLine(sha(made[name]), name);
    }
    if (o.digests) {
        const std::string comment =
            std::string(complete ? lists::kWholeFileComment : lists::kIncompleteSetComment) + "\n";
        made[lists::kChecksumListName] = bytesOf(sums + comment + lists::checksumLine(sha(source), "src.bin"));
    }
    return made;
}

// The cut's own promises about its source and consent; the outputs are the general check's.
std::string checkCut(const Trial &t, const CutOptions &o)
{
    const std::string now = look(t.path("src.bin"));
    const std::string last = t.looks.at("src.bin").back();
    if (o.remove && !o.skip.empty() && !o.force && t.main.done())
        return "I3: cut --delete --skip without -f was not refused";
    if (o.remove && t.main.done() && !t.mutated.contains("src.bin") && now != "-")
        return "I4: exit 0, but the --delete source is still there";
    if (now != "-" || last == "-")
        return "";
    if (last[0] != 'f')
        return "I3: cut --delete removed src.bin, which was " + shown(last);
    if (t.main.stopped() && !t.second.done())
        return "I4: the source was removed although the run was stopped (" + t.main.status() + ")";
    if (!t.anyDone() && !t.main.killed())
        return "I3: the source was removed, yet the run failed (" + t.main.status() + ")";
    const Contents whole = cutContents(o, t.versions.at("src.bin").back());
    for (const auto &[name, bytes] : whole) {
        if (look(t.path(name)) != fileLook(bytes))
            return "I3: the source was removed, but " + name + " does not hold its part of the source's last content";
    }
    return "";
}

void prepareCut(Trial &t)
{
    const Bytes source = t.random(t.within(1 << 20, 12 << 20));
    addFile(t, "src.bin", source);
    t.inputs = {"src.bin"};
    t.mib = static_cast<double>(source.size()) / (1 << 20);
    t.scene = " src.bin of " + std::to_string(source.size()) + " bytes;";
    CutOptions o;
    std::vector<std::string> args{SKARVEL_CLI, "cut"};
    const int count = static_cast<int>(t.within(2, 12));
    if (t.chance(0.5)) {
        const std::size_t unit = t.chance(0.5) ? 1024 : 1;
        o.mode = {true, std::to_string((source.size() / unit + count - 1) / count), unit == 1 ? "byte" : "Kb", 2};
        args.insert(args.end(), {"-s", o.mode.sizeText, "--unit", o.mode.unitText});
    } else {
        o.mode = {false, "", "byte", count};
        args.insert(args.end(), {"-n", std::to_string(count)});
    }
    // Part numbers below the last: every Cut makes a part.
    const auto made =
        static_cast<std::size_t>(ops::MakeSplitPlan(static_cast<std::int64_t>(source.size()), o.mode).partCount);
    const auto partNumber = [&](std::size_t above) { return std::to_string(above + 1 + t.below(made - 1 - above)); };
    if (t.chance(0.1)) {
        o.only = true;
        o.skip = partNumber(0);
        args.insert(args.end(), {"--only", o.skip});
    } else {
        if (t.chance(0.25)) {
            o.skip = partNumber(0);
            if (t.chance(0.5) && std::stoul(o.skip) + 1 < made)
                o.skip += "-" + partNumber(std::stoul(o.skip));
            args.insert(args.end(), {"--skip", o.skip});
        }
        o.recons = t.chance(0.35);
        if (o.skip.empty() && t.chance(0.25)) {
            o.recovery = static_cast<int>(t.within(1, 3));
            args.insert(args.end(), {"--recovery", std::to_string(o.recovery)});
        }
        o.digests = o.recons || o.recovery || t.chance(0.3);
        o.remove = t.chance(0.4);
        if (o.recons) {
            o.joiners = partset::builtJoiners();
            if (t.chance(0.5)) {
                o.joiners = {o.joiners[t.below(o.joiners.size())]};
                const JoinerPlatform one = o.joiners[0];
                args.push_back(one == JoinerPlatform::Sh          ? "--joiner=sh"
                                   : one == JoinerPlatform::Linux ? "--joiner=linux"
                                                                  : "--joiner=windows");
            }
            args.push_back("--recons");
        } else if (o.digests && !o.recovery) {
            args.push_back("--sha256");
        }
        if (o.remove)
            args.push_back("--delete");
    }
    if (t.chance(0.25)) {
        o.marker = t.chance(0.5) ? "_p" : "-part";
        args.insert(args.end(), {"--marker", o.marker});
    }
    o.force = t.chance(0.6);
    if (o.force)
        args.push_back("-f");
    args.push_back("src.bin");
    t.argv = args;

    const bool oldSet = t.chance(0.6);
    bool oldThere = false;
    for (const auto &[name, bytes] : cutContents(o, source)) {
        const bool old = oldSet && t.chance(0.7);
        addOutput(t, name, old);
        oldThere = oldThere || old;
    }
    t.mustStayOld = oldThere && !o.force && !o.only;
    // Refused: --delete with --skip without -f; --only naming no part of a source that a mutator
    // made smaller.
    t.usageAllowed = (o.remove && !o.skip.empty() && !o.force) || o.only;
    // Stopped once the parts have their names, a Cut keeps them and its source.
    t.stopKeepsOutputs = o.remove;
    if (o.remove)
        t.removable = {"src.bin"};
    t.candidates = [o](const Trial &trial) {
        std::vector<Contents> made;
        for (const Bytes &version : trial.versions.at("src.bin"))
            made.push_back(cutContents(o, version));
        return made;
    };
    t.check = [o](const Trial &trial) { return checkCut(trial, o); };
}

// A set cut with recovery parts, some of its files missing or damaged before `repair` runs: the
// names it rebuilds take their bytes as they were, all together, or keep what they held.
void prepareRepair(Trial &t)
{
    const Bytes source = t.random(t.within(256 << 10, 6 << 20));
    CutOptions o;
    o.mode = {false, "", "byte", static_cast<int>(t.within(2, 6))};
    o.digests = true;
    o.recovery = static_cast<int>(t.within(1, 2));
    const Contents set = cutContents(o, source);
    std::vector<std::string> files;
    for (const auto &[name, bytes] : set) {
        addFile(t, name, bytes);
        if (name != lists::kChecksumListName)
            files.push_back(name);
    }
    std::ranges::shuffle(files, t.rng);
    const std::size_t bad = t.below(static_cast<std::size_t>(o.recovery) + 2);
    Contents rebuilt;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string &name = files[i];
        if (i >= bad) {
            t.inputs.push_back(name);
            continue;
        }
        static const char *const kHarm[] = {"missing", "damaged", "truncated", "extended"};
        const std::string harm = kHarm[t.below(std::size(kHarm))];
        Bytes bytes = set.at(name);
        if (harm == "missing") {
            ::unlink(t.path(name).c_str());
            t.looks[name] = {"-"};
            t.versions.erase(name);
        } else {
            if (harm == "damaged")
                bytes[t.below(bytes.size())] ^= 0x40;
            else if (harm == "truncated")
                bytes.resize(t.below(bytes.size()));
            else
                bytes.push_back(0);
            addFile(t, name, bytes);
            giveAttributes(t, name);
        }
        t.outputs.push_back(name);
        rebuilt[name] = set.at(name);
        t.scene += " " + name + " " + harm + ";";
    }
    t.inputs.push_back(lists::kChecksumListName);
    t.argv = {SKARVEL_CLI, "repair"};
    if (t.chance(0.5))
        t.argv.push_back(lists::kChecksumListName);
    t.mib = 2 * static_cast<double>(source.size()) / (1 << 20);
    t.candidates = [rebuilt](const Trial &) { return std::vector<Contents>{rebuilt}; };
    t.check = [set](const Trial &trial) {
        if (!trial.main.done())
            return std::string();
        for (const auto &[name, bytes] : set) {
            if (!trial.mutated.contains(name) && look(trial.path(name)) != fileLook(bytes))
                return "I4: repair exited 0, but " + name + " is not as the set had it";
        }
        return std::string();
    };
}

Bytes codified(Bytes data, const Bytes &key, int sign, int times)
{
    for (std::size_t i = 0; i < data.size() && !key.empty(); ++i)
        data[i] = static_cast<unsigned char>(data[i] + sign * times * key[i % key.size()]);
    return data;
}

// data.bin is input and output: it holds a version of itself codified once per run that said it
// was done (and perhaps once more by a run killed after its rename), or a mutator's last change.
std::string checkCodify(const Trial &t, int sign)
{
    // A link that took the data file's name midway may have come before the run opened it: the
    // file it leads to is then the one codified, at most once per run.
    if (t.linkedMidway) {
        const std::string now = look(t.path(kBystander));
        const Bytes &before = t.versions.at(kBystander).front();
        bool fits = now == fileLook(before);
        for (const Bytes &key : t.versions.at("key.bin")) {
            for (int times = 1; times <= 2 && !fits; ++times)
                fits = now == fileLook(codified(before, key, sign, times));
        }
        if (!fits)
            return std::string("I2: ") + kBystander + " holds " + shown(now) + ", neither itself nor codified";
    }
    // Through a link there from the start, the file it leads to is the data file.
    const std::string data = t.own.contains(kBystander) ? kBystander : "data.bin";
    const std::string now = look(t.path(data));
    const std::vector<std::string> &seen = t.looks.at(data);
    if (seen.size() > 1 && now == seen.back())
        return "";
    const int least = t.main.done() + t.second.done();
    const int most = least + t.main.killed();
    const std::vector<Bytes> &versions = t.versions.at(data);
    for (std::size_t v = t.since.at(data); v < versions.size(); ++v) {
        for (const Bytes &key : t.versions.at("key.bin")) {
            for (int times = least; times <= most; ++times) {
                if (now != fileLook(codified(versions[v], key, sign, times)))
                    continue;
                const Attributes a = attributesOf(t.path(data));
                if (times > 0 && t.since.at(data) == 0 && t.attributes.contains(data) && a != t.attributes.at(data))
                    return "I1: " + data + " was codified without the old file's attributes (before: "
                        + shown(t.attributes.at(data)) + "; now: " + shown(a) + ")";
                return "";
            }
        }
    }
    return std::string(least > 0 ? "I4: exit 0, but " : "I1: ") + data + " holds " + shown(now)
        + ", no version of it codified " + std::to_string(least) + " to " + std::to_string(most) + " times";
}

void prepareCodify(Trial &t)
{
    const Bytes data = t.random(t.within(1 << 20, 12 << 20));
    addFile(t, "data.bin", data);
    giveAttributes(t, "data.bin");
    addFile(t, "key.bin", t.random(t.within(1, 65536)));
    const int sign = t.chance(0.5) ? 1 : -1;
    t.argv = {SKARVEL_CLI, "codify", sign > 0 ? "+" : "-", "data.bin", "key.bin"};
    t.inputs = {"data.bin", "key.bin"};
    t.own = {"data.bin"};
    t.followsLinks = true;
    t.mib = static_cast<double>(data.size()) / (1 << 20);
    t.check = [sign](const Trial &trial) { return checkCodify(trial, sign); };
}

// How many bytes from the start are zero while the rest is as before; npos when it is not so.
std::size_t zeroedPrefix(const std::string &now, const std::string &before)
{
    if (now.size() != before.size() || now[0] != 'f')
        return std::string::npos;
    std::size_t n = now.size();
    while (n > 1 && now[n - 1] == before[n - 1])
        --n;
    return now.find_first_not_of('\0', 1) < n ? std::string::npos : n - 1;
}

// Erase removes only the file it zeroed, and only under a name still leading to it.
std::string checkErase(const Trial &t)
{
    const std::string now = look(t.path("victim.bin"));
    const std::vector<std::string> &seen = t.looks.at("victim.bin");
    const bool removed = now == "-" && seen.back() != "-";
    if (removed && !t.anyDone() && !t.main.killed())
        return "I3: erase removed victim.bin, yet " + t.main.status();
    if (const auto moved = t.looks.find("victim.bin.moved"); moved != t.looks.end()) {
        const bool zeroed = look(t.path(moved->first)) != moved->second.front();
        if (removed && seen.back()[0] != 'f')
            return "I3: erase removed " + shown(seen.back()) + ", put under victim.bin by a mutator";
        if (zeroed && removed)
            return "I3: erase zeroed the file it opened (now victim.bin.moved) but removed the file put in its place";
        if (zeroed && t.main.done())
            return "I4: exit 0, yet the file erase zeroed stays, as victim.bin.moved";
        return "";
    }
    if (t.anyDone() && now != "-")
        return "I4: exit 0, but victim.bin is still there";
    if (now == "-" || t.mutated.contains("victim.bin"))
        return "";
    const std::size_t zeros = zeroedPrefix(now, seen.front());
    if (zeros == std::string::npos)
        return "I1: victim.bin holds " + shown(now) + ", neither its bytes nor zeros then its bytes";
    if (t.main.stopped() && zeros > 0 && t.main.log.find("partly overwritten") == std::string::npos)
        return "I4: erase stopped after " + std::to_string(zeros)
            + " zeros without saying the file is partly overwritten";
    return "";
}

void prepareErase(Trial &t)
{
    const Bytes victim = t.random(t.within(1 << 20, 12 << 20));
    addFile(t, "victim.bin", victim);
    t.argv = {SKARVEL_CLI, "erase", "victim.bin"};
    t.inputs = {"victim.bin"};
    t.own = t.removable = {"victim.bin"};
    t.mib = static_cast<double>(victim.size()) / (1 << 20);
    t.check = checkErase;
}

struct Row {
    const char *name;
    double weight;
    void (*prepare)(Trial &);
    bool quiet = false; // no mutator and no signal: wine is too slow to start for them
};

const Row kRows[] = {
    {"cut", 4, prepareCut},
    {"unite", 1, prepareUnite},
    {"unite --list", 2, prepareUniteList},
    {"recons", 2, [](Trial &t) { prepareJoiner(t, {SKARVEL_JOINER}); }},
    {"codify", 2, prepareCodify},
    {"erase", 2, prepareErase},
    {"verify", 1, prepareVerify},
    {"repair", 1.5, prepareRepair},
    // Quiet, without a display, in the prefix the wine fixture made.
    {"Recons.exe", 0.03,
     [](Trial &t) {
         prepareJoiner(t,
                       {"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "WINEPREFIX=" SKARVEL_WINE_PREFIX,
                        "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml=", SKARVEL_WINE,
                        SKARVEL_WINDOWS_JOINER_EXE});
         t.attributes.clear(); // Windows has no owner, mode or xattrs to keep
     },
     true},
};

// Why the Windows joiner is not run here; empty when it is.
std::string windowsJoinerMissing()
{
    if (std::string(SKARVEL_WINDOWS_JOINER_EXE).empty())
        return "this build has no Windows joiner";
    std::ifstream status(SKARVEL_WINE_PREFIX ".status");
    std::string line;
    if (!std::getline(status, line))
        return "no wine prefix: ctest makes it (the fixture wine)";
    return line == "ready" ? "" : line;
}

void spawn(const Trial &t, Instance &p, const std::string &log)
{
    int in[2];
    if (::pipe2(in, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    std::vector<char *> argv;
    for (const std::string &arg : t.argv)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0)
        throw std::runtime_error("cannot create " + log);
    p.began = Clock::now();
    p.pid = ::fork();
    if (p.pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out, 1);
        ::dup2(out, 2);
        std::signal(SIGPIPE, SIG_DFL);
        if (::chdir(t.dir.c_str()) == 0)
            ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out);
    // A few bytes: they fit into the pipe whenever the program reads them.
    unchecked(::write(in[1], t.typed.data(), t.typed.size()));
    ::close(in[1]);
}

void reap(Instance &p, bool block)
{
    if (p.pid > 0 && !p.ended && ::waitpid(p.pid, &p.wait, block ? 0 : WNOHANG) == p.pid) {
        p.ended = true;
        p.end = Clock::now();
    }
}

struct Event {
    double at; // microseconds after the start; before it when negative
    std::function<void()> act;
};

// Runs the trial's command while the events happen at their moments, those before the start
// first; an event due after the run has ended is dropped.
void drive(Trial &t, std::vector<Event> events, double limitSeconds, const std::string &logs)
{
    std::sort(events.begin(), events.end(), [](const Event &a, const Event &b) { return a.at < b.at; });
    std::size_t next = 0;
    for (; next < events.size() && events[next].at < 0; ++next)
        events[next].act();
    spawn(t, t.main, logs + "-main");
    const auto deadline = t.main.began + std::chrono::duration<double>(limitSeconds);
    while (!(t.main.ended && (t.second.pid < 0 || t.second.ended))) {
        const double now = std::chrono::duration<double, std::micro>(Clock::now() - t.main.began).count();
        reap(t.main, false);
        for (; !t.main.ended && next < events.size() && events[next].at <= now; ++next)
            events[next].act();
        reap(t.second, false);
        if (Clock::now() > deadline) {
            t.hang = true;
            for (Instance *p : {&t.main, &t.second}) {
                if (p->pid > 0 && !p->ended) {
                    ::kill(p->pid, SIGKILL);
                    reap(*p, true);
                }
            }
        }
        const double wait = next < events.size() && !t.main.ended ? std::clamp(events[next].at - now, 0.0, 200.0) : 200;
        std::this_thread::sleep_for(std::chrono::duration<double, std::micro>(wait));
    }
    for (Instance *p : {&t.main, &t.second}) {
        if (p->pid > 0)
            p->log = testsupport::readText(logs + (p == &t.main ? "-main" : "-second"));
    }
}

std::string checkStatus(const Trial &t, const Instance &p, const char *which)
{
    if (!p.ended)
        return "";
    const std::string what = std::string("I4: the ") + which + " ";
    if (p.killed())
        return &p == &t.main && WTERMSIG(p.wait) == t.signal ? "" : what + "ended: " + p.status();
    const int code = WEXITSTATUS(p.wait);
    if (code == 0 || code == 1 || (code == 2 && t.usageAllowed))
        return "";
    if (&p == &t.main && ((code == 130 && t.signal == SIGINT) || (code == 143 && t.signal == SIGTERM)))
        return "";
    return what + "ended with exit status " + std::to_string(code) + " after signal " + std::to_string(t.signal);
}

// The outputs, all together: each as before, or all whole and new from one version of the inputs.
std::string checkOutputs(const Trial &t, const std::vector<Contents> &candidates, const std::set<std::string> &names)
{
    if (names.empty())
        return "";
    std::map<std::string, std::string> now;
    for (const std::string &name : names)
        now[name] = look(t.path(name));
    std::set<std::string> hidden; // what the temporaries a kill left hold
    for (const auto &entry : fs::directory_iterator(t.dir)) {
        if (entry.path().filename().string().starts_with(".skarvel-"))
            hidden.insert(look(entry.path()));
    }
    const auto old = [&](const std::string &name) {
        const auto seen = t.looks.find(name);
        return seen != t.looks.end() ? std::ranges::count(seen->second, now[name]) > 0 : now[name] == "-";
    };
    // A kill while the names are taken one by one leaves the rest in hidden temporaries.
    const auto fits = [&](const Contents &c, bool renaming) {
        return std::ranges::all_of(names, [&](const std::string &name) {
            const auto made = c.find(name);
            if (made == c.end())
                return old(name);
            return now[name] == fileLook(made->second)
                || (renaming && old(name) && hidden.contains(fileLook(made->second)));
        });
    };
    const bool allOld = std::ranges::all_of(names, old);
    const auto whole = std::ranges::find_if(candidates, [&](const Contents &c) { return fits(c, false); });
    std::string state;
    for (const std::string &name : names) {
        const bool isNew = std::ranges::any_of(
            candidates, [&](const Contents &c) { return c.contains(name) && now[name] == fileLook(c.at(name)); });
        state += " " + name + ": " + (old(name) ? "old" : isNew ? "new" : shown(now[name])) + ";";
    }
    // A source made smaller before the start makes fewer parts, none of them there before.
    if (t.mustStayOld && !allOld && !t.mutated.contains("src.bin"))
        return "I1: files were replaced without -f:" + state;
    if (allOld && whole == candidates.end())
        return t.anyDone() ? "I4: exit 0, but the outputs are as before:" + state : "";
    if (whole != candidates.end()) {
        // New bytes equal to the old ones do not tell whether a stopped run named them.
        if (!allOld && t.main.stopped() && !t.second.done() && !t.stopKeepsOutputs)
            return "I4: " + t.main.status() + ", yet the outputs are new:" + state;
        return "";
    }
    if (t.main.killed() && std::ranges::any_of(candidates, [&](const Contents &c) { return fits(c, true); }))
        return "";
    return std::string(t.anyDone() ? "I4: exit 0, but" : "I1:")
        + " the outputs are neither all old nor all whole and new:" + state;
}

// The one checker: the invariants every run keeps, then the row's own.
std::string checkRun(const Trial &t)
{
    if (t.hang)
        return "I6: no end within the time limit";
    for (const auto &[p, which] : {std::pair{&t.main, "run"}, std::pair{&t.second, "second instance"}}) {
        if (std::string broken = checkStatus(t, *p, which); !broken.empty())
            return broken;
    }
    if (t.fifoBefore && t.main.done() && !t.rebuilds)
        return "I4: a FIFO stood under a name from the start, yet the run exited 0";
    const std::vector<Contents> candidates = t.candidates(t);
    std::set<std::string> outputs(t.outputs.begin(), t.outputs.end());
    for (const Contents &c : candidates) {
        for (const auto &[name, bytes] : c)
            outputs.insert(name);
    }
    for (const auto &[name, seen] : t.looks) {
        if (outputs.contains(name) || t.own.contains(name) || (t.linkedMidway && name == kBystander))
            continue;
        const std::string now = look(t.path(name));
        if (now == "-" && seen.back() != "-" && !t.removable.contains(name))
            return "I3: " + name + " was removed";
        if (now != "-" && std::ranges::count(seen, now) == 0)
            return "I2: " + name + (name == kBystander ? " (the bystander)" : "") + " changed: it holds " + shown(now)
                + ", before " + shown(seen.front());
    }
    if (std::string broken = checkOutputs(t, candidates, outputs); !broken.empty())
        return broken;
    if (std::string broken = t.check(t); !broken.empty())
        return broken;
    const bool killed = t.main.killed();
    for (const auto &entry : fs::recursive_directory_iterator(t.dir)) {
        const std::string name = entry.path().lexically_relative(t.dir).string();
        const std::string leaf = entry.path().filename().string();
        if (entry.is_directory() || t.looks.contains(name) || outputs.contains(name)
            || (killed && (leaf.starts_with(".skarvel-") || leaf == "buff.vq")))
            continue;
        return "I5: " + name + " is left in the folder";
    }
    // Last, as the least harm: a file replaced whole, but not as the file it replaced was.
    for (const auto &[name, attributes] : t.attributes) {
        const std::string now = look(t.path(name));
        if (outputs.contains(name) && now[0] == 'f' && std::ranges::count(t.looks.at(name), now) == 0
            && attributesOf(t.path(name)) != attributes)
            return "I1: " + name + " was replaced without the old file's attributes (before: " + shown(attributes)
                + "; now: " + shown(attributesOf(t.path(name))) + ")";
    }
    return "";
}

std::string commandLine(const Trial &t)
{
    std::string line = fs::path(t.argv.front()).filename().string();
    for (std::size_t i = 1; i < t.argv.size(); ++i)
        line += " " + (t.argv[i].find(' ') != std::string::npos ? "'" + t.argv[i] + "'" : t.argv[i]);
    return line;
}

std::string report(const Trial &t, const std::string &broken)
{
    std::string text = broken + "\n  run " + std::to_string(t.index) + " of seed " + std::to_string(g_flags.seed)
        + " (again: test_chaos --seed=" + std::to_string(g_flags.seed) + " --run=" + std::to_string(t.index) + ")"
        + "\n  command: " + commandLine(t) + (t.kept ? "\n  kept in: " + t.dir : "") + "\n  scene:" + t.scene
        + "\n  events: " + (t.events.empty() ? "none" : t.events) + "\n  mutation: " + t.mutation
        + "\n  ended: " + t.main.status() + "\n  it said: " + t.main.log.substr(0, 600);
    if (t.second.pid > 0)
        text += "\n  second instance: " + t.second.status() + "; it said: " + t.second.log.substr(0, 300);
    return text;
}

class Chaos : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "skarvel-chaos-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
    }
    void TearDown() override
    {
        if (!HasFailure())
            fs::remove_all(m_root);
    }

    // One run: its scene from the seed and its index, its events drawn as fractions of the
    // measured length of the row's runs.
    std::string runOnce(long index, const Row &row, bool calm, Trial &t)
    {
        std::seed_seq seeds{g_flags.seed, static_cast<std::uint64_t>(index)};
        t.rng.seed(seeds);
        t.index = index;
        t.dir = m_root + "/run-" + std::to_string(index);
        fs::remove_all(t.dir);
        fs::create_directories(t.dir + "/aside");
        addFile(t, kBystander, t.random(65536));
        row.prepare(t);
        const double expected = m_usPerMiB.contains(row.name) ? m_usPerMiB[row.name] * t.mib : 0;
        std::vector<Event> events;
        const auto at = [&](double fraction, const std::string &what) {
            t.events += what + " at " + std::to_string(fraction).substr(0, 5) + " of " + std::to_string(expected / 1000)
                + " ms; ";
            return fraction * expected;
        };
        if (!calm && !row.quiet && t.chance(0.75)) {
            const Mutator &m = kMutators[t.below(std::size(kMutators))];
            std::vector<std::string> targets = t.inputs;
            if (m.onOutputs)
                targets.insert(targets.end(), t.outputs.begin(), t.outputs.end());
            const std::string name = targets[t.below(targets.size())];
            const std::uint64_t draw = t.rng();
            // An output's name is taken before the start: later, the mutator would move the run's own
            // new file aside.
            const double fraction = t.between(-0.15, 1.1);
            const bool output = std::ranges::count(t.inputs, name) == 0;
            const double when = at(output ? -0.1 : fraction, std::string(m.name) + (m.act ? " on " + name : ""));
            events.push_back({when, [&t, &m, name, draw, when, this] {
                                  t.mutation = std::string(m.name) + (when < 0 ? " before the start" : " midway");
                                  if (!m.act)
                                      return spawn(t, t.second, m_root + "/log-" + std::to_string(t.index) + "-second");
                                  const std::size_t before = t.looks[name].size();
                                  m.act(t, name, draw);
                                  if (t.looks[name].size() == before)
                                      t.mutation += ", too late: nothing there";
                                  t.fifoBefore = t.fifoBefore || (when < 0 && look(t.path(name)) == "p");
                                  if (t.followsLinks && t.own.contains(name) && look(t.path(name))[0] == 'l') {
                                      if (when < 0)
                                          t.own.insert(kBystander);
                                      else
                                          t.linkedMidway = true;
                                  }
                              }});
        }
        if (!calm && !row.quiet && t.chance(0.7)) {
            static const int kSignals[] = {SIGINT, SIGTERM, SIGKILL};
            t.signal = kSignals[t.below(3)];
            events.push_back({at(t.between(0.02, 1.1), "SIG" + std::string(sigabbrev_np(t.signal))), [&t] {
                                  if (!t.main.ended)
                                      ::kill(t.main.pid, t.signal);
                              }});
        }
        drive(t, events, row.quiet ? kWineLimitSeconds : kLimitSeconds, m_root + "/log-" + std::to_string(index));
        if (events.empty() && t.main.ended && t.mib > 0) {
            // Runs get faster with a warm cache, slower on a busy machine: the measure follows.
            const double us = std::chrono::duration<double, std::micro>(t.main.end - t.main.began).count() / t.mib;
            m_usPerMiB[row.name] = m_usPerMiB.contains(row.name) ? 0.7 * m_usPerMiB[row.name] + 0.3 * us : us;
        }
        std::string broken = checkRun(t);
        // The folder of the first violation stays for a look; the others would fill the disk.
        t.kept = !broken.empty() && !m_kept;
        m_kept = m_kept || t.kept;
        if (!t.kept)
            fs::remove_all(t.dir);
        return broken;
    }

    std::string m_root;
    bool m_kept = false;
    std::map<std::string, double> m_usPerMiB; // each row's undisturbed runs, per MiB they handle
};

TEST_F(Chaos, RandomRunsKeepThePromises)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "too slow under the sanitizers; the plain build runs it";
#endif
    std::printf("chaos: --seed=%llu --duration=%g\n", static_cast<unsigned long long>(g_flags.seed), g_flags.duration);
    const std::string noWine = windowsJoinerMissing();
    if (!noWine.empty())
        std::printf("chaos: the Windows joiner is not run: %s\n", noWine.c_str());
    const auto weightOf = [&](const Row &row) { return row.quiet && !noWine.empty() ? 0 : row.weight; };
    double total = 0;
    for (const Row &row : kRows)
        total += weightOf(row);
    const auto end = Clock::now() + std::chrono::duration<double>(g_flags.duration);
    const long calibration = static_cast<long>(std::size(kRows));
    // The first runs measure each row once, undisturbed; the later ones draw their row.
    const auto rowOf = [&](long k) {
        if (k < calibration)
            return &kRows[k];
        std::seed_seq seeds{g_flags.seed, static_cast<std::uint64_t>(k), std::uint64_t{1}};
        Rng rng(seeds);
        double pick = std::uniform_real_distribution<double>(0, total)(rng);
        for (const Row &row : kRows) {
            if ((pick -= weightOf(row)) < 0)
                return &row;
        }
        return &kRows[0];
    };
    std::map<std::string, int> runs, midway;
    int violations = 0;
    for (long index = 0; index < calibration || Clock::now() < end; ++index) {
        const long k = index < calibration || g_flags.run < 0 ? index : g_flags.run;
        const Row *row = rowOf(k);
        if (weightOf(*row) == 0)
            continue;
        Trial t;
        const std::string broken = runOnce(k, *row, k < calibration, t);
        ++runs[row->name];
        midway[row->name] += t.main.killed() || t.main.stopped();
        if (broken.empty())
            continue;
        ++violations;
        ADD_FAILURE() << report(t, broken);
        if (!g_flags.keepGoing)
            return;
    }
    for (const auto &[name, count] : runs)
        std::printf("chaos: %-12s %4d runs, %3d ended by a signal midway\n", name.c_str(), count, midway[name]);
    std::printf("chaos: seed %llu, %d violations\n", static_cast<unsigned long long>(g_flags.seed), violations);
}

} // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    std::signal(SIGPIPE, SIG_IGN); // a program that ends before it reads its input
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const std::string value = arg.substr(arg.find('=') + 1);
        if (arg.starts_with("--seed="))
            g_flags.seed = std::stoull(value);
        else if (arg.starts_with("--duration="))
            g_flags.duration = std::stod(value);
        else if (arg.starts_with("--run="))
            g_flags.run = std::stol(value);
        else if (arg == "--keep-going")
            g_flags.keepGoing = true;
        else {
            std::fprintf(stderr, "test_chaos: unknown option '%s' (--seed=N --duration=SECONDS --run=K --keep-going)\n",
                         arg.c_str());
            return 2;
        }
    }
    return RUN_ALL_TESTS();
}
