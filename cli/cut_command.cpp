// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"
#include "failure_line.h"
#include "run_operation.h"
#include "terminal_progress.h"

#include "ops/cut.h"
#include "fileio/failure.h"
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
    {"count", 'n', true},
    {"size", 's', true},
    {"unit", 0, true, "byte Kb Mb"},
    {"skip", 0, true},
    {"marker", 0, true},
    {"recons", 0, false},
    {"delete", 0, false},
    {"sha256", 0, false},
    {"only", 0, true},
    {"joiner", 0, true, "all both linux windows sh"},
    {"force", 'f', false},
};

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
        throw UsageError("invalid --size '" + text + "': give a whole number from 1 to 2147483647");
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

ops::CutRequest cutRequest(const Arguments &args)
{
    if (args.operands().size() != 1)
        throw UsageError(args.operands().empty() ? "cut needs a SOURCE" : "cut takes one SOURCE");
    ops::CutRequest request;
    request.source = args.operands().front();
    request.mode.count = partCount(args.value("count").value_or("2"));
    const ops::SizeUnit unit = sizeUnit(args.value("unit").value_or("byte"));
    if (const auto size = args.value("size"))
        request.mode.partBytes = std::int64_t{sizeNumber(*size)} * ops::unitBytes(unit);
    request.skip = partNumbers("skip", args.value("skip").value_or(""));
    if (const auto only = args.value("only")) {
        // Re-makes parts of a set made before: the lists that describe the whole set stay.
        if (args.value("skip") || args.flag("recons") || args.flag("sha256") || args.flag("delete"))
            throw UsageError("--only goes with none of --skip, --recons, --sha256 and --delete");
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
    // The set a recipient needs: the part list, the joiners and the checksum list.
    request.writePartList = args.flag("recons");
    request.writeDigests = args.flag("sha256") || args.flag("recons");
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
    "Cuts SOURCE into numbered parts beside it: film.avi gives film1.avi,\n"
    "film2.avi, ... Part numbers have no leading zeros; --recons lists the parts in\n"
    "order. Each file carries its name only once it is whole; existing files of\n"
    "the names it writes are replaced only with -f.\n"
    "\n"
    "  -n, --count=N        number of parts, 2 to 255 (default 2)\n"
    "  -s, --size=NUMBER    cut into parts of NUMBER units instead, NUMBER from 1 to\n"
    "                       2147483647; the last part takes the rest\n"
    "      --unit=UNIT      unit of --size: byte (the default), Kb (1024 bytes) or\n"
    "                       Mb (1048576 bytes), letter case aside\n"
    "      --skip=LIST      part numbers not to make, such as \"2 5-7\"\n"
    "      --marker=TEXT    put TEXT before each part's number in its name\n"
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
    "      --delete         delete SOURCE after a successful cut\n"
    "  -f, --force          replace existing files of the names the cut writes\n"
    "      --only=LIST      make only these parts again, such as a damaged \"7\", with\n"
    "                       the same names; info.txt, the joiners and info.sha256\n"
    "                       stay as they are\n",
    kOptions,
    run,
};

} // namespace cli
