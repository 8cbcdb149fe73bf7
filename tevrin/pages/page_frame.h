#pragma once
// The common shape of every page of the main window's page control.
//
// A page is created once with the main window as owner and lives until the window goes. Each
// time its tab is shown the main window calls EnterPage, which makes the page the current one
// of the database's page point list: the list is cleared, the page's fixed points and the DbId
// of every bound control (in layout order) are added, the polled subset is added for a page
// that polls only part of its points, and the page number is set with its two flags. The
// not-shown flag is set by the constructor and cleared by the first EnterPage; handlers that
// write to the analyzer test it (and the current page) through CanWrite.
#include <QFrame>

#include <cstdint>
#include <vector>

class ExpressScan;
class TMessage;

class TPageFrame : public QFrame {
    Q_OBJECT
public:
    // pageNumber -1: a page without a number (the events page), whose EnterPage does nothing.
    TPageFrame(QWidget* owner, int pageNumber, uint8_t pollFlag, uint8_t waitFlag);
    ~TPageFrame() override;

    int PageNumber() const { return pageNumber_; }
    uint8_t PollFlag() const { return pollFlag_; }
    uint8_t WaitFlag() const { return waitFlag_; }
    bool NotShown() const { return notShown_ != 0; }

    // Registers the page's points in the database's page point list (see above).
    virtual void EnterPage();

    // The page is the one showing and has been shown once: it may write to the analyzer.
    bool CanWrite() const;
    // The page is the current page of the page point list (tested without the not-shown flag).
    bool IsCurrentPage() const;

    // DbIds of the page's bound controls in layout order (depth first), each once; controls
    // whose UseDatabase is off are left out.
    std::vector<int> BoundDbIds() const;

protected:
    // The page's own points: FixedPointsBefore are added before the bound controls,
    // FixedPointsAfter after them; PollPoints form the poll list of a page whose poll flag is 1.
    virtual std::vector<int> FixedPointsBefore() const { return {}; }
    virtual std::vector<int> FixedPointsAfter() const { return {}; }
    virtual std::vector<int> PollPoints() const { return {}; }
    // Whether EnterPage adds the bound controls at all (the archive page adds nothing).
    virtual bool RegistersBoundControls() const { return true; }
    // Work done only on the first entry, before the list is cleared.
    virtual void FirstEntry() {}
    // The page's own additions after it has become current (warning boxes, files read ...).
    virtual void AfterEnter() {}

    // Broadcasts of the main window. Results are written into the message.
    virtual void OnRegisterDatabase(TMessage& /*m*/) {}
    virtual void OnBeforePost(TMessage& /*m*/) {}
    virtual void OnFreePageData(TMessage& m);

    bool event(QEvent* e) override;

    // Adds one point to a list built by a page (helper for the tables of the pages).
    static void AddRange(std::vector<int>& ids, int first, int last);

private:
    int pageNumber_;
    uint8_t pollFlag_;
    uint8_t waitFlag_;
    uint8_t notShown_ = 1;
};

// Enables (disable false) or disables (disable true) every direct child widget of control.
void DisableAllChildren(QWidget* control, bool disable);

// The warning box some pages show on every entry ("... may affect operation ..."), warning
// type with one OK button.
void ShowPageWarning(const QString& firstLine);
