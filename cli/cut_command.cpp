#include "commands.h"
#include "run_operation.h"
#include "terminal_progress.h"

#include "ops/cut.h"
#include "recons/digest_list_file.h"
#include "recons/part_list_files.h"

#include <algorithm>
#include <charconv>

namespace cli {

namespace {

// The spin box: any number, kept between 2 and 255.
std::int32_t partCount(const std::string &text)
{
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw UsageError("--count needs a whole number");
    return static_cast<std::int32_t>(std::clamp<long long>(value, 2, 255));
}

// The unit box's change rule: anything but "Kb" or "Mb" becomes "byte".
std::string unitText(const std::string &text)
{
    return text == "Kb" || text == "Mb" ? text : "byte";
}

ops::CutRequest cutRequest(const Arguments &args)
{
    if (args.operands().size() != 1)
        throw UsageError("cut takes one SOURCE");
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
        // Re-makes parts of a set already made: the set's lists stay as they are.
        if (args.value("skip") || args.flag("recons") || args.flag("sha256") || args.flag("delete"))
            throw UsageError("--only goes with none of --skip, --recons, --sha256, --delete");
        request.skipText = *only;
        request.onlyListed = true;
    }
    if (const auto marker = args.value("marker")) {
        request.markerOn = true;
        request.marker = *marker;
    }
    request.writePartList = args.flag("recons");
    request.deleteSource = args.flag("delete");
    request.writeDigests = args.flag("sha256");
    return request;
}

} // namespace

int runCut(const std::vector<std::string> &words)
{
    return runOperation([&] {
        const Arguments args(words, {"count", "size", "unit", "skip", "only", "marker"},
                             {"recons", "sha256", "delete"});
        const ops::CutRequest request = cutRequest(args);
        TerminalProgress progress("parts");
        recons::PartListFiles partList;
        recons::DigestListFile digests;
        ops::Cut(request, progress, &partList, &digests);
    });
}

} // namespace cli
