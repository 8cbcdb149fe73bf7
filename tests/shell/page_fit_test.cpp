// Every page laid out in the real main window at its designed size: nothing needs sideways
// scrolling and nothing is cut off at the right, and the fields show the longest texts they
// can hold.
#include "tests/common/fake_prompter.h"
#include "tests/shell/main_form_fixture.h"
#include "brannix/qhelpcontrols.h"
#include "brannix/qedit.h"
#include "brannix/qlabelededit.h"
#include "tevrin/pages/config/fr_sequencer.h"
#include "tevrin/pages/io/fra_factory.h"
#include "tevrin/shell/main_form.h"
#include "tevrin/shell/page_registry.h"
#include "tevrin/shell/state_mgr.h"

#include <QAbstractScrollArea>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QApplication>
#include <QDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// The widgets that stick out of their parent's rectangle on the right, as "name (right > width)".
// What a scrolling control of the page holds in its viewport scrolls there and is left alone.
void CutOffAtTheRight(const QWidget* parent, std::vector<std::string>& out)
{
    if (qobject_cast<const QAbstractScrollArea*>(parent)) return;
    for (QObject* object : parent->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow() || !child->isVisibleTo(parent)) continue;
        if (child->geometry().right() > parent->rect().right() + 1)
            out.push_back(child->objectName().toStdString() + " in " + parent->objectName().toStdString() + " (" +
                          std::to_string(child->geometry().right()) + " > " + std::to_string(parent->width()) + ")");
        CutOffAtTheRight(child, out);
    }
}

// The width a line edit paints its text in: inside its frame, less its text margins and the two
// pixels it keeps at either end.
int TextRoom(const QLineEdit* edit)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    const QRect inside = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    return inside.width() - edit->textMargins().left() - edit->textMargins().right() - 4;
}

// Shows every page at the designed size in turn, the Factory tab's code prompt cancelled.
void WalkPages(TFormMain& form, const std::function<void(int, QWidget*, QScrollArea*)>& visit)
{
    QTimer cancel;
    cancel.setInterval(5);
    QObject::connect(&cancel, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
    });
    cancel.start();
    QTabWidget* pages = form.PageControlMain();
    for (int i = 0; i < pages->count(); ++i) {
        SCOPED_TRACE(pages->tabText(i).toStdString());
        pages->setCurrentIndex(i);
        QApplication::processEvents();
        QWidget* frame = PageRegistry::Instance().Frame(i);
        ASSERT_NE(frame, nullptr);
        auto* area = qobject_cast<QScrollArea*>(frame->parentWidget()->parentWidget());
        ASSERT_NE(area, nullptr);
        // The Factory page is measured as it shows after its code was given.
        if (auto* factory = qobject_cast<TfraFactory*>(frame)) {
            factory->ShowContents(true);
            QApplication::processEvents();
        }
        visit(i, frame, area);
    }
}

// The shortest text of a bound that reads back as the same 32-bit value: what a user types.
QString BoundText(float bound)
{
    for (int digits = 1; digits < 9; ++digits) {
        const QString text = QString::number(static_cast<double>(bound), 'g', digits);
        if (text.toFloat() == bound) return text;
    }
    return QString::number(static_cast<double>(bound), 'g', 9);
}

class PageFitTest : public MainFormFixture {};

}  // namespace

TEST_F(PageFitTest, EveryPageFitsItsSheetAtTheDesignedWindowSizeAndWhenLarger)
{
    TFormMain form;
    form.show();
    ASSERT_EQ(form.size(), QSize(1004, 740));
    for (const QSize size : {QSize(1004, 740), QSize(1276, 990)}) {
        SCOPED_TRACE(std::to_string(size.width()) + " x " + std::to_string(size.height()));
        form.resize(size);
        QApplication::processEvents();
        ASSERT_EQ(form.size(), size);
        WalkPages(form, [](int, QWidget* frame, QScrollArea* area) {
            const int sheetWidth = area->maximumViewportSize().width() - area->verticalScrollBar()->sizeHint().width();
            EXPECT_LE(frame->minimumSizeHint().width(), sheetWidth);
            EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
            std::vector<std::string> cut;
            CutOffAtTheRight(frame, cut);
            for (const std::string& c : cut) ADD_FAILURE() << "cut off: " << c;
        });
    }
    form.hide();
}

