#pragma once
// The event table that the events page and the event-log window share: the grid of events
// (Seq, Timestamp, Event, Description 1, Description 2 and a comment column of the user's own)
// with its filter drop-downs, the memory-usage bar and percentage below it, and the grid's
// menu: the event file (*.vkau) loaded and saved, CSV and spreadsheet exports, the clipboard.
#include "tevrin/pages/analysis/audit_events.h"

#include <QString>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QAdvColumnGrid;
namespace Ui {
class TAuditGridPanel;
}

class TAuditGridPanel : public QWidget {
    Q_OBJECT
    // The label before the bar, and the event file's filter text in the save dialog: set by the
    // form that places the panel.
    Q_PROPERTY(QString UsageCaption READ UsageCaption WRITE setUsageCaption)
    Q_PROPERTY(QString SaveFilter READ SaveFilter WRITE setSaveFilter)
public:
    enum Column { colSeq = 0, colTS, colEvent, colAlarm, colState, colComment, kColumns };
    static constexpr int kBarWidth = 237;
    static constexpr int kBarHeight = 15;

    explicit TAuditGridPanel(QWidget* parent = nullptr);
    TAuditGridPanel(QWidget* parent, const QString& usageCaption, const QString& saveFilter);
    ~TAuditGridPanel() override;

    QString UsageCaption() const;
    void setUsageCaption(const QString& caption);
    QString SaveFilter() const { return saveFilter_; }
    void setSaveFilter(const QString& filter) { saveFilter_ = filter; }

    // Shows the events (already in the order wanted), numbered from 1. The table is replaced
    // whole; the comment column starts empty.
    void ShowEvents(std::vector<AuditEvent> events);
    // Back to the header alone.
    void ClearEvents();
    const std::vector<AuditEvent>& Events() const;

    // The memory-usage figure: used of whole bytes (or records). With whole 0 the bar and the
    // label stay as they are.
    void ShowUsage(double used, double whole);
    // The bar filled with the button face alone, and no percentage text.
    void BlankUsage();
    int BarWidth() const { return barWidth_; }

    QAdvColumnGrid* gridAudit() const;
    QLabel* imGraph() const;
    QLabel* labPercent() const;
    QMenu* popAuditGrid() const { return menu_; }
    QAction* MenuItem(const char* name) const;

    // Handlers.
    void gridAuditFilterSelect(int column, int item, const QString& friendlyName, QString& condition);
    void mnuLoadFileClick();
    void mnuSaveFileClick();
    void SaveasCSVClick();
    void mnuSaveasXLSClick();
    void CopySelectiontoClipboard1Click();
    // A picture of `what` (the page or window) goes to the clipboard.
    void CopyImage(QWidget* what);
    void AutoSizeColumns();

signals:
    void CopyImageRequested();

private:
    void BuildMenu();
    void DrawBar(int width);
    // A file dialog; a save starts at the last file read or written.
    QString AskFile(bool save, const QString& caption, const QString& filter, const QString& suffix);

    std::unique_ptr<Ui::TAuditGridPanel> ui;
    QAdvColumnGrid* grid_ = nullptr;
    QMenu* menu_ = nullptr;
    QString saveFilter_;
    QString lastFile_;
    int barWidth_ = 0;
    std::shared_ptr<std::vector<AuditEvent>> events_;
    // The remembered "[Custom]" conditions: the Seq column's, and one per column right of the
    // time stamp.
    QString seqFilter_;
    std::array<QString, kColumns> customFilters_;
};
