#pragma once
// A session as a user has it: the main window with its pages, logged on through the real
// engine library over TCP to the simulated analyzer. Page tests plant values in the unit,
// show a page, click its controls and read back what the unit was asked and now holds.
#include "tests/common/fake_prompter.h"
#include "tests/sim/core/analyzer_core.h"
#include "tests/sim/wire/wire_server.h"
#include "tevrin/shell/state_mgr.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TFormMain;

namespace pagetest {

class PageSession {
public:
    PageSession();
    ~PageSession();
    PageSession(const PageSession&) = delete;
    PageSession& operator=(const PageSession&) = delete;

    // Presses Logon and answers the mode choice: Update mode with the master password, or
    // read-only. True when the window is logged on afterwards.
    bool LogOn(bool updateMode = true);

    // Makes a tab the page shown (its show handler registers the page and reads it).
    void Show(MainPage page);
    // Shows the Analysis page and then this one, so that it is entered afresh, and clears the
    // unit's request log.
    void ShowAfresh(MainPage page);

    // Pumps events until the condition holds or timeoutMs have passed; true when it held.
    static bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
    // Pumps events until the link's idle notice has come (both link icons idle); true when it did.
    bool PumpUntilLinkIdle(int timeoutMs = 5000);

    // Requests the unit got that change something in it (point and text writes, stores, blocks,
    // maps, log configurations, images, wipes, reboot, factory defaults).
    int WriteRequests() const;
    // Whether a request of this type is one of those.
    static bool IsWriteType(int type);

    // The DbIds of the points the unit was asked to write (number and text writes), in order.
    std::vector<int> WrittenDbIds() const;

    // The points the page now current registered, in order.
    static std::vector<int> RegisteredPoints();

    // The value text the program's database holds for a point.
    static std::string Text(int dbId);

    TFormMain& Form() { return *form_; }
    sim::AnalyzerCore unit;
    sim::WireServer wire{unit};
    FakePrompter prompter;

private:
    QString iniPath_;
    std::unique_ptr<TFormMain> form_;
};

// A file's bytes (empty when it cannot be read).
QByteArray FileContents(const QString& path);

// Whether any text panel of the status line says a configuration was saved.
bool ClaimsSaved(TFormMain& form);

}  // namespace pagetest
