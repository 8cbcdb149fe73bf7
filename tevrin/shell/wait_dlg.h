#pragma once
// The wait window shown over the main window during whole-database work and the logon: an
// animated icon for work of unknown length, or a bar stepped by the engine's progress
// notices. It stays on top and has no close box; its callers show and hide it.
#include <QDialog>

#include <memory>

namespace Ui {
class TWait;
}
class QLabel;
class QProgressBar;
class QTimer;

class TWait : public QDialog {
    Q_OBJECT
public:
    explicit TWait(QWidget* parent = nullptr);
    ~TWait() override;

    // The program's wait window (the first one created and still alive), or nullptr.
    static TWait* Current();

    // Icon shown, bar hidden; shows the window and paints it at once.
    void ShowAnimated();
    // Bar shown from 0 to maximum, icon hidden; shows the window and paints it at once.
    void ShowProgress(int maximum);
    // One step of the bar; above its maximum it starts again at 0. Repaints.
    void StepBar();

    QLabel* Label1() const;
    QLabel* AniIcon1() const;
    QProgressBar* Progress() const;

protected:
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void NextFrame();

    std::unique_ptr<Ui::TWait> ui;
    QTimer* animation_ = nullptr;
    int frame_ = 0;
};
