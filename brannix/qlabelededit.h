#pragma once
// The bound edit with a caption label above it. Everything as TQEdit; the confirmation row
// names the field by the label's caption.
#include "brannix/qedit.h"

#include <QPointer>

#include <QLabel>

class TQLabeledEdit : public TQEdit {
    Q_OBJECT
    Q_PROPERTY(QString EditLabelCaption READ EditLabelCaption WRITE setEditLabelCaption)

public:
    explicit TQLabeledEdit(QWidget* parent = nullptr);
    ~TQLabeledEdit() override;

    QLabel* EditLabel() const { return label_; }
    QString EditLabelCaption() const;
    void setEditLabelCaption(const QString& caption);

protected:
    bool event(QEvent* e) override;
    QString ConfirmationName() const override;

private:
    void PlaceLabel();
    QPointer<QLabel> label_;
    bool inLayout_ = false;
    static constexpr int kLabelSpacing = 3;
};
