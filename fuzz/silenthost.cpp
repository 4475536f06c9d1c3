// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "silenthost.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz {

platform::Answer SilentHost::messageBox(const QString&, platform::Buttons buttons, platform::Icon,
                                        const QString&)
{
    ++messages;
    return buttons == platform::Buttons::YesNo ? platform::Answer::Yes : platform::Answer::Ok;
}

namespace {

// Qt warns on stderr about odd inputs (a file name with a NUL in it, for one) on every run,
// which buries the fuzzer's own output; only critical and fatal messages get through.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

SilentHost& host()
{
    static SilentHost* const instance = [] {
        static SilentHost h;
        platform::setHost(&h);
        qInstallMessageHandler(quietMessages);
        return &h;
    }();
    return *instance;
}

namespace {

struct Scratch
{
    std::string path;
    QString qpath;

    Scratch()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern
            = (tmp && *tmp ? std::string(tmp) : std::string("/tmp")) + "/tabidori-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data()))
            fail("cannot make a scratch folder");
        path = pattern;
        qpath = QString::fromStdString(path);
    }
    ~Scratch()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

} // namespace

const QString& scratchFolder()
{
    static const Scratch scratch;
    return scratch.qpath;
}

void fail(const char* what)
{
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

} // namespace fuzz

// Qt is built without frame pointers, so the fast unwinder ASan uses on every allocation walks
// on into stale stack words past a Qt frame. When those words differ from run to run (they do
// when paths are looked up folder by folder), every trace is new and the sanitizer's stack
// store grows by kilobytes an execution until the memory limit stops the fuzzer. Two frames
// (the allocation and its caller) keep the store bounded and the fuzzer several times faster;
// replay a finding with ASAN_OPTIONS=malloc_context_size=30 for whole allocation stacks.
extern "C" const char* __asan_default_options()
{
    return "malloc_context_size=2";
}
