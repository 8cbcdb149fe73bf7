#pragma once
// Status bar with panels: panel 0 takes whatever width the others leave.
#include "brannix/control_protocol.h"

#include <QStatusBar>
#include <vector>

class QLabel;

class TQStatusBar : public QStatusBar, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)

public:
    explicit TQStatusBar(QWidget* parent = nullptr);

    int GetHelpContextVESKA() const override { return helpContext_; }
    void setHelpContextVESKA(int v) { helpContext_ = v; }

    // Adds a panel of the given width: a text panel, or the given widget (drawn by its owner).
    int AddPanel(int width, QWidget* widget = nullptr);
    int PanelCount() const { return static_cast<int>(panels_.size()); }
    QWidget* Panel(int index) const;
    QString PanelText(int index) const;
    void SetPanelText(int index, const QString& text);
    int PanelWidth(int index) const;
    void SetPanelWidth(int index, int width);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FitFirstPanel();
    struct PanelInfo {
        QWidget* widget;
        int width;
    };
    std::vector<PanelInfo> panels_;
    int helpContext_ = 0;
    static constexpr int kRightRoom = 2;
};
