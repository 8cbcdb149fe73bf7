#pragma once
// The Archive page (page 1): the archives read from the analyzer or from a file.
#include "tevrin/pages/page_frame.h"

class QLabel;
class QListWidget;
class QPushButton;

class TfraArchiveViewer : public TPageFrame {
    Q_OBJECT
public:
    explicit TfraArchiveViewer(QWidget* owner);

    // While read-only the "Log Setup" button is disabled.
    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const { return readOnly_; }

    // Redraws the page from the archive database: "Preparing Display...", display range 50,
    // the log at position 0 and the archive list at its first item.
    void UpdateLogView();
    // Asks for an archive XML file and loads it; false when the dialog was cancelled or the
    // file could not be loaded.
    bool ReadArchiveFile();
    // Asks for a file name and writes the archive database there; a cancelled dialog writes
    // nothing.
    void SaveLogFile();

    int DisplayRange() const { return displayRange_; }
    QLabel* lblStatus() const { return lblStatus_; }
    QPushButton* btnLogSetup() const { return btnLogSetup_; }
    QListWidget* lstArchives() const { return lstArchives_; }

protected:
    bool RegistersBoundControls() const override { return false; }

private:
    bool readOnly_ = false;
    int displayRange_ = 0;
    QLabel* lblStatus_ = nullptr;
    QPushButton* btnLogSetup_ = nullptr;
    QListWidget* lstArchives_ = nullptr;
};
