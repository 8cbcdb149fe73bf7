#include "tevrin/pages/page_frame.h"

#include "brannix/qlabel.h"
#include "platform/errors.h"
#include "platform/messages.h"
#include "platform/prompter.h"
#include "tevrin/pages/page_host.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextEdit>
#include <QVariant>
#include <QWidget>

#include <algorithm>

TPageFrame::TPageFrame(QWidget* owner, int pageNumber, uint8_t pollFlag, uint8_t waitFlag)
    : QFrame(owner), pageNumber_(pageNumber), pollFlag_(pollFlag), waitFlag_(waitFlag)
{
}

TPageFrame::~TPageFrame() = default;

void TPageFrame::EnterPage()
{
    if (pageNumber_ < 0) return;
    if (notShown_) FirstEntry();
    ExpressScan& scan = DataBase::Instance()->AsExpressScan();
    scan.Clear();
    for (int id : FixedPointsBefore()) scan.Add(id);
    if (RegistersBoundControls())
        for (int id : BoundDbIds()) scan.Add(id);
    for (int id : FixedPointsAfter()) scan.Add(id);
    if (pollFlag_)
        for (int id : PollPoints()) scan.AddPoll(id);
    scan.SetPage(pageNumber_, pollFlag_, waitFlag_);
    notShown_ = 0;
    AfterEnter();
}

bool TPageFrame::IsCurrentPage() const
{
    return pageNumber_ >= 0 && DataBase::Exists() && DataBase::Instance()->AsExpressScan().CurrentPage() == pageNumber_;
}

bool TPageFrame::CanWrite() const { return !notShown_ && IsCurrentPage(); }

std::vector<int> TPageFrame::BoundDbIds() const
{
    std::vector<int> ids;
    // findChildren walks depth first, a parent before its children: the layout order.
    const QList<QWidget*> widgets = findChildren<QWidget*>();
    for (const QWidget* w : widgets) {
        const QVariant id = w->property("DbId");
        const QVariant use = w->property("UseDatabase");
        if (!id.isValid() || !use.isValid() || !use.toBool()) continue;
        const int dbId = id.toInt();
        if (std::find(ids.begin(), ids.end(), dbId) == ids.end()) ids.push_back(dbId);
    }
    return ids;
}

void TPageFrame::WriteSinglePoint(TDbId id, const std::string& text)
{
    if (IPageHost* host = PageHost()) host->WriteSinglePoint(id, text);
}

void TPageFrame::PostCommand(const std::string& name, const std::string& argument)
{
    if (IPageHost* host = PageHost()) host->PostCommand(name, argument);
}

std::string TPageFrame::BitMaskText(int bit, bool set, int width)
{
    if (width != 16 && width != 32) return std::string();
    if (bit < 0 || bit >= width) return std::string();
    const uint32_t widthMask = width == 32 ? 0xFFFFFFFFu : 0xFFFFu;
    const uint32_t one = uint32_t{1} << bit;
    const uint32_t mask = set ? one : (~one & widthMask);
    return std::to_string(mask);
}

bool TPageFrame::WriteBit(TDbId id, int bit, bool set)
{
    if (!DataBase::Exists()) return false;
    DataBase* db = DataBase::Instance();
    const DatabasePoint* point = db->PointByDbId(id);
    if (!point) return false;
    // Only the bit-set points merge a mask into their value; any other point would take the
    // mask as its whole new value.
    const int width = dynamic_cast<const Bits16DatabasePoint*>(point)   ? 16
                      : dynamic_cast<const Bits32DatabasePoint*>(point) ? 32
                                                                        : 0;
    const std::string mask = BitMaskText(bit, set, width);
    if (mask.empty()) return false;
    try {
        db->SetPointText(id, mask);
    } catch (const std::exception&) {
        return false;
    }
    WriteSinglePoint(id, std::string());
    return true;
}

TQLabel* TPageFrame::NewStreamCountLabel()
{
    auto* label = new TQLabel(this);
    label->setObjectName(QStringLiteral("lblStream2"));
    label->setDbId(DataBase::kStreamsDbId);
    label->setUseDatabase(true);
    label->setVisible(false);
    return label;
}

void TPageFrame::WatchStreamCount(TQLabel* label, StreamCaptionRule rule, std::function<void(int)> apply,
                                  bool ignoreUntilShown)
{
    if (!label) return;
    connect(label, &TQLabel::OnDBPointValueChanged, this,
            [this, rule, apply = std::move(apply), ignoreUntilShown](const QString& value, bool& DoDefault) {
                if (value.isEmpty()) return;
                DoDefault = false;
                if (ignoreUntilShown && notShown_) return;
                int n = 0;
                if (!IntegerValue(value, n)) return;
                QString caption;
                if (rule == StreamCaptionRule::Streams) {
                    static const char* const kCaptions[] = {"1-STREAM", "2-STREAMS", "3-STREAMS", "4-STREAMS"};
                    if (n < 0 || n > 3) return;
                    caption = QString::fromLatin1(kCaptions[n]);
                } else {
                    if (n == 0) caption = QStringLiteral("SINGLE STREAM");
                    else if (n == 1) caption = QStringLiteral("DUAL STREAM");
                    if (n < 0 || n > 3) return;
                }
                if (!caption.isEmpty())
                    if (IPageHost* host = PageHost()) host->SetStreamDisp(caption);
                watchedStreams_ = n;
                if (apply) apply(n);
            });
}

