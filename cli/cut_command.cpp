// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"
#include "failure_line.h"
#include "run_operation.h"
#include "terminal_progress.h"

#include "ops/cut.h"
#include "fileio/failure.h"
#include "lists/recovery_header.h"
#include "ops/size_preset.h"
#include "ops/skip_list.h"
#include "partset/cut_set.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <optional>

namespace cli {

namespace {

constexpr OptionSpec kOptions[] = {
    {"count", 'n', true},  {"size", 's', true},  {"unit", 0, true, "byte Kb Mb"},
    {"skip", 0, true},     {"marker", 0, true},  {"names", 0, true, "001"},
    {"recons", 0, false},  {"delete", 0, false}, {"sha256", 0, false},
    {"recovery", 0, true}, {"only", 0, true},    {"joiner", 0, true, "all both linux windows sh"},
    {"force", 'f', false}, {"name", 0, true},    {"dir", 0, true, nullptr, true},
};

// The operand that means standard input, as it does to every Unix tool.
constexpr const char *kStandardInput = "-";

// How many existing files a refusal names before it counts the rest.
constexpr std::size_t kNamedExisting = 5;

// The whole decimal number `text` holds when it is one from low to high: no sign, no blanks.
std::optional<std::int32_t> wholeNumber(const std::string &text, std::int32_t low, std::int32_t high)
{
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

// Unlike the window's spin box, which keeps its number within range, a count out of range is
// refused: parts the user did not ask for would be made.
std::int32_t partCount(const std::string &text)
{
    const std::optional<std::int32_t> count = wholeNumber(text, ops::kMinPartCount, ops::kMaxPartCount);
    if (!count)
        throw UsageError("invalid --count '" + text + "': give a whole number from "
                         + std::to_string(ops::kMinPartCount) + " to " + std::to_string(ops::kMaxPartCount));
    return *count;
}

// The window cuts by count when its size field is empty or 0, and fails only once the cut has
// begun when the text is no number; asked for parts of a size, the command line refuses such a
// size before anything is touched.
std::int32_t sizeNumber(const std::string &text)
{
    const std::optional<std::int32_t> size = wholeNumber(text, 1, std::numeric_limits<std::int32_t>::max());
    if (!size)
        throw UsageError("invalid --size '" + text
                         + "': give a whole number from 1 to 2147483647 or a preset such as fat32 (--help lists them)");
    return *size;
}

// One of the window's units, letter case aside ("kb" and "KB" are "Kb"); the window's box turns
// any other text into "byte", which here would quietly make parts 1024 times too small.
ops::SizeUnit sizeUnit(const std::string &text)
{
    if (const std::optional<ops::SizeUnit> unit = ops::unitNamed(text, true))
        return *unit;
    throw UsageError("invalid --unit '" + text + "': give byte, Kb or Mb");
}

// A part list as --skip and --only take it; a number that is no 32-bit number is refused before
// anything is touched, as a bad --size is. Nothing named, for --only, makes nothing.
ops::SkipList partNumbers(const char *option, const std::string &text)
{
    ops::SkipList numbers;
    try {
        numbers = ops::ParseSkipList(text);
    } catch (const fileio::Failure &failure) {
        throw UsageError("invalid --" + std::string(option) + " '" + text + "': " + failure.text());
    }
    if (numbers.empty() && std::string_view(option) == "only")
        throw UsageError("invalid --only '" + text + "': it names no part to make");
    return numbers;
}

// Standard input is cut by size into every part, named as --name would be, in --dir or here.
void takeStandardInput(const Arguments &args, ops::CutRequest &request)
{
    const std::optional<std::string> name = args.value("name");
    const std::optional<std::string> dir = args.value("dir");
    if (args.operands().front() != kStandardInput) {
        if (name || dir)
            throw UsageError("--name and --dir go with - (standard input) as SOURCE");
        return;
    }
    if (!args.value("size") || args.value("count"))
        throw UsageError("cut - cuts by --size only: the size of standard input is known at its end");
    if (args.value("recovery"))
        throw UsageError("cut - does not go with --recovery: its parts are coded from a file's");
    if (args.value("skip") || args.value("only") || args.flag("delete") || args.value("names"))
        throw UsageError("cut - goes with none of --skip, --only, --delete and --names");
    if (!name || name->empty() || *name == "." || *name == ".." || name->find('/') != std::string::npos)
        throw UsageError("cut - needs --name NAME, the file name its parts are named after (--dir the folder)");
    request.source = !dir || dir->empty() ? *name : *dir + (dir->back() == '/' ? "" : "/") + *name;
    request.stream = ops::CutStream{0, kStandardInput};
}

ops::CutRequest cutRequest(const Arguments &args)
{
    if (args.operands().size() != 1)
        throw UsageError(args.operands().empty() ? "cut needs a SOURCE" : "cut takes one SOURCE");
    ops::CutRequest request;
    request.source = args.operands().front();
    takeStandardInput(args, request);
    request.mode.count = partCount(args.value("count").value_or("2"));
    const ops::SizeUnit unit = sizeUnit(args.value("unit").value_or("byte"));
    if (const auto size = args.value("size")) {
        const ops::SizePreset *preset = ops::sizePresetNamed(*size);
        if (preset && args.value("unit"))
            throw UsageError("--unit goes with a NUMBER of --size, not with the preset '" + *size + "'");
        request.mode.partBytes = preset ? preset->bytes : std::int64_t{sizeNumber(*size)} * ops::unitBytes(unit);
    }
    request.skip = partNumbers("skip", args.value("skip").value_or(""));
    if (const auto only = args.value("only")) {
        // Re-makes parts of a set made before: the lists that describe the whole set stay.
        if (args.value("skip") || args.flag("recons") || args.flag("sha256") || args.flag("delete")
            || args.value("recovery"))
            throw UsageError("--only goes with none of --skip, --recons, --sha256, --delete and --recovery");
        request.skip = partNumbers("only", *only);
        request.onlyListed = true;
    }
    // The parts left out exist nowhere else once the source is gone.
    if (args.flag("delete") && !request.skip.empty() && !args.flag("force"))
        throw UsageError("--delete with --skip would delete the only copy of the parts left out (-f does it)");
    if (const auto marker = args.value("marker")) {
        if (const char *problem = ops::markerProblem(*marker))
            throw UsageError("invalid --marker '" + *marker + "': " + problem);
        request.marker = *marker;
    }
    if (const auto names = args.value("names")) {
        if (*names != "001")
            throw UsageError("invalid --names '" + *names + "': give 001");
        // Tools that read film.mkv.001 take nothing between the name and the number.
        if (args.value("marker"))
            throw UsageError("--marker does not go with --names=001");
        request.names = ops::PartNames::Numbered;
    }
    // The set a recipient needs: the part list, the joiners and the checksum list.
    request.writePartList = args.flag("recons");
    if (const auto recovery = args.value("recovery")) {
        const std::optional<std::int32_t> n = wholeNumber(*recovery, 1, lists::kMaxRecoveryPerGroup);
        if (!n)
            throw UsageError("invalid --recovery '" + *recovery + "': give a whole number from 1 to "
                             + std::to_string(lists::kMaxRecoveryPerGroup));
        // Every part goes into the recovery parts: none may be left out.
        if (args.value("skip"))
            throw UsageError("--recovery does not go with --skip");
        request.recovery = *n;
    }
    request.writeDigests = args.flag("sha256") || args.flag("recons") || request.recovery > 0;
    request.deleteSource = args.flag("delete");
    request.deleteLeavingPartsOut = args.flag("force");
    request.replaceExisting = args.flag("force");
    return request;
}

// The systems the recipients run the joiners on: all (those the build has) unless --joiner
// names one, or both programs.
std::vector<partset::JoinerPlatform> joiners(const Arguments &args)
{
    using partset::JoinerPlatform;
    const auto joiner = args.value("joiner");
    if (joiner && !args.flag("recons"))
        throw UsageError("--joiner goes with --recons");
    std::vector<JoinerPlatform> built = partset::builtJoiners();
    if (!joiner || *joiner == "all")
        return built;
    if (*joiner == "both") {
        std::erase(built, JoinerPlatform::Sh);
        return built;
    }
    if (*joiner == "linux")
        return {JoinerPlatform::Linux};
    if (*joiner == "sh")
        return {JoinerPlatform::Sh};
    if (*joiner != "windows")
        throw UsageError("invalid --joiner '" + *joiner + "': give all, both, linux, windows or sh");
    if (partset::ReconsImage(partset::JoinerPlatform::Windows).empty())
        throw CommandFailure("this skarvel-cli was built without the Windows joiner (SKARVEL_WINDOWS_JOINER)");
    return {JoinerPlatform::Windows};
}

// Files Cut did not just make are replaced only when -f says so, as gzip does.
void refuseExisting(const ops::CutRequest &request, const std::vector<partset::JoinerPlatform> &joiners)
{
    if (request.replaceExisting)
        return;
    const std::vector<std::string> existing = partset::existingSetOutputs(request, joiners);
    if (existing.empty())
        return;
    std::string names;
    for (std::size_t i = 0; i < existing.size() && i < kNamedExisting; ++i)
        names += " " + quotedName(existing[i]);
    if (existing.size() > kNamedExisting)
        names += " and " + std::to_string(existing.size() - kNamedExisting) + " more";
    throw CommandFailure("would replace existing files (-f, --force replaces them):" + names);
}

// --only names parts of the plan the first cut made; numbers beyond it make nothing.
void refuseOnlyBeyondThePlan(const Arguments &args, const ops::CutRequest &request)
{
    if (!request.onlyListed)
        return;
    const std::optional<ops::CutPreview> preview = ops::previewCut(request, 0);
    if (preview && preview->partsMade == 0)
        throw UsageError("invalid --only '" + *args.value("only") + "': the cut makes parts 1 to "
                         + std::to_string(preview->partCount));
}

void run(const Arguments &args)
{
    const ops::CutRequest request = cutRequest(args);
    refuseOnlyBeyondThePlan(args, request);
    const std::vector<partset::JoinerPlatform> platforms = joiners(args);
    refuseExisting(request, platforms);
    TerminalProgress progress(TerminalProgress::Units::Pieces, args.flag("quiet"));
    if (const int err = partset::cutSet(request, progress, platforms))
        throw CommandFailure(quotedName(request.source) + ": cut but not removed: " + fileio::errorText(err));
}

} // namespace

const Command kCutCommand{
    "cut",
    "  cut [OPTION]... SOURCE       cut SOURCE into numbered parts beside it\n",
    "Usage: skarvel-cli cut [OPTION]... SOURCE\n"
    "  or:  skarvel-cli cut -s NUMBER [OPTION]... - --name=NAME\n"
    "Cuts SOURCE into numbered parts beside it: film.avi gives film1.avi,\n"
    "film2.avi, ... Part numbers have no leading zeros; --recons lists the parts in\n"
    "order. Each file carries its name only once it is whole; existing files of\n"
    "the names it writes are replaced only with -f.\n"
    "With - as SOURCE, cuts standard input by --size into parts named as NAME's\n"
    "would be, in the current folder or --dir, with the set as for a file.\n"
    "\n"
    "  -n, --count=N        number of parts, 2 to 255 (default 2)\n"
    "  -s, --size=SIZE      cut into parts of SIZE instead, the last taking the\n"
    "                       rest: a NUMBER of units from 1 to 2147483647, or a\n"
    "                       preset (below)\n"
    "      --unit=UNIT      unit of --size: byte (the default), Kb (1024 bytes) or\n"
    "                       Mb (1048576 bytes), letter case aside\n"
    "      --skip=LIST      part numbers not to make, such as \"2 5-7\"\n"
    "      --marker=TEXT    put TEXT before each part's number in its name\n"
    "      --names=001      name the parts SOURCE.001, SOURCE.002, ... instead (more\n"
    "                       digits past 999 parts), as archivers read them; these\n"
    "                       names sort in their order in a shell glob; no --marker\n"
    "      --recons         also write beside the parts the set a recipient needs:\n"
    "                       info.txt (the parts made, in order), info.sha256 and\n"
    "                       the stand-alone joiners Recons.exe (Windows), recons\n"
    "                       (Linux) and join.command (a shell script for macOS\n"
    "                       and the BSDs: sh join.command)\n"
    "      --joiner=SYSTEM  the joiners --recons writes: all (the default), both\n"
    "                       (the two programs), windows, linux or sh\n"
    "      --sha256         also write info.sha256 beside the parts: the SHA-256 of\n"
    "                       each part made, then of SOURCE, as sha256sum writes\n"
    "                       them\n"
    "      --recovery=N     also write N recovery parts, SOURCE.rec1 ... (1 to 100),\n"
    "                       from which any N missing or damaged parts are rebuilt;\n"
    "                       implies --sha256 (more groups of N past 255 parts)\n"
    "      --delete         delete SOURCE after a successful cut\n"
    "  -f, --force          replace existing files of the names the cut writes\n"
    "      --only=LIST      make only these parts again, such as a damaged \"7\", with\n"
    "                       the same names; info.txt, the joiners and info.sha256\n"
    "                       stay as they are\n"
    "      --name=NAME      with -: the file name the parts are named after\n"
    "      --dir=FOLDER     with -: the folder the parts go into\n",
    kOptions,
    run,
    nullptr,
    "Presets of --size, in bytes:\n"
    "  email10        7000000  a file sent where a message may be 10 MB (base64\n"
    "  email25       18000000  and headers take the rest), or 25 MB\n"
    "  cd700        733085696  a 700 MB CD-R, less 4 MiB for its file system\n"
    "  chat2000    2097152000  a chat service's 2000 MiB a file\n"
    "  2g-upload   2147483648  an upload limit of 2 GiB\n"
    "  fat32       4294967295  the largest file on FAT32: 4 GiB less one byte\n"
    "  dvd         4696178688  a DVD+R or DVD-R (4.7 GB), less 4 MiB\n"
    "  dvd-dl      8539471872  a dual-layer DVD (8.5 GB), less 4 MiB\n"
    "  bd25       25021120512  a BD-R (25 GB) without spare areas, less 4 MiB\n",
};

} // namespace cli
