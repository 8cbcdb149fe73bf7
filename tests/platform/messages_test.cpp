#include "platform/messages.h"
#include "platform/process_wide.h"

#include <QObject>
#include <gtest/gtest.h>

namespace {
class Receiver : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (auto* m = dynamic_cast<TMessage*>(e)) {
            seen.push_back(m->Msg);
            m->Result = static_cast<intptr_t>(m->WParam + static_cast<uintptr_t>(m->LParam));
            return true;
        }
        return QObject::event(e);
    }
    std::vector<unsigned> seen;
};
}  // namespace

TEST(Messages, AreSentSynchronouslyAndAnswerInResult)
{
    EXPECT_TRUE(platform::ReserveMessageNumbers());
    Receiver r;
    EXPECT_EQ(platform::SendMessage(&r, platform::QM_PUT, 2, 3), 5);
    EXPECT_EQ(platform::SendMessage(&r, platform::WM_COMM_STATUS, 4, 0), 4);
    EXPECT_EQ(r.seen, (std::vector<unsigned>{platform::QM_PUT, platform::WM_COMM_STATUS}));
    EXPECT_EQ(platform::SendMessage(nullptr, platform::QM_PUT), 0);
}

TEST(Messages, MainFormIsSharedThroughTheApplicationObject)
{
    QObject form;
    platform::SetMainForm(&form);
    EXPECT_EQ(platform::MainForm(), &form);
    platform::SetMainForm(nullptr);
    EXPECT_EQ(platform::MainForm(), nullptr);
}