bool TPageFrame::IntegerValue(const QString& value, int& n)
{
    bool ok = false;
    n = value.trimmed().toInt(&ok);
    if (!ok)
        platform::MessageDlg(QStringLiteral("'%1' is not a valid integer value").arg(value), platform::DlgType::Error,
                             platform::mbOK);
    return ok;
}

void TPageFrame::ShowStreamControls(int streams, const std::vector<std::vector<QWidget*>>& perStream)
{
    for (size_t k = 0; k < perStream.size(); ++k) {
        const bool visible = static_cast<int>(k) + 1 <= streams;
        for (QWidget* w : perStream[k])
            if (w) w->setVisible(visible);
    }
}

void TPageFrame::OnFreePageData(TMessage& m) { m.Result = 0; }

bool TPageFrame::event(QEvent* e)
{
    if (TMessage::IsWindowMessage(e)) {
        auto& m = static_cast<TMessage&>(*e);
        switch (m.Msg) {
        case platform::QM_REGISTERDATABASE:
            OnRegisterDatabase(m);
            return true;
        case platform::QM_BEFOREPOST:
            OnBeforePost(m);
            return true;
        case platform::WM_FREEPAGEDATA:
            OnFreePageData(m);
            return true;
        default:
            break;
        }
    }
    return QFrame::event(e);
}

void TPageFrame::AddRange(std::vector<int>& ids, int first, int last)
{
    for (int id = first; id <= last; ++id) ids.push_back(id);
}

namespace {

constexpr const char* kLockName = "readOnlyLock";
constexpr const char* kWantedEnabled = "readOnlyLock.wantedEnabled";

// Keeps the editing controls of a locked page disabled, and remembers what the page asked of them.
class ReadOnlyLock : public QObject {
public:
    explicit ReadOnlyLock(QWidget* page) : QObject(page), page_(page) { setObjectName(QString::fromLatin1(kLockName)); }

    void Lock()
    {
        locked_ = true;
        for (QWidget* w : page_->findChildren<QWidget*>()) {
            if (!IsEditingControl(w) || w->property(kWantedEnabled).isValid()) continue;
            w->setProperty(kWantedEnabled, !w->testAttribute(Qt::WA_ForceDisabled));
            w->installEventFilter(this);
            Disable(w);
        }
    }

    void Unlock()
    {
        locked_ = false;
        for (QWidget* w : page_->findChildren<QWidget*>()) {
            const QVariant wanted = w->property(kWantedEnabled);
            if (!wanted.isValid()) continue;
            w->removeEventFilter(this);
            w->setProperty(kWantedEnabled, QVariant());
            w->setEnabled(wanted.toBool());
        }
    }

    bool Locked() const { return locked_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (locked_ && !adjusting_ && event->type() == QEvent::EnabledChange) {
            auto* w = static_cast<QWidget*>(watched);
            if (!w->testAttribute(Qt::WA_ForceDisabled)) {
                // The page enabled it: remembered for later, kept disabled now.
                w->setProperty(kWantedEnabled, true);
                Disable(w);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Disable(QWidget* w)
    {
        adjusting_ = true;
        w->setEnabled(false);
        adjusting_ = false;
    }

    QWidget* page_;
    bool locked_ = false;
    bool adjusting_ = false;
};

ReadOnlyLock* LockOf(const QWidget* page)
{
    return page ? page->findChild<ReadOnlyLock*>(QString::fromLatin1(kLockName), Qt::FindDirectChildrenOnly) : nullptr;
}

}  // namespace

bool IsEditingControl(const QWidget* w)
{
    if (!w) return false;
    // The parts of a compound control go with it; a scroll area's bars are for reading.
    const QWidget* parent = w->parentWidget();
    if (parent && (qobject_cast<const QComboBox*>(parent) || qobject_cast<const QAbstractSpinBox*>(parent))) return false;
    if (qobject_cast<const QScrollBar*>(w)) return false;
    if (auto* edit = qobject_cast<const QLineEdit*>(w)) return !edit->isReadOnly();
    if (auto* text = qobject_cast<const QTextEdit*>(w)) return !text->isReadOnly();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(w)) return !plain->isReadOnly();
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QAbstractSlider*>(w);
}

void SetPageEditable(QWidget* page, bool editable)
{
    if (!page) return;
    ReadOnlyLock* lock = LockOf(page);
    if (editable) {
        if (lock) lock->Unlock();
        return;
    }
    if (!lock) lock = new ReadOnlyLock(page);
    lock->Lock();
}

bool PageEditable(const QWidget* page)
{
    const ReadOnlyLock* lock = LockOf(page);
    return !lock || !lock->Locked();
}

void DisableAllChildren(QWidget* control, bool disable)
{
    if (!control) return;
    const QList<QWidget*> children = control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) child->setEnabled(!disable);
}

void ShowNotAFloat(const QString& text)
{
    platform::MessageDlg(QStringLiteral("'%1' is not a valid floating point value").arg(text), platform::DlgType::Error,
                         platform::mbOK);
}

void ShowPageWarning(const QString& firstLine)
{
    platform::MessageDlg(firstLine + QStringLiteral("It is recommended that any change in this page be done by authorised personal only."),
                         platform::DlgType::Warning, platform::mbOK);
}
