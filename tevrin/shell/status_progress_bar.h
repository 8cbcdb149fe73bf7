#pragma once
// The status line's progress bar. It steps once for every exchange with the analyzer, so its
// drawing is kept plain: a flat fill and the position as text, each text laid out only once.
#include <QProgressBar>
#include <QStaticText>
#include <QString>

#include <map>

class StatusProgressBar : public QProgressBar {
public:
    explicit StatusProgressBar(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QStaticText& Laid(const QString& text);
    std::map<QString, QStaticText> texts_;
};
