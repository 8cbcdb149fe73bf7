#pragma once
// Plain controls of the family: each adds only the help context (IQVESKAHelp); most of them
// open the context help on F1.
#include "brannix/control_protocol.h"

#include <QFrame>
#include <QGroupBox>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTabBar>
#include <QToolButton>
#include <QTreeWidget>

class QKeyEvent;

// F1 with a non-zero context opens the context help; the key then goes on as usual.
void BrannixHelpKey(QWidget* control, QKeyEvent* event, int context);

class TQCheckListBox : public QListWidget, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)

public:
    explicit TQCheckListBox(QWidget* parent = nullptr) : QListWidget(parent) {}
    int GetHelpContextVESKA() const override { return helpContext_; }
    void setHelpContextVESKA(int v) { helpContext_ = v; }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        BrannixHelpKey(this, e, helpContext_);
        QListWidget::keyPressEvent(e);
    }

private:
    int helpContext_ = 0;
};

class TQProgressBar : public QProgressBar, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)

public:
    explicit TQProgressBar(QWidget* parent = nullptr) : QProgressBar(parent) {}
    int GetHelpContextVESKA() const override { return helpContext_; }
    void setHelpContextVESKA(int v) { helpContext_ = v; }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        BrannixHelpKey(this, e, helpContext_);
        QProgressBar::keyPressEvent(e);
    }

private:
    int helpContext_ = 0;
};

class TQTrackBar : public QSlider, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)

public:
    explicit TQTrackBar(QWidget* parent = nullptr) : QSlider(parent) {}
    int GetHelpContextVESKA() const override { return helpContext_; }
    void setHelpContextVESKA(int v) { helpContext_ = v; }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        BrannixHelpKey(this, e, helpContext_);
        QSlider::keyPressEvent(e);
    }

private:
    int helpContext_ = 0;
};

class TQListBox : public QListWidget, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)

public:
    explicit TQListBox(QWidget* parent = nullptr) : QListWidget(parent) {}
    int GetHelpContextVESKA() const override { return helpContext_; }
    void setHelpContextVESKA(int v) { helpContext_ = v; }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        BrannixHelpKey(this, e, helpContext_);
        QListWidget::keyPressEvent(e);
    }

private:
    int helpContext_ = 0;
};

class TQListView : public QTreeWidget, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)

public:
    explicit TQListView(QWidget* parent = nullptr) : QTreeWidget(parent) {}
    int GetHelpContextVESKA() const override { return helpContext_; }
    void setHelpContextVESKA(int v) { helpContext_ = v; }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        BrannixHelpKey(this, e, helpContext_);
        QTreeWidget::keyPressEvent(e);
    }

private:
    int helpContext_ = 0;
};

class TQBitBtn : public QPushButton, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)

public:
    explicit TQBitBtn(QWidget* parent = nullptr) : QPushButton(parent) {}
    int GetHelpContextVESKA() const override { return helpContext_; }
    void setHelpContextVESKA(int v) { helpContext_ = v; }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        BrannixHelpKey(this, e, helpContext_);
        QPushButton::keyPressEvent(e);
    }

private:
    int helpContext_ = 0;
};

class TQTabControl : public QTabBar, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)

public:
    explicit TQTabControl(QWidget* parent = nullptr) : QTabBar(parent) {}
    int GetHelpContextVESKA() const override { return helpContext_; }
    void setHelpContextVESKA(int v) { helpContext_ = v; }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        BrannixHelpKey(this, e, helpContext_);
        QTabBar::keyPressEvent(e);
    }

private:
    int helpContext_ = 0;
};

class TQPanel : public QFrame, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)

public:
    explicit TQPanel(QWidget* parent = nullptr) : QFrame(parent) {}
    int GetHelpContextVESKA() const override { return helpContext_; }
    void setHelpContextVESKA(int v) { helpContext_ = v; }

private:
    int helpContext_ = 0;
};

class TQButton : public QPushButton, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)

public:
    explicit TQButton(QWidget* parent = nullptr) : QPushButton(parent) {}
    int GetHelpContextVESKA() const override { return helpContext_; }
    void setHelpContextVESKA(int v) { helpContext_ = v; }

private:
    int helpContext_ = 0;
};

class TQGroupBox : public QGroupBox, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)

public:
    explicit TQGroupBox(QWidget* parent = nullptr) : QGroupBox(parent) {}
    int GetHelpContextVESKA() const override { return helpContext_; }
    void setHelpContextVESKA(int v) { helpContext_ = v; }

private:
    int helpContext_ = 0;
};

class TQScrollBox : public QScrollArea, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)

public:
    explicit TQScrollBox(QWidget* parent = nullptr) : QScrollArea(parent) {}
    int GetHelpContextVESKA() const override { return helpContext_; }
    void setHelpContextVESKA(int v) { helpContext_ = v; }

private:
    int helpContext_ = 0;
};

class TQSpeedButton : public QToolButton, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)

public:
    explicit TQSpeedButton(QWidget* parent = nullptr) : QToolButton(parent) {}
    int GetHelpContextVESKA() const override { return helpContext_; }
    void setHelpContextVESKA(int v) { helpContext_ = v; }

private:
    int helpContext_ = 0;
};
// Multi-column tree list: a node's text is split into its columns at Separator (";").
class TQTreeList : public QTreeWidget, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)
    Q_PROPERTY(QString Separator READ Separator WRITE setSeparator)

public:
    explicit TQTreeList(QWidget* parent = nullptr) : QTreeWidget(parent) {}
    int GetHelpContextVESKA() const override { return helpContext_; }
    void setHelpContextVESKA(int v) { helpContext_ = v; }
    QString Separator() const { return separator_; }
    void setSeparator(const QString& s) { separator_ = s; }

    // Adds a node under `parent` (top level when null) with its text split into columns and
    // the given data kept with it.
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& text, const QVariant& data = QVariant());
    static QVariant NodeData(const QTreeWidgetItem* item);
    // The node's columns joined again with the separator.
    QString NodeText(const QTreeWidgetItem* item) const;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        BrannixHelpKey(this, e, helpContext_);
        QTreeWidget::keyPressEvent(e);
    }

private:
    int helpContext_ = 0;
    QString separator_ = QStringLiteral(";");
};

// Tool button that can belong to a group (GroupIndex, non-zero): one button of a group is
// down at a time; with AllowAllUp a down button can be raised again, so a button alone in
// its group is a toggle.
class TQAdvToolButton : public QToolButton, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE setGroupIndex)
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE setAllowAllUp)
    Q_PROPERTY(bool Down READ Down WRITE setDown)

public:
    explicit TQAdvToolButton(QWidget* parent = nullptr) : QToolButton(parent) {}
    int GetHelpContextVESKA() const override { return helpContext_; }
    void setHelpContextVESKA(int v) { helpContext_ = v; }
    int GroupIndex() const { return groupIndex_; }
    void setGroupIndex(int g);
    bool AllowAllUp() const { return allowAllUp_; }
    void setAllowAllUp(bool v) { allowAllUp_ = v; }
    // Down: the button stays pressed (grouped buttons only). Hides QAbstractButton's
    // momentary pressed look of the same name.
    bool Down() const { return isChecked(); }
    void setDown(bool down);

protected:
    void nextCheckState() override;

private:
    void RaiseOthers();
    int helpContext_ = 0;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
};
