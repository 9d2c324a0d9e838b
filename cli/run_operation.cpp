#include "run_operation.h"

#include "commands.h"

#include "fileio/failure.h"

#include <cstdio>

namespace cli {

int runOperation(const std::function<void()> &operation)
{
    try {
        operation();
        return kExitOk;
    } catch (const UsageError &error) {
        std::fprintf(stderr, "skarvel-cli: %s\n%s", error.what(), kUsage);
        return kExitUsage;
    } catch (const fileio::Failure &failure) {
        std::fprintf(stderr, "skarvel-cli: %s\n", failure.boxText().c_str());
        return kExitFailed;
    }
}

} // namespace cli
