#include "tevrin/shell/page_frame.h"

#include "platform/messages.h"
#include "platform/prompter.h"
#include "tevrin/rtdb/database.h"

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

void DisableAllChildren(QWidget* control, bool disable)
{
    if (!control) return;
    const QList<QWidget*> children = control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) child->setEnabled(!disable);
}

void ShowPageWarning(const QString& firstLine)
{
    platform::MessageDlg(firstLine + QStringLiteral("It is recommended that any change in this page be done by authorised personal only."),
                         platform::DlgType::Warning, platform::mbOK);
}
