#pragma once
// The common shape of every page of the main window's page control.
//
// A page is created once with the main window as owner and lives until the window goes. Each
// time its tab is shown the main window calls EnterPage, which makes the page the current one
// of the database's page point list: the list is cleared, the page's fixed points and the DbId
// of every bound control (in layout order) are added, the polled subset is added for a page
// that polls only part of its points, and the page number is set with its two flags. The
// not-shown flag is set by the constructor and cleared by the first EnterPage.
//
// Writing. A handler that writes to the analyzer first asks one of the guards below (most ask
// CanWrite: the page is current and has been shown once). Handlers that write are connected to
// the user's own signals (clicked, activated, editingFinished), never to a state change that an
// arriving value makes, so that a value read from the analyzer is never written back.
#include "brannix/database_glue.h"

#include <QFrame>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ExpressScan;
class TMessage;
class TQLabel;
class QLabel;

// The two caption rules of the stream-count watchers.
enum class StreamCaptionRule {
    Streams,      // "1-STREAM", "2-STREAMS", "3-STREAMS", "4-STREAMS" for 0..3
    SingleDual,   // "SINGLE STREAM", "DUAL STREAM" for 0 and 1; other values leave the caption
};

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

    // --- write guards ---------------------------------------------------------------------------
    // The page is the one showing and has been shown once: most handlers write only then.
    bool CanWrite() const;
    // The page is the current page of the page point list (tested without the not-shown flag).
    bool IsCurrentPage() const;
    // The page has been shown once (tested without the current page).
    bool ShownOnce() const { return notShown_ == 0; }

    // DbIds of the page's bound controls in layout order (depth first), each once; controls
    // whose UseDatabase is off are left out.
    std::vector<int> BoundDbIds() const;

    // The stream count the watcher last applied (0..3, streams less one); -1 before any.
    int WatchedStreamCount() const { return watchedStreams_; }

    // --- writing ---------------------------------------------------------------------------------
    // Writes one point at once through the main window's "WriteSinglePoint" (an empty text
    // writes the point's edited value). Nothing without a main window.
    static void WriteSinglePoint(TDbId id, const std::string& text);
    // Posts a named command through the main window. Nothing without a main window.
    static void PostCommand(const std::string& name, const std::string& argument = std::string());
    // One bit of a 16- or 32-bit bit-set point: hands the point the mask text (the value with only
    // that bit set, which the point ORs in, or the full-width value with only that bit clear,
    // which it ANDs in) and writes the whole point. False, with nothing written, for a point that
    // is not a bit set, a bit beyond its width, or a mask the point refused.
    static bool WriteBit(TDbId id, int bit, bool set);
    // The mask text for one bit of a set `width` bits wide (16 or 32); 32-bit masks unsigned.
    static std::string BitMaskText(int bit, bool set, int width);

    // Shows the controls of streams 2..4 whose number is at most streams + 1; `perStream[k]`
    // holds stream k + 2's controls.
    static void ShowStreamControls(int streams, const std::vector<std::vector<QWidget*>>& perStream);

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

    // Makes `label` (a hidden label bound to the stream-count point, the number of streams less one) the page's
    // stream-count watcher. For each arriving value: an empty text does nothing; a text that is
    // not a whole number is reported as a conversion error and changes nothing; 0..3 set the main
    // window's stream caption by `rule` and call `apply` with the count; any other number
    // changes nothing. The label never shows the value itself. With `ignoreUntilShown` values
    // arriving before the page was first shown are ignored.
    void WatchStreamCount(TQLabel* label, StreamCaptionRule rule, std::function<void(int streams)> apply = {},
                          bool ignoreUntilShown = false);

    // A hidden label of this page named "lblStream2", bound to the stream-count point: the label a page hands
    // to WatchStreamCount.
    TQLabel* NewStreamCountLabel();

    // An arriving value read as a whole number; a text that is not one is reported as a
    // conversion error (false, n 0).
    static bool IntegerValue(const QString& value, int& n);

    // Adds a range of DbIds to a list built by a page (helper for the tables of the pages).
    static void AddRange(std::vector<int>& ids, int first, int last);

private:
    int pageNumber_;
    uint8_t pollFlag_;
    uint8_t waitFlag_;
    uint8_t notShown_ = 1;
    int watchedStreams_ = -1;
};

// The read-only look of a page. Locked (editable false): every control the user edits with
// (buttons, check and radio boxes, combo boxes, editable text fields, spin boxes, sliders) is
// disabled, and stays disabled when the page's own code enables it; every display (labels,
// lights, read-only fields, tables, scroll bars) stays as it is, readable. Unlocked: the controls
// take the state the page last gave them. Controls made while locked are taken at the next call.
void SetPageEditable(QWidget* page, bool editable);
// Whether the page is unlocked (a page never locked is).
bool PageEditable(const QWidget* page);
// Whether a widget is one of the controls a lock disables.
bool IsEditingControl(const QWidget* widget);

// Enables (disable false) or disables (disable true) every direct child widget of control.
void DisableAllChildren(QWidget* control, bool disable);

// The error box of a typed text that a handler needed as a number and that is none.
void ShowNotAFloat(const QString& text);

// The warning box some pages show on every entry ("... may affect operation ..."), warning
// type with one OK button.
void ShowPageWarning(const QString& firstLine);
