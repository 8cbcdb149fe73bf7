#pragma once
// What the benchmarks that run the real main window share: a fresh home folder, so no user's
// settings or data reach the run, and a prompter that never waits for a person.

#include "platform/prompter.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <cstdlib>

namespace benchsupport {

// Answers every message box with its first offered answer, so the run never waits.
class YesPrompter : public platform::IPrompter {
public:
    int Ask(const platform::Prompt& p) override
    {
        if (p.buttons & platform::mbYes) return platform::mrYes;
        return platform::mrOk;
    }
    QString ChooseFile(const platform::FileRequest&) override { return QString(); }
};

// Points HOME and the XDG folders into home (kept by the caller for the run), and runs
// offscreen unless a platform was asked for.
inline void UseFreshHome(const QTemporaryDir& home)
{
    const QByteArray h = home.path().toLocal8Bit();
    setenv("HOME", h.constData(), 1);
    setenv("XDG_DATA_HOME", (h + "/.local/share").constData(), 1);
    setenv("XDG_CONFIG_HOME", (h + "/.config").constData(), 1);
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

}  // namespace benchsupport
