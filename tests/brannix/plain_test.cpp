// Help-aware plain controls, the status bar's panels and the chart zoom stack.
#include "brannix/qcheckbox.h"
#include "brannix/qcombobox.h"
#include "brannix/qhelpcontrols.h"
#include "brannix/qimage.h"
#include "brannix/qlabel.h"
#include "brannix/qlabelededit.h"
#include "brannix/qradiobutton.h"
#include "brannix/qradiogroup.h"
#include "brannix/qscrollbar.h"
#include "brannix/qstatusbar.h"
#include "brannix/qzoominfo.h"
#include "platform/help.h"

#include <QApplication>
#include <QTest>
#include <QWhatsThis>
#include <QLabel>
#include <gtest/gtest.h>
#include <memory>

namespace {
bool HelpPopupShown()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && QByteArray(w->metaObject()->className()) == "QWhatsThat") return true;
    return false;
}
}  // namespace

TEST(PlainControls, ReportTheirHelpContextAndOnlySomeOpenHelpOnF1)
{
    platform::SetContextHelpText(77, "Help seventy-seven");
    struct Case { std::unique_ptr<QWidget> w; bool f1; };
    std::vector<Case> cases;
    cases.push_back({std::make_unique<TQCheckListBox>(), true});
    cases.push_back({std::make_unique<TQProgressBar>(), true});
    cases.push_back({std::make_unique<TQTrackBar>(), true});
    cases.push_back({std::make_unique<TQListBox>(), true});
    cases.push_back({std::make_unique<TQListView>(), true});
    cases.push_back({std::make_unique<TQBitBtn>(), true});
    cases.push_back({std::make_unique<TQTreeList>(), true});
    cases.push_back({std::make_unique<TQTabControl>(), true});
    cases.push_back({std::make_unique<TQStatusBar>(), false});
    cases.push_back({std::make_unique<TQPanel>(), false});
    cases.push_back({std::make_unique<TQButton>(), false});
    cases.push_back({std::make_unique<TQGroupBox>(), false});
    cases.push_back({std::make_unique<TQScrollBox>(), false});
    cases.push_back({std::make_unique<TQSpeedButton>(), false});
    cases.push_back({std::make_unique<TQAdvToolButton>(), false});
    for (auto& c : cases) {
        const char* name = c.w->metaObject()->className();
        ASSERT_TRUE(c.w->setProperty("HelpContextVESKA", 77)) << name;
        auto* help = qobject_cast<IQVESKAHelp*>(c.w.get());
        ASSERT_NE(help, nullptr) << name;
        EXPECT_EQ(help->GetHelpContextVESKA(), 77) << name;
        c.w->show();
        QTest::keyClick(c.w.get(), Qt::Key_F1);
        EXPECT_EQ(HelpPopupShown(), c.f1) << name;
        QWhatsThis::hideText();
        QCoreApplication::processEvents();
    }
    platform::ClearContextHelpTexts();
}

TEST(BoundControls, ReportTheirHelpContextAndTheKeyboardOnesOpenHelpOnF1)
{
    platform::SetContextHelpText(592, "Calibration");
    struct Case { std::unique_ptr<QWidget> w; bool f1; };
    std::vector<Case> cases;
    cases.push_back({std::make_unique<TQLabeledEdit>(), true});
    cases.push_back({std::make_unique<TQComboBox>(), true});
    cases.push_back({std::make_unique<TQRadioButton>(), true});
    cases.push_back({std::make_unique<TQCheckBox>(), true});
    cases.push_back({std::make_unique<TQCheckBox32>(), true});
    cases.push_back({std::make_unique<TQLabel>(), false});
    cases.push_back({std::make_unique<TQImage>(), false});
    cases.push_back({std::make_unique<QTImage16>(), false});
    cases.push_back({std::make_unique<TQScrollBar>(), false});
    for (auto& c : cases) {
        const char* name = c.w->metaObject()->className();
        ASSERT_TRUE(c.w->setProperty("HelpContextVESKA", 592)) << name;
        auto* help = qobject_cast<IQVESKAHelp*>(c.w.get());
        ASSERT_NE(help, nullptr) << name;
        EXPECT_EQ(help->GetHelpContextVESKA(), 592) << name;
        c.w->show();
        QTest::keyClick(c.w.get(), Qt::Key_F1);
        EXPECT_EQ(HelpPopupShown(), c.f1) << name;
        QWhatsThis::hideText();
        QCoreApplication::processEvents();
    }

    // A radio group hears F1 from its buttons.
    TQRadioGroup group;
    group.setItems({"A", "B"});
    group.setHelpContextVESKA(592);
    group.show();
    QTest::keyClick(group.Button(1), Qt::Key_F1);
    EXPECT_TRUE(HelpPopupShown());
    QWhatsThis::hideText();
    QCoreApplication::processEvents();
    platform::ClearContextHelpTexts();
}

