#include "bench_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <stdexcept>
#include <vector>

extern char** environ;

namespace bench {

namespace {

double monotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

double secondsOf(const timeval& t)
{
    return t.tv_sec + t.tv_usec / 1e6;
}

std::vector<QByteArray> environmentWith(const QStringList& extra)
{
    std::vector<QByteArray> entries;
    for (char** entry = environ; *entry; ++entry) {
        const QByteArray text(*entry);
        const QByteArray name = text.left(text.indexOf('=') + 1);
        bool replaced = false;
        for (const QString& e : extra)
            replaced = replaced || e.toLocal8Bit().startsWith(name);
        if (!replaced)
            entries.push_back(text);
    }
    for (const QString& e : extra)
        entries.push_back(e.toLocal8Bit());
    return entries;
}

std::vector<char*> pointersTo(std::vector<QByteArray>& texts)
{
    std::vector<char*> pointers;
    for (QByteArray& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

void settleDisk()
{
    ::sync();
}

ProcessFigures runMeasured(const QString& program, const QStringList& arguments,
                           const QStringList& extraEnvironment, const QString& outputFile)
{
    settleDisk();
    std::vector<QByteArray> argumentTexts{program.toLocal8Bit()};
    for (const QString& argument : arguments)
        argumentTexts.push_back(argument.toLocal8Bit());
    std::vector<QByteArray> environmentTexts = environmentWith(extraEnvironment);
    std::vector<char*> argv = pointersTo(argumentTexts);
    std::vector<char*> envp = pointersTo(environmentTexts);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray outputPath = outputFile.toLocal8Bit();
    if (!outputFile.isEmpty()) {
        posix_spawn_file_actions_addopen(&actions, 1, outputPath.constData(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    }
    const double started = monotonicSeconds();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + program.toStdString());
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        throw std::runtime_error("lost the process of " + program.toStdString());
    ProcessFigures figures;
    figures.seconds = monotonicSeconds() - started;
    figures.cpuSeconds = secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime);
    figures.maxRssKb = usage.ru_maxrss;
    figures.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return figures;
}

}  // namespace bench
