#include "app/command_line.h"

#include "app/headless_run.h"

#include <QString>

#include <cstdio>
#include <cstring>

namespace dovrelle {

std::optional<int> runCommandLineOptions(int argc, char** argv)
{
    if (argc < 2)
        return std::nullopt;
    const char* option = argv[1];
    if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
        std::fputs(headlessUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (std::strcmp(option, "--version") == 0) {
        std::printf("Dovrelle %s\n", DOVRELLE_VERSION);
        return 0;
    }
    if (std::strcmp(option, "--headless") == 0) {
        if (argc < 3) {
            std::fputs("dovrelle: --headless needs the path of a settings file\n", stderr);
            std::fputs(headlessUsage().toLocal8Bit().constData(), stderr);
            return HeadlessExit::CouldNotRun;
        }
        return runHeadless(argc, argv, QString::fromLocal8Bit(argv[2]));
    }
    return std::nullopt;
}

}  // namespace dovrelle
