// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"
#include "failure_line.h"
#include "run_operation.h"
#include "terminal_progress.h"

#include "ops/cut.h"
#include "fileio/failure.h"
#include "ops/skip_list.h"
#include "recons/digest_list_file.h"
#include "recons/part_list_files.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>

namespace cli {

namespace {

constexpr OptionSpec kOptions[] = {
    {"count", 'n', true}, {"size", 's', true},    {"unit", 0, true},    {"skip", 0, true},
    {"marker", 0, true},  {"recons", 0, false}, {"delete", 0, false}, {"sha256", 0, false},
    {"only", 0, true},    {"joiner", 0, true},  {"force", 'f', false},
};

// How many existing files a refusal names before it counts the rest.
constexpr std::size_t kNamedExisting = 5;

constexpr int kMinCount = 2;
constexpr int kMaxCount = 255;

// Unlike the window's spin box, which keeps its number within range, a count out of range is
// refused: parts the user did not ask for would be made.
std::int32_t partCount(const std::string &text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < kMinCount
        || value > kMaxCount)
        throw UsageError("invalid --count '" + text + "': give a whole number from 2 to 255");
    return value;
}

// The unit box's change rule: anything but "Kb" or "Mb" becomes "byte".
std::string unitText(const std::string &text)
{
    return text == "Kb" || text == "Mb" ? text : "byte";
}

ops::CutRequest cutRequest(const Arguments &args)
{
    if (args.operands().size() != 1)
        throw UsageError(args.operands().empty() ? "cut needs a SOURCE" : "cut takes one SOURCE");
    ops::CutRequest request;
    request.source = args.operands().front();
    request.mode.count = partCount(args.value("count").value_or("2"));
    if (const auto size = args.value("size")) {
        request.mode.bySize = true;
        request.mode.sizeText = *size;
    }
    request.mode.unitText = unitText(args.value("unit").value_or("byte"));
    request.skipText = args.value("skip").value_or("");
    if (const auto only = args.value("only")) {
        // Re-makes parts of a set made before: the lists that describe the whole set stay.
        if (args.value("skip") || args.flag("recons") || args.flag("sha256") || args.flag("delete"))
            throw UsageError("--only goes with none of --skip, --recons, --sha256 and --delete");
        request.skipText = *only;
        request.onlyListed = true;
    }
    if (const auto marker = args.value("marker")) {
        // A "/" would put the parts into a folder where no part list finds them.
        if (marker->find('/') != std::string::npos)
            throw UsageError("invalid --marker '" + *marker + "': a part name cannot hold '/'");
        request.markerOn = true;
        request.marker = *marker;
    }
    // The set a recipient needs: the part list, the joiners and the checksum list.
    request.writePartList = args.flag("recons");
    request.writeDigests = args.flag("sha256") || args.flag("recons");
    request.deleteSource = args.flag("delete");
    request.replaceExisting = args.flag("force");
    return request;
}

// The bytes the cut will copy: the source's, less those of the parts it skips, or only those of
// the parts it makes with --only. 0 when the request fails; Cut then reports why, before any
// progress.
std::int64_t bytesToCopy(const ops::CutRequest &request)
{
    std::error_code error;
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(request.source, error));
    if (error)
        return 0;
    try {
        const ops::SplitPlan plan = ops::MakeSplitPlan(size, request.mode);
        std::int64_t bytes = 0; // of the parts the list names
        const ops::SkipList skip = ops::ParseSkipList(request.skipText);
        for (const ops::SkipList::Range &range : skip.ranges()) {
            const std::int64_t low = std::max<std::int64_t>(range.low, 1);
            const std::int64_t high = std::min<std::int64_t>(range.high, plan.partCount);
            if (low > high)
                continue;
            bytes += (high - low + 1) * plan.partSize;
            if (high == plan.partCount) // the last part has its own length
                bytes -= plan.partSize - plan.lastPartSize(size);
        }
        return request.onlyListed ? bytes : size - bytes;
    } catch (const fileio::Failure &) {
        return 0;
    }
}