TEST_F(PageFitTest, EditsAreWideEnoughForTheLongestTextTheyHold)
{
    // Counts are five digits (a typed 70000 included); limits a float of seven digits with
    // sign and point.
    const QString count = QStringLiteral("70000");
    const QString limit = QStringLiteral("-8888.888");
    const struct {
        MainPage page;
        const char* name;
        QString longest;
    } kFields[] = {
        {MainPage::Maintenance, "edScaledZero", count},   {MainPage::Maintenance, "edScaledSpan", count},
        {MainPage::Maintenance, "edFailSafePos", count},  {MainPage::AnalogInput, "edRawZero", count},
        {MainPage::AnalogInput, "edRawSpan", count},      {MainPage::AnalogInput, "edAIRaw", count},
        {MainPage::Global, "edAlarmSensorTempLimit", limit}, {MainPage::Global, "edAlarmSensorCurrentLimit", limit},
        {MainPage::Global, "MaxTapAdvLimit", limit},     {MainPage::Global, "TapeLengthAlarm", limit},
        {MainPage::Global, "LowTempLimit", limit},
        {MainPage::Stream, "edAlarmDevLimit", limit},     {MainPage::Stream, "edAlarm1Limit", limit},
        {MainPage::Stream, "ledPAALimit", limit},         {MainPage::Stream, "lockAlarmLimit", limit},
        {MainPage::Factory, "edOutputRaw", count},        {MainPage::Factory, "edFailSafePos", count},
        // An analog output's scale starts and spans anywhere a float reaches, below zero too.
        {MainPage::Outputs, "edAOMin1", limit},   {MainPage::Outputs, "edAOMin2", limit},
        {MainPage::Outputs, "edAOMin3", limit},   {MainPage::Outputs, "edAOMin4", limit},
        {MainPage::Outputs, "edAOMin5", limit},   {MainPage::Outputs, "edAOMin6", limit},
        {MainPage::Outputs, "edAORange1", limit}, {MainPage::Outputs, "edAORange2", limit},
        {MainPage::Outputs, "edAORange3", limit}, {MainPage::Outputs, "edAORange4", limit},
        {MainPage::Outputs, "edAORange5", limit}, {MainPage::Outputs, "edAORange6", limit},
    };
    TFormMain form;
    form.show();
    WalkPages(form, [&](int index, QWidget* frame, QScrollArea*) {
        for (const auto& field : kFields) {
            if (static_cast<int>(field.page) != index) continue;
            SCOPED_TRACE(field.name);
            int shown = 0;
            for (QLineEdit* edit : frame->findChildren<QLineEdit*>(QString::fromLatin1(field.name))) {
                if (!edit->isVisible()) continue;
                ++shown;
                EXPECT_GE(TextRoom(edit), edit->fontMetrics().horizontalAdvance(field.longest)) << edit->width();
            }
            EXPECT_GT(shown, 0);
        }
    });
    form.hide();
}

TEST_F(PageFitTest, EditsWithARangeShowBothOfTheirBoundsWhole)
{
    TFormMain form;
    form.show();
    int ranged = 0;
    WalkPages(form, [&](int, QWidget* frame, QScrollArea*) {
        for (TQEdit* edit : frame->findChildren<TQEdit*>()) {
            if (!edit->isVisible()) continue;
            if (!edit->RangeEdit() && edit->RangeLow() == 0 && edit->RangeHigh() == 0) continue;
            ++ranged;
            for (const float bound : {edit->RangeLow(), edit->RangeHigh()}) {
                const QString text = BoundText(bound);
                EXPECT_GE(TextRoom(edit), edit->fontMetrics().horizontalAdvance(text))
                    << edit->objectName().toStdString() << " cuts " << text.toStdString() << " (" << edit->width()
                    << " wide)";
            }
        }
    });
    // The analyzer's settings, the calibration frames and the board tester carry ranges.
    EXPECT_GE(ranged, 10);
    form.hide();
}

TEST_F(PageFitTest, SequencerTreesShowTheirLongestNamesWholeWithoutScrollingSideways)
{
    TFormMain form;
    form.show();
    auto* page = qobject_cast<TfrSequencer*>(PageRegistry::Instance().Frame(static_cast<int>(MainPage::Sequencer)));
    ASSERT_NE(page, nullptr);
    form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Sequencer));
    QApplication::processEvents();
    // The longest entry a list can hold, in the last list.
    QTreeWidget* list = page->tlSequencer();
    ASSERT_EQ(list->topLevelItemCount(), 9);
    new QTreeWidgetItem(list->topLevelItem(8), {QStringLiteral("Stream 4:Reference 2")});
    for (QTreeWidget* tree : {page->treeRunType(), list}) {
        SCOPED_TRACE(tree->objectName().toStdString());
        tree->expandAll();
        QApplication::processEvents();
        QApplication::processEvents();
        EXPECT_EQ(tree->horizontalScrollBar()->maximum(), 0);
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            EXPECT_LE(tree->visualItemRect(*it).left() + tree->fontMetrics().horizontalAdvance((*it)->text(0)),
                      tree->viewport()->width())
                << (*it)->text(0).toStdString();
    }
    // And the page still fits its sheet.
    auto* area = qobject_cast<QScrollArea*>(page->parentWidget()->parentWidget());
    ASSERT_NE(area, nullptr);
    EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
    form.hide();
}

TEST_F(PageFitTest, AnalysisValueBoxesStandInOneColumnPerGroup)
{
    TFormMain form;
    form.show();
    QWidget* page = PageRegistry::Instance().Frame(static_cast<int>(MainPage::Analysis));
    ASSERT_NE(page, nullptr);
    form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Analysis));
    QApplication::processEvents();
    int groups = 0;
    for (const char* name : {"grpStatus", "LastResultPan1", "LastResultPan2", "LastResultPan3", "LastResultPan4"}) {
        SCOPED_TRACE(name);
        auto* group = page->findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(group, nullptr);
        if (!group->isVisible()) continue;
        ++groups;
        std::vector<TQLabeledEdit*> edits;
        for (TQLabeledEdit* edit : group->findChildren<TQLabeledEdit*>(QString(), Qt::FindDirectChildrenOnly))
            if (edit->isVisible()) edits.push_back(edit);
        ASSERT_GE(edits.size(), 5u);
        for (TQLabeledEdit* edit : edits) {
            SCOPED_TRACE(edit->EditLabelCaption().toStdString());
            EXPECT_EQ(edit->x(), edits.front()->x());
            // Each caption shows whole before its box.
            const QString shown = edit->EditLabelCaption().replace(QStringLiteral("&&"), QStringLiteral("&"));
            EXPECT_LE(edit->EditLabel()->x() + edit->EditLabel()->fontMetrics().horizontalAdvance(shown), edit->x());
        }
    }
    EXPECT_GE(groups, 2);
    form.hide();
}
