#include "brannix/qradiogroup.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QRadioButton>
#include <QVBoxLayout>

TQRadioGroup::TQRadioGroup(QWidget* parent) : QGroupBox(parent), common_(this, this), group_(new QButtonGroup(this))
{
    common_.beforePost = [this](bool& canPost) { emit BeforePost(canPost); };
    common_.valueChanged = [this](const QString& v, bool& d) { emit OnDBPointValueChanged(v, d); };
    common_.afterRegister = [this] { emit AfterRegisterDatabase(); };
    common_.putToDatabase = [this](bool& d) { emit OnPutToDatabase(d, 1); };
    new QVBoxLayout(this);
    connect(group_, &QButtonGroup::idClicked, this, [this] {
        common_.LeaveAlarm();
        TQComponentCommon::ClearFormStatusMessage(this);
    });
    connect(group_, &QButtonGroup::idToggled, this, [this](int, bool) {
        const int now = ItemIndex();
        if (now != lastIndex_) {
            lastIndex_ = now;
            emit ItemIndexChanged(now);
        }
    });
}

TQRadioGroup::~TQRadioGroup() = default;

void TQRadioGroup::setItems(const QStringList& items)
{
    for (QRadioButton* b : buttons_) delete b;
    buttons_.clear();
    items_ = items;
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        group_->addButton(b, i);
        layout()->addWidget(b);
        buttons_.push_back(b);
    }
    if (lastIndex_ != -1) {
        lastIndex_ = -1;
        emit ItemIndexChanged(-1);
    }
}

int TQRadioGroup::ItemIndex() const { return group_->checkedId(); }

void TQRadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < static_cast<int>(buttons_.size())) {
        buttons_[static_cast<size_t>(index)]->setChecked(true);
        return;
    }
    // None chosen: an exclusive group cannot uncheck its last button, so step out of it.
    if (QAbstractButton* checked = group_->checkedButton()) {
        group_->setExclusive(false);
        checked->setChecked(false);
        group_->setExclusive(true);
    }
}

QRadioButton* TQRadioGroup::Button(int index) const
{
    return index >= 0 && index < static_cast<int>(buttons_.size()) ? buttons_[static_cast<size_t>(index)] : nullptr;
}

QString TQRadioGroup::CaptionOf(int index) const
{
    QRadioButton* b = Button(index);
    return b ? b->text() : QStringLiteral(" ");
}

void TQRadioGroup::Respond(const char* value)
{
    try {
        const QString v = TQComponentCommon::FromDb(value);
        if (!common_.FireValueChanged(v)) return;
        long long n = -1;
        if (v == QLatin1String("False"))
            n = 0;
        else if (v == QLatin1String("True"))
            n = 1;
        else if (!TQComponentCommon::StrToInt64(v, n))
            n = -1;   // not a number: nothing chosen, nothing written back
        if (n < 0 || n >= static_cast<long long>(buttons_.size())) n = -1;
        setItemIndex(static_cast<int>(n));
    } catch (...) {
    }
}

bool TQRadioGroup::event(QEvent* e)
{
    if (BrannixDeliver(e, [this](TMessage& m) { Dispatch(m); })) return true;
    return QGroupBox::event(e);
}

void TQRadioGroup::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case platform::QM_GET:
        SetColor(clLime());
        oldIndex_ = ItemIndex();
        break;
    case platform::QM_PUT:
        if (ItemIndex() >= 0) common_.Put(TQMMOVEVAL{m}, QString::number(ItemIndex()));
        break;
    case platform::QM_RESET: setItemIndex(oldIndex_); break;
    case platform::QM_BEFOREPOST: common_.DoBeforePost(TQMMOVEVAL{m}); break;
    case platform::QM_REPORTCHANGES:
        common_.ReportChanges(m, Modified(),
                              {common_.fieldName, CaptionOf(oldIndex_), CaptionOf(ItemIndex()), title(), QStringLiteral("?")});
        break;
    case platform::QM_REGISTERDATABASE:
        common_.RegisterWithDatabase(TQMDATABASE{m}, [this] { SetColor(clOlive()); });
        break;
    default: break;   // QM_EDIT: a radio group never rejects
    }
}

void TQRadioGroup::keyPressEvent(QKeyEvent* e)
{
    common_.HelpKey(e);
    QGroupBox::keyPressEvent(e);
}