// The systems the recipients run the joiners on: both unless --joiner names one.
std::vector<recons::JoinerPlatform> joiners(const Arguments &args)
{
    const auto joiner = args.value("joiner");
    if (!joiner)
        return {recons::JoinerPlatform::Windows, recons::JoinerPlatform::Linux};
    if (!args.flag("recons"))
        throw UsageError("--joiner goes with --recons");
    if (*joiner == "both")
        return {recons::JoinerPlatform::Windows, recons::JoinerPlatform::Linux};
    if (*joiner == "linux")
        return {recons::JoinerPlatform::Linux};
    if (*joiner == "windows")
        return {recons::JoinerPlatform::Windows};
    throw UsageError("invalid --joiner '" + *joiner + "': give linux, windows or both");
}

// Files Cut did not just make are replaced only when -f says so, as gzip does.
void refuseExisting(const ops::CutRequest &request, const ops::PartListFactory &partList,
                    const ops::DigestListFactory &digests)
{
    if (request.replaceExisting)
        return;
    const std::vector<std::string> existing = ops::ExistingOutputs(request, &partList, &digests);
    if (existing.empty())
        return;
    std::string names;
    for (std::size_t i = 0; i < existing.size() && i < kNamedExisting; ++i)
        names += " " + quotedName(existing[i]);
    if (existing.size() > kNamedExisting)
        names += " and " + std::to_string(existing.size() - kNamedExisting) + " more";
    throw CommandFailure("would replace existing files (-f, --force replaces them):" + names);
}

void run(const Arguments &args)
{
    const ops::CutRequest request = cutRequest(args);
    recons::PartListFiles partList(joiners(args));
    recons::DigestListFile digests;
    refuseExisting(request, partList, digests);
    TerminalProgress progress(TerminalProgress::Units::Pieces, args.flag("quiet"), bytesToCopy(request));
    if (const int err = ops::Cut(request, progress, &partList, &digests))
        throw CommandFailure(quotedName(request.source) + ": cut but not removed: " + std::strerror(err));
}

} // namespace

const Command kCutCommand{
    "cut",
    "  cut [OPTION]... SOURCE         cut SOURCE into numbered parts beside it\n",
    "Usage: skarvel-cli cut [OPTION]... SOURCE\n"
    "Cuts SOURCE into numbered parts beside it: film.avi gives film1.avi, film2.avi, ...\n"
    "Part numbers have no leading zeros; --recons lists the parts in order.\n"
    "Each file carries its name only once it is whole. Existing files of the\n"
    "names it writes are replaced only with -f.\n"
    "\n"
    "  -n, --count=N        number of parts, 2 to 255 (default 2)\n"
    "  -s, --size=NUMBER    cut into parts of NUMBER units instead; the last part takes the rest\n"
    "                       (empty or 0 still cuts by count)\n"
    "      --unit=UNIT      unit of --size: Kb (1024 bytes), Mb (1048576 bytes); anything\n"
    "                       else, such as kb or MB, means byte (the default)\n"
    "      --skip=LIST      part numbers not to make, such as \"2 5-7\"\n"
    "      --marker=TEXT    put TEXT before each part's number in its name\n"
    "      --recons         also write, beside the parts, the set a recipient needs:\n"
    "                       info.txt (the parts made, in order), info.sha256, and the\n"
    "                       stand-alone joiners Recons.exe (Windows) and recons (Linux)\n"
    "      --joiner=SYSTEM  the joiners to write: both (the default), windows or linux\n"
    "      --sha256         also write info.sha256 beside the parts: the SHA-256 of\n"
    "                       each part made, then of SOURCE, as sha256sum writes them\n"
    "      --delete         delete SOURCE after a successful cut\n"
    "  -f, --force          replace existing files of the names the cut writes\n"
    "      --only=LIST      make only these parts again, such as a damaged \"7\", with the same\n"
    "                       names; info.txt, the joiners and info.sha256 stay as they are\n",
    kOptions,
    run,
};

} // namespace cli
