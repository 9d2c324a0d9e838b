#include "joiner.h"

#include "console.h"
#include "joiner_failure.h"
#include "list_reader.h"

#include "fileio/copy.h"
#include "fileio/file.h"

#include <cerrno>
#include <cstdint>

namespace recons_tool {

namespace {

constexpr const char *kBanner[] = {
    "Recons, the part joiner of Skarvel (c) 2026 the Skarvel developers",
    "Free software / Свободная и бесплатная программа",
    "",
    "Skarvel v 4.0.0 (recons.exe v 2.0)",
    "",
};

// Reported as error 3, "Invalid filename".
constexpr int kInvalidName = ENAMETOOLONG;

// What the first reading of the list found.
struct ListCheck {
    bool ok = true;
    std::int64_t lines = 0;
    // The listed files and the list itself: the output may be none of them.
    fileio::FileIds inputs;
};

fileio::File openList()
{
    fileio::File list;
    if (const int err = fileio::openForReading(kListName, list))
        failStep(err);
    return list;
}

// Reads every line, also after one has failed, and counts them.
ListCheck checkList()
{
    fileio::File list = openList();
    ListCheck check;
    if (const auto id = fileio::fileId(list))
        check.inputs.insert(*id);
    ListReader reader(list);
    while (!reader.atEnd()) {
        const std::string name = reader.readLine();
        if (!fileio::fileExists(name))
            check.ok = false;
        else if (const auto id = fileio::fileId(name))
            check.inputs.insert(*id);
        ++check.lines;
    }
    // A list must name at least two parts.
    if (check.lines < 2)
        check.ok = false;
    return check;
}

// An empty name, or a name that leads to a part or to the list, would lose data: creating the
// output empties that file before it is read.
void refuseOutput(const std::string &name, const ListCheck &check)
{
    if (name.empty())
        failStep(kInvalidName);
    const auto id = fileio::fileId(name);
    if (id && check.inputs.contains(*id))
        failStep(kInvalidName);
}

// The name checked may lead elsewhere by the time it is opened: the opened file decides.
fileio::File createOutput(const std::string &name, const ListCheck &check)
{
    fileio::File output;
    if (const int err = fileio::createFile(name, output, check.inputs))
        failStep(err == fileio::kKeptFile ? kInvalidName : err);
    return output;
}

// Appends the part as it stands now; a part that has shrunk since its size was taken ends early.
void appendPart(const std::string &name, fileio::File &output)
{
    fileio::File part;
    if (const int err = fileio::openForReading(name, part))
        failStep(err);
    std::int64_t size = 0;
    if (const int err = part.size(size))
        failStep(err);
    const fileio::CopyResult copied = fileio::copyBytes(part, 0, output, size);
    if (copied.status == fileio::CopyResult::Status::ReadFailed || copied.status == fileio::CopyResult::Status::WriteFailed)
        failStep(copied.err);
    part.close();
}

void join(Console &console, const ListCheck &check)
{
    console.writeLine("Save new file as: ");
    const std::string name = console.readLine();
    refuseOutput(name, check);
    fileio::File output = createOutput(name, check);

    fileio::File list = openList();
    ListReader reader(list);
    console.writeLine("Wait...");
    console.writeLine("Opened files: ");
    for (std::int64_t n = 0; n < check.lines; ++n) {
        const std::string part = reader.readLine();
        console.writeLine(" " + part + " Ok");
        appendPart(part, output);
    }
    if (const int err = output.close())
        failStep(err);
    console.writeLine("Complete");
}

void run(Console &console)
{
    for (const char *line : kBanner)
        console.writeLine(line);
    const ListCheck check = fileio::fileExists(kListName) ? checkList() : ListCheck{false, 0, {}};
    if (check.ok)
        join(console, check);
    else
        console.writeLine("Error in info.txt");
    // Waits for Enter; the end of input counts as Enter.
    console.readLine();
}

std::string hex8(std::uint32_t value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    return text;
}

void report(Console &console, const JoinerFailure &failure, const std::string &moduleName)
{
    // The report goes to the same output; if that fails too there is nothing left to tell.
    try {
        console.write("Exception EInOutError in module " + moduleName + " at " + hex8(failure.where) + ".\n");
        console.writeLine(fileio::IoErrorReport(failure.error) + ".");
    } catch (const JoinerFailure &) {
    }
}

} // namespace

int RunJoiner(Console &console, const std::string &moduleName)
{
    try {
        run(console);
        return 0;
    } catch (const JoinerFailure &failure) {
        report(console, failure, moduleName);
        return 1;
    }
}

} // namespace recons_tool