TEST(StatusBar, FirstPanelTakesWhatTheOthersLeave)
{
    TQStatusBar bar;
    bar.AddPanel(500);
    bar.AddPanel(100);
    bar.AddPanel(80);
    bar.resize(400, 20);
    bar.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.PanelWidth(0), 220);
    bar.resize(300, 20);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.PanelWidth(0), 120);   // after each resize
    bar.SetPanelText(1, "Online");
    EXPECT_EQ(bar.PanelText(1), "Online");
}

TEST(StatusBar, ChildrenFollowThePanelOrder)
{
    // Panel widgets made before the panels are added, as a window builds its status line.
    TQStatusBar bar;
    auto* special = new QLabel(&bar);
    auto* progress = new QLabel(&bar);
    bar.AddPanel(500);
    bar.AddPanel(150, special);
    bar.AddPanel(100, progress);
    QList<QWidget*> panels;
    for (QObject* child : bar.children())
        if (auto* w = qobject_cast<QWidget*>(child); w && (w == special || w == progress || w == bar.Panel(0)))
            panels << w;
    EXPECT_EQ(panels, (QList<QWidget*>{bar.Panel(0), special, progress}));
}

TEST(TreeList, NodesSplitIntoColumns)
{
    TQTreeList list;
    list.setColumnCount(3);
    auto* top = list.AddNode(nullptr, "Stream 1;40001;Float", 7);
    auto* child = list.AddNode(top, "Value;40003");
    EXPECT_EQ(top->text(0), "Stream 1");
    EXPECT_EQ(top->text(2), "Float");
    EXPECT_EQ(TQTreeList::NodeData(top).toInt(), 7);
    EXPECT_EQ(child->parent(), top);
    EXPECT_EQ(child->text(1), "40003");
}

TEST(AdvToolButton, GroupsAndToggles)
{
    QWidget bar;
    auto* a = new TQAdvToolButton(&bar);
    auto* b = new TQAdvToolButton(&bar);
    auto* toggle = new TQAdvToolButton(&bar);
    a->setGroupIndex(1);
    b->setGroupIndex(1);
    toggle->setGroupIndex(234);
    toggle->setAllowAllUp(true);
    bar.show();

    QTest::mouseClick(a, Qt::LeftButton);
    EXPECT_TRUE(a->Down());
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    QTest::mouseClick(b, Qt::LeftButton);   // without AllowAllUp the down button stays down
    EXPECT_TRUE(b->Down());

    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_TRUE(toggle->Down());
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_FALSE(toggle->Down());
    a->setDown(true);
    EXPECT_TRUE(a->Down());
    EXPECT_FALSE(b->Down());

    // Outside any group a button is down only when it is made a check button.
    auto* plain = new TQAdvToolButton(&bar);
    plain->show();
    QTest::mouseClick(plain, Qt::LeftButton);
    EXPECT_FALSE(plain->Down());
    plain->setCheckable(true);
    QTest::mouseClick(plain, Qt::LeftButton);
    EXPECT_TRUE(plain->Down());
    QTest::mouseClick(plain, Qt::LeftButton);
    EXPECT_FALSE(plain->Down());
}

TEST(ZoomInfo, StackOfViews)
{
    TQZoomInfo zoom;
    EXPECT_EQ(zoom.GetZoomLevel(), -1);
    EXPECT_EQ(zoom.GetPreviousZoom(), (TZoomRect{0, 0, 0, 0}));
    EXPECT_EQ(zoom.GetZoomLevel(), 0);

    zoom.ClearZoomInfo();
    const TZoomRect r0{0, 10, -1, 1}, r1{2, 8, -0.5f, 0.5f}, r2{3, 4, 0, 0.25f};
    for (const auto& r : {r0, r1, r2}) zoom.AddZoom(r.a, r.b, r.c, r.d);
    EXPECT_EQ(zoom.GetZoomLevel(), 2);
    EXPECT_EQ(zoom.GetPreviousZoom(), r1);
    EXPECT_EQ(zoom.GetZoomLevel(), 1);
    EXPECT_EQ(zoom.GetPreviousZoom(), r0);
    EXPECT_EQ(zoom.GetPreviousZoom(), r0);
    EXPECT_EQ(zoom.GetZoomLevel(), 0);

    zoom.ClearZoomInfo();
    EXPECT_EQ(zoom.GetZoomLevel(), -1);
    EXPECT_EQ(zoom.GetPreviousZoom(), r0);   // cleared, not erased

    zoom.ClearZoomInfo();
    for (int i = 0; i < 50; ++i) zoom.AddZoom(float(i), 0, 0, 0);
    EXPECT_EQ(zoom.GetZoomLevel(), 49);
    zoom.AddZoom(99, 99, 99, 99);   // the 51st is not recorded
    EXPECT_EQ(zoom.GetZoomLevel(), 49);
    EXPECT_EQ(zoom.GetPreviousZoom(), (TZoomRect{48, 0, 0, 0}));
}
